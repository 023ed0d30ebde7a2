#include "support/fake_ndl.h"

#include "support/fake_openbd.h"

#include <QXmlStreamWriter>

namespace {

const QString kDc = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kDcndl = QStringLiteral("http://ndl.go.jp/dcndl/terms/");
const QString kDcterms = QStringLiteral("http://purl.org/dc/terms/");
const QString kOpenSearch = QStringLiteral("http://a9.com/-/spec/opensearchrss/1.0/");
const QString kRdf = QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#");
const QString kRdfs = QStringLiteral("http://www.w3.org/2000/01/rdf-schema#");
const QString kXsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

} // namespace

FakeNdl::FakeNdl()
{
    server_.server().Get("/api/opensearch", [this](const httplib::Request& request, httplib::Response& response) {
        Search(request, response);
    });
    server_.Start();
}

FakeNdl::~FakeNdl()
{
    control_.Stop();
    server_.Stop();
}

void FakeNdl::AddBook(const FakeNdlBook& book)
{
    std::lock_guard lock(mutex_);
    books_.insert(FakeIsbn13(book.isbn), book);
}

void FakeNdl::AddBooks(const QList<FakeNdlBook>& books)
{
    for (const FakeNdlBook& book : books)
        AddBook(book);
}

QList<FakeNdlRequest> FakeNdl::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void FakeNdl::ClearRequests()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

QStringList FakeNdl::RequestedIsbns() const
{
    QStringList isbns;
    for (const FakeNdlRequest& request : Requests())
        isbns.append(request.isbn);
    return isbns;
}

QString FakeNdl::RecordUrl(const QString& isbn13)
{
    return QStringLiteral("https://ndlsearch.ndl.go.jp/books/R100000002-I%1").arg(isbn13);
}

QList<FakeNdlBook> FakeNdl::SampleBooks()
{
    return {
        {QStringLiteral("4003101014"), QStringLiteral("坊っちゃん"), QStringLiteral("518円"),
         QStringLiteral("1989.5"), QStringLiteral("1989")},
        {QStringLiteral("4000000020"), QStringLiteral("国会図書館にだけある本"), QStringLiteral("3,200円+税"),
         QString(), QStringLiteral("2015")},
    };
}

void FakeNdl::Search(const httplib::Request& request, httplib::Response& response)
{
    const QString isbn = QString::fromStdString(request.get_param_value("isbn"));
    const auto arrived = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    const qsizetype index = requests_.size();
    requests_.append({isbn, QString::fromStdString(request.get_param_value("dpid")), 0});
    lock.unlock();
    const FakeAnswerControl::TPlan plan = control_.Wait();
    lock.lock();
    const int status = plan.status;
    const QByteArray body = plan.body.isNull() ? AnswerFor(isbn) : plan.body;
    requests_[index].status = status == 0 ? 200 : status;
    requests_[index].held =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - arrived);
    lock.unlock();
    if (status != 0) {
        response.status = status;
        response.set_content("<html><body>unavailable</body></html>", "text/html");
        return;
    }
    response.set_content(body.constData(), std::size_t(body.size()), "application/rss+xml; charset=UTF-8");
}

QByteArray FakeNdl::AnswerFor(const QString& isbn) const
{
    const QString isbn13 = FakeIsbn13(isbn);
    const auto found = books_.constFind(isbn13);
    const bool hit = !isbn13.isEmpty() && found != books_.cend();

    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(kDc, QStringLiteral("dc"));
    xml.writeNamespace(kOpenSearch, QStringLiteral("openSearch"));
    xml.writeNamespace(kDcndl, QStringLiteral("dcndl"));
    xml.writeNamespace(kDcterms, QStringLiteral("dcterms"));
    xml.writeNamespace(kXsi, QStringLiteral("xsi"));
    xml.writeNamespace(kRdfs, QStringLiteral("rdfs"));
    xml.writeNamespace(kRdf, QStringLiteral("rdf"));
    xml.writeStartElement(QStringLiteral("rss"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    xml.writeStartElement(QStringLiteral("channel"));
    xml.writeTextElement(QStringLiteral("title"), isbn + QStringLiteral(" - 国立国会図書館サーチ OpenSearch"));
    xml.writeTextElement(QStringLiteral("link"),
                         QStringLiteral("https://ndlsearch.ndl.go.jp/api/opensearch?isbn=") + isbn);
    xml.writeTextElement(kOpenSearch, QStringLiteral("totalResults"), hit ? QStringLiteral("1") : QStringLiteral("0"));
    xml.writeTextElement(kOpenSearch, QStringLiteral("startIndex"), QStringLiteral("1"));
    xml.writeTextElement(kOpenSearch, QStringLiteral("itemsPerPage"), QStringLiteral("200"));
    if (hit) {
        const FakeNdlBook& book = *found;
        xml.writeStartElement(QStringLiteral("item"));
        xml.writeTextElement(QStringLiteral("title"), book.title);
        xml.writeTextElement(QStringLiteral("link"), RecordUrl(isbn13));
        xml.writeTextElement(QStringLiteral("category"), QStringLiteral("図書"));
        xml.writeStartElement(QStringLiteral("guid"));
        xml.writeAttribute(QStringLiteral("isPermaLink"), QStringLiteral("true"));
        xml.writeCharacters(RecordUrl(isbn13));
        xml.writeEndElement();
        xml.writeTextElement(kDc, QStringLiteral("title"), book.title);
        xml.writeTextElement(kDc, QStringLiteral("creator"), QStringLiteral("夏目, 漱石"));
        xml.writeTextElement(kDc, QStringLiteral("publisher"), QStringLiteral("架空書房"));
        if (!book.date.isEmpty()) {
            xml.writeStartElement(kDc, QStringLiteral("date"));
            xml.writeAttribute(kXsi, QStringLiteral("type"), QStringLiteral("dcterms:W3CDTF"));
            xml.writeCharacters(book.date);
            xml.writeEndElement();
        }
        if (!book.issued.isEmpty())
            xml.writeTextElement(kDcterms, QStringLiteral("issued"), book.issued);
        if (!book.price.isEmpty())
            xml.writeTextElement(kDcndl, QStringLiteral("price"), book.price);
        xml.writeStartElement(kDc, QStringLiteral("identifier"));
        xml.writeAttribute(kXsi, QStringLiteral("type"), QStringLiteral("dcndl:ISBN"));
        xml.writeCharacters(book.isbn);
        xml.writeEndElement();
        xml.writeEmptyElement(kRdfs, QStringLiteral("seeAlso"));
        xml.writeAttribute(kRdf, QStringLiteral("resource"), QStringLiteral("https://www.library.pref.osaka.jp/bib/?B10000001"));
        xml.writeEndElement(); // item
    }
    xml.writeEndElement(); // channel
    xml.writeEndElement(); // rss
    xml.writeEndDocument();
    return body;
}
