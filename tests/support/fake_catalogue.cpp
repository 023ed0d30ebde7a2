#include "support/fake_catalogue.h"

#include "config/endpoints.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <stdexcept>

namespace {

struct KindFacts
{
    const char* shortName;
    const char16_t* libraryName;
    TCodePage codePage;    // the encoding its pages come in by default
    const char* searchPath; // the path of the ISBN search, without query
    const char* isbnParameter;
};

const KindFacts& FactsOf(CatalogueKind kind)
{
    static const KindFacts matsue{"Matsue", u"松江市立図書館", kCodePageShiftJis,
                                  "/cgi-bin/Sopcsken.sh", "tkey"};
    static const KindFacts fussa{"Fussa", u"福生市立図書館", kCodePageEucJp,
                                 "/cgi-bin/Sopcsken.sh", "tkey"};
    static const KindFacts hamura{"Hamura", u"羽村市図書館", kCodePageUtf8,
                                  "/cgi-bin/Sopcsken.sh", "tkey"};
    static const KindFacts inagi{"Inagi", u"稲城市立図書館", kCodePageShiftJis,
                                 "/cgi-bin/Sopcsken.sh", "tkey"};
    static const KindFacts shinagawa{"Shinagawa", u"品川区立図書館", kCodePageEucJp,
                                     "/cgi-bin/Sopcsken.sh", "tkey"};
    static const KindFacts mitaka{"Mitaka", u"三鷹市立図書館", kCodePageShiftJis,
                                  "/clis/search", "KEY1"};
    static const KindFacts osakafu{"Osakafu", u"大阪府立図書館", kCodePageUtf8,
                                   "/OSPLIB/webopac/kensaku/kensakuKekka.jsp", "code_value1"};
    static const KindFacts osakashi{"Osakashi", u"大阪市立図書館", kCodePageEucJp,
                                    "/cgi-bin/internet/opi_102.cgi", "ISBN"};
    switch (kind) {
    case CatalogueKind::Matsue: return matsue;
    case CatalogueKind::Fussa: return fussa;
    case CatalogueKind::Hamura: return hamura;
    case CatalogueKind::Inagi: return inagi;
    case CatalogueKind::Shinagawa: return shinagawa;
    case CatalogueKind::Mitaka: return mitaka;
    case CatalogueKind::Osakafu: return osakafu;
    case CatalogueKind::Osakashi: return osakashi;
    }
    throw std::logic_error("unknown catalogue kind");
}

bool IsSopcsken(CatalogueKind kind)
{
    return kind != CatalogueKind::Mitaka && kind != CatalogueKind::Osakafu
        && kind != CatalogueKind::Osakashi;
}

QString CharsetName(TCodePage codePage)
{
    switch (codePage) {
    case kCodePageShiftJis: return QStringLiteral("Shift_JIS");
    case kCodePageEucJp: return QStringLiteral("EUC-JP");
    default: return QStringLiteral("UTF-8");
    }
}

QString Head(const QString& title, TCodePage codePage)
{
    return QStringLiteral("<html>\n<head>\n<meta http-equiv=\"Content-Type\" "
                          "content=\"text/html; charset=%1\">\n<title>%2</title>\n")
        .arg(CharsetName(codePage), title);
}

QString BookTitle(int position)
{
    return QStringLiteral("吾輩は猫である　～新装版～　第%1刷").arg(position);
}

// The search form of the Sopcsken catalogues; its script has commas of its
// own before any record link.
QString SopcskenPage(const QString& library, const QString& isbn, const QStringList& records,
                     TCodePage codePage)
{
    QString page = Head(library + QStringLiteral("　蔵書検索結果一覧"), codePage);
    page += QStringLiteral(
        "<script type=\"text/javascript\">\n"
        "function dispDetail(ksno, kgrn) {\n"
        "  document.forms['detail'].ksno.value = ksno;\n"
        "  document.forms['detail'].kgrn.value = kgrn;\n"
        "  document.forms['detail'].submit();\n"
        "}\n"
        "</script>\n</head>\n<body>\n<h1>%1</h1>\n"
        "<p>検索条件：ＩＳＢＮ＝%2</p>\n")
                .arg(library, isbn);
    if (records.isEmpty()) {
        page += QStringLiteral("<p class=\"msg\">該当資料はありません。</p>\n"
                               "<a href=\"/cgi-bin/Sopcsken.sh\">検索画面に戻る</a>\n");
    } else {
        page += QStringLiteral("<p>%1件見つかりました。</p>\n<table>\n"
                               "<tr><th>No.</th><th>書名</th><th>著者名</th><th>出版者</th></tr>\n")
                    .arg(records.size());
        for (qsizetype i = 0; i < records.size(); ++i) {
            page += QStringLiteral("<tr><td>%1</td><td><a href=\"#\" onClick=\"dispDetail(%2,'0');"
                                   "return false;\">%3</a></td><td>夏目漱石</td><td>新潮社</td></tr>\n")
                        .arg(i + 1)
                        .arg(records[i], BookTitle(int(i) + 1));
        }
        page += QStringLiteral("</table>\n");
    }
    return page + QStringLiteral("<form name=\"detail\" action=\"/cgi-bin/Sopcsvis.sh\">"
                                 "<input type=\"hidden\" name=\"ksno\"><input type=\"hidden\" "
                                 "name=\"kgrn\"></form>\n</body>\n</html>\n");
}

QString OsakafuPage(const QString& isbn, const QStringList& records, TCodePage codePage)
{
    QString page = Head(QStringLiteral("大阪府立図書館　蔵書検索　検索結果一覧"), codePage);
    page += QStringLiteral("</head>\n<body>\n<p>検索条件：ISBN/ISSN %1</p>\n").arg(isbn);
    if (records.isEmpty()) {
        page += QStringLiteral("<p>検索条件に該当する資料はありませんでした。</p>\n");
    } else {
        page += QStringLiteral("<p>%1件ヒットしました。"
                               "ご利用にあたっては書名をクリックして詳細情報を必ず確認してください"
                               "</p>\n<table>\n")
                    .arg(records.size());
        for (qsizetype i = 0; i < records.size(); ++i) {
            page += QStringLiteral("<tr><td>%1</td><td><a href=\"kensakuSyousai.jsp?tilcod=%2\">"
                                   "%3</a></td><td>夏目漱石／著</td></tr>\n")
                        .arg(i + 1)
                        .arg(records[i], BookTitle(int(i) + 1));
        }
        page += QStringLiteral("</table>\n");
    }
    return page + QStringLiteral("</body>\n</html>\n");
}

QString OsakashiPage(const QString& isbn, const QStringList& records, TCodePage codePage)
{
    QString page = Head(QStringLiteral("大阪市立図書館　蔵書検索"), codePage);
    page += QStringLiteral("</head>\n<body>\n"
                           "<form action=\"/cgi-bin/internet/opi_102.cgi\" method=\"get\">"
                           "<input type=\"text\" name=\"ISBN\" value=\"%1\">"
                           "<input type=\"submit\" value=\"　検　索　\"></form>\n")
                .arg(isbn);
    if (records.isEmpty()) {
        page += QStringLiteral("<p>検索結果　０件</p>\n"
                               "<p>条件に合う資料は見つかりませんでした。</p>\n");
    } else {
        page += QStringLiteral("<p>検索結果　%1件</p>\n<ol>\n").arg(records.size());
        for (qsizetype i = 0; i < records.size(); ++i) {
            page += QStringLiteral("<li><a href=\"/cgi-bin/internet/opi_103.cgi?%1\">%2</a>"
                                   "　夏目漱石／著　新潮社</li>\n")
                        .arg(records[i], BookTitle(int(i) + 1));
        }
        page += QStringLiteral("</ol>\n");
    }
    return page + QStringLiteral("</body>\n</html>\n");
}

// The catalogue writes its markup in upper case and carries a session id in
// every link.
QString MitakaPage(const QString& isbn, const QStringList& records, TCodePage codePage,
                   int& sessionCounter)
{
    QString page = QStringLiteral("<HTML>\n<HEAD>\n<META HTTP-EQUIV=\"Content-Type\" "
                                  "CONTENT=\"text/html; charset=%1\">\n"
                                  "<TITLE>三鷹市立図書館　資料検索結果</TITLE>\n</HEAD>\n<BODY>\n"
                                  "<P>検索キー：%2</P>\n")
                       .arg(CharsetName(codePage), isbn);
    if (records.isEmpty()) {
        page += QStringLiteral("<P>該当データが見つかりませんでした。</P>\n");
    } else {
        const QString session = QStringLiteral("S%1a7f").arg(++sessionCounter, 4, 10, QChar(u'0'));
        page += QStringLiteral("<P>%1件の資料が見つかりました。</P>\n<TABLE>\n").arg(records.size());
        for (qsizetype i = 0; i < records.size(); ++i) {
            page += QStringLiteral("<TR><TD>%1</TD><TD><A HREF=\"/clis/detail?%2&SID=%3\">%4</A>"
                                   "</TD></TR>\n")
                        .arg(i + 1)
                        .arg(records[i], session, BookTitle(int(i) + 1));
        }
        page += QStringLiteral("</TABLE>\n");
    }
    return page + QStringLiteral("</BODY>\n</HTML>\n");
}

QString DetailPathOf(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Mitaka: return QStringLiteral("/clis/detail?");
    case CatalogueKind::Osakafu:
        return QStringLiteral("/OSPLIB/webopac/kensaku/kensakuSyousai.jsp?tilcod=");
    case CatalogueKind::Osakashi: return QStringLiteral("/cgi-bin/internet/opi_103.cgi?");
    default: return QStringLiteral("/cgi-bin/Sopcsvis.sh?ksno=");
    }
}

int PortOf(const sockaddr_in& address) { return ntohs(address.sin_port); }

// Drops the connection a request came on with a TCP reset, before any byte
// of an answer. The server's socket is found by its two ports among the
// process's descriptors; it is replaced by /dev/null, so that the server
// closes that harmlessly once the handler returns.
void ResetConnectionOf(const httplib::Request& request)
{
    DIR* descriptors = opendir("/proc/self/fd");
    if (descriptors == nullptr)
        throw std::runtime_error("cannot list /proc/self/fd");
    int found = -1;
    while (const dirent* entry = readdir(descriptors)) {
        const int fd = std::atoi(entry->d_name);
        if (fd <= 2 || fd == dirfd(descriptors))
            continue;
        sockaddr_in local{};
        sockaddr_in peer{};
        socklen_t localSize = sizeof local;
        socklen_t peerSize = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0
            || getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0
            || local.sin_family != AF_INET)
            continue;
        if (PortOf(local) == request.local_port && PortOf(peer) == request.remote_port) {
            found = fd;
            break;
        }
    }
    closedir(descriptors);
    if (found < 0)
        throw std::runtime_error("the connection to reset was not found");
    const linger abortive{1, 0};
    setsockopt(found, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
    dup2(nothing, found); // closes the socket: with linger 0 that sends RST
    close(nothing);
}

} // namespace

const std::vector<CatalogueKind>& AllCatalogueKinds()
{
    static const std::vector<CatalogueKind> kinds{
        CatalogueKind::Matsue,  CatalogueKind::Fussa,   CatalogueKind::Hamura,
        CatalogueKind::Inagi,   CatalogueKind::Shinagawa, CatalogueKind::Mitaka,
        CatalogueKind::Osakafu, CatalogueKind::Osakashi};
    return kinds;
}

QString LibraryNameOf(CatalogueKind kind)
{
    return QString::fromUtf16(FactsOf(kind).libraryName);
}

std::string ShortNameOf(CatalogueKind kind) { return FactsOf(kind).shortName; }

FakeCatalogue::FakeCatalogue(CatalogueKind kind) : kind_(kind), codePage_(FactsOf(kind).codePage)
{
    // Short keep-alive so that a client left connected cannot delay teardown.
    server_.server().set_keep_alive_timeout(1);
    server_.server().Get(".*", [this](const httplib::Request& request,
                                      httplib::Response& response) { Answer(request, response); });
    server_.Start();
}

FakeCatalogue::~FakeCatalogue()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    server_.Stop();
}

void FakeCatalogue::PointEndpoint(TEndpoints& endpoints) const
{
    endpoints.SetOverride(libraryName(), baseUrl());
}

void FakeCatalogue::SetCodePage(TCodePage codePage)
{
    std::lock_guard lock(mutex_);
    codePage_ = codePage;
}

TCodePage FakeCatalogue::codePage() const
{
    std::lock_guard lock(mutex_);
    return codePage_;
}

void FakeCatalogue::Hold(const QString& isbn, const QStringList& records)
{
    std::lock_guard lock(mutex_);
    holdings_.insert(isbn, records);
}

void FakeCatalogue::ClearHoldings()
{
    std::lock_guard lock(mutex_);
    holdings_.clear();
}

QString FakeCatalogue::DetailUrlFor(const QString& isbn) const
{
    std::lock_guard lock(mutex_);
    const QStringList records = holdings_.value(isbn);
    if (records.isEmpty())
        return QString();
    QString record = records.first();
    // The Osaka catalogues' records are attribute values: the browser reads
    // "&amp;" in them as "&".
    if (kind_ == CatalogueKind::Osakafu || kind_ == CatalogueKind::Osakashi)
        record.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    QString url = baseUrl() + DetailPathOf(kind_) + record;
    if (IsSopcsken(kind_))
        url += QStringLiteral("&kgrn=0&tso=on");
    return url;
}

void FakeCatalogue::SetDelay(std::chrono::milliseconds delay)
{
    std::lock_guard lock(mutex_);
    delay_ = delay;
}

void FakeCatalogue::AnswerStatus(int status)
{
    std::lock_guard lock(mutex_);
    status_ = status;
}

void FakeCatalogue::SetResetConnections(bool reset)
{
    std::lock_guard lock(mutex_);
    reset_ = reset;
}

void FakeCatalogue::ServePage(const QString& html)
{
    std::lock_guard lock(mutex_);
    pageOverride_ = html;
}

void FakeCatalogue::StallRequests()
{
    std::lock_guard lock(mutex_);
    stalling_ = true;
}

void FakeCatalogue::ReleaseStalled()
{
    {
        std::lock_guard lock(mutex_);
        stalling_ = false;
    }
    changed_.notify_all();
}

std::vector<ReceivedRequest> FakeCatalogue::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

int FakeCatalogue::requestCount() const
{
    std::lock_guard lock(mutex_);
    return int(requests_.size());
}

int FakeCatalogue::connectionCount() const
{
    std::lock_guard lock(mutex_);
    std::set<int> ports;
    for (const ReceivedRequest& request : requests_)
        ports.insert(request.clientPort);
    return int(ports.size());
}

void FakeCatalogue::ClearRequests()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

bool FakeCatalogue::WaitForRequests(int count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return int(requests_.size()) >= count; });
}

QString FakeCatalogue::IsbnOfQuery(const std::string& query) const
{
    const std::string name = std::string(FactsOf(kind_).isbnParameter) + '=';
    QString isbn;
    size_t start = 0;
    while (start <= query.size()) {
        const size_t end = std::min(query.find('&', start), query.size());
        const std::string parameter = query.substr(start, end - start);
        if (parameter.rfind(name, 0) == 0) // the last one counts, as in a CGI
            isbn = QString::fromLatin1(parameter.substr(name.size()));
        start = end + 1;
    }
    return isbn;
}

void FakeCatalogue::Answer(const httplib::Request& request, httplib::Response& response)
{
    ReceivedRequest received;
    received.target = request.target;
    const size_t question = request.target.find('?');
    received.path = request.target.substr(0, question);
    if (question != std::string::npos)
        received.query = request.target.substr(question + 1);
    received.clientPort = request.remote_port;

    std::unique_lock lock(mutex_);
    requests_.push_back(received);
    changed_.notify_all();

    if (delay_.count() > 0)
        changed_.wait_for(lock, delay_, [this] { return stopping_; });
    changed_.wait(lock, [this] { return !stalling_ || stopping_; });
    if (reset_) {
        ResetConnectionOf(request);
        return;
    }
    if (status_ != 0) {
        response.status = status_;
        response.set_content(EncodeCodePage(QStringLiteral("<html><body><h1>%1</h1>"
                                                           "<p>システムエラーが発生しました。</p>"
                                                           "</body></html>")
                                                .arg(status_),
                                            codePage_)
                                 .toStdString(),
                             "text/html");
        return;
    }
    if (received.path != FactsOf(kind_).searchPath) {
        response.status = 404;
        response.set_content("<html><body>Not Found</body></html>", "text/html");
        return;
    }

    const QString isbn = IsbnOfQuery(received.query);
    QString page = pageOverride_;
    if (page.isEmpty()) {
        const QStringList records = holdings_.value(isbn);
        switch (kind_) {
        case CatalogueKind::Mitaka: page = MitakaPage(isbn, records, codePage_, sessionCounter_); break;
        case CatalogueKind::Osakafu: page = OsakafuPage(isbn, records, codePage_); break;
        case CatalogueKind::Osakashi: page = OsakashiPage(isbn, records, codePage_); break;
        default: page = SopcskenPage(libraryName(), isbn, records, codePage_); break;
        }
    }
    const QByteArray body = EncodeCodePage(page, codePage_);
    response.set_content(body.toStdString(),
                         (QStringLiteral("text/html; charset=") + CharsetName(codePage_)).toStdString());
}

FakeCatalogueSet::FakeCatalogueSet()
{
    for (CatalogueKind kind : AllCatalogueKinds())
        fakes_.push_back(std::make_unique<FakeCatalogue>(kind));
}

FakeCatalogue& FakeCatalogueSet::at(CatalogueKind kind)
{
    for (const auto& fake : fakes_) {
        if (fake->kind() == kind)
            return *fake;
    }
    throw std::out_of_range("no fake of that kind");
}

void FakeCatalogueSet::PointEndpoints(TEndpoints& endpoints) const
{
    for (const auto& fake : fakes_)
        fake->PointEndpoint(endpoints);
}

QStringList SampleRecordsOf(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Osakafu: return {QStringLiteral("TW12345678"), QStringLiteral("TW87654321")};
    case CatalogueKind::Osakashi:
        return {QStringLiteral("ID=1&amp;KEY=2"), QStringLiteral("ID=3&amp;KEY=4")};
    case CatalogueKind::Mitaka: return {QStringLiteral("NUM=123&CTG=1"), QStringLiteral("NUM=456&CTG=1")};
    default: return {QStringLiteral("1234567"), QStringLiteral("7654321")};
    }
}
