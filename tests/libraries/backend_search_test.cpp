#include "config/endpoints.h"
#include "libraries/base_lib.h"
#include "libraries/http_client.h"
#include "libraries/library_list.h"
#include "support/fake_catalogue.h"
#include "support/recording_reporter.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

// The request each catalogue's own search form sends, ISBN included.
std::string ExpectedTarget(CatalogueKind kind, const std::string& isbn)
{
    switch (kind) {
    case CatalogueKind::Matsue:
        return "/cgi-bin/Sopcsken.sh?srsl1=1&tgid=tyo%3A010A&tkey=" + isbn;
    case CatalogueKind::Fussa:
        return "/cgi-bin/Sopcsken.sh?p_mode=1&g_mode=0&ryno=&c_key=&c_date=&mad_list_cnt=10&"
               "brws=ncdet&ktyp9=shk%7Catk%7Cspk%7Ckek&itfg9=c&ser_type=0&stkb=&tgid=tyo%3A010A&"
               "sgid=spno&srsl1=1&srsl2=2&srsl3=3&ktyp0=shk&key0=&itfg0=c&ron0=a&ktyp1=atk&"
               "key1=&itfg1=c&ron1=a&ktyp2=spk&key2=&itfg2=c&ron2=a&ktyp3=kek&key3=&itfg3=c&"
               "ron3=a&ktyp4=kjk&key4=&itfg4=c&kkey=&skey=&lckns=01&lckns=02&lckns=03&lckns=04&"
               "list_cnt=20&tkey=" + isbn;
    case CatalogueKind::Hamura:
        return "/cgi-bin/Sopcsken.sh?p_mode=1&g_mode=0&ryno=&c_key=&c_date=&list_cnt=&"
               "mad_list_cnt=&brws=ncdet&ktyp9=shk%7Catk%7Cspk%7Ckek&itfg9=c&ser_type=0&stkb=&"
               "tgid=tyo%3A010A&sgid=spno&srsl1=1&srsl2=2&srsl3=3&ktyp0=shk%7Cser&key0=&itfg0=c&"
               "ron0=a&ktyp1=atk&key1=&itfg1=c&ron1=a&ktyp2=spk&key2=&itfg2=c&ron2=a&ktyp3=kek&"
               "key3=&itfg3=c&ron3=a&ktyp4=kjk&key4=&itfg4=c&kkey=&skey=&tkey=" + isbn;
    case CatalogueKind::Inagi:
        return "/cgi-bin/Sopcsken.sh?p_mode=1&g_mode=0&ryno=&c_key=&c_date=&list_cnt=10&"
               "mad_list_cnt=&brws=ncdet&ktyp9=shk%7Catk%7Cspk%7Ckek%7Cser&itfg9=c&ser_type=0&"
               "stkb=&tgid=tyo%3A010A&sgid=spno&srsl1=1&srsl2=2&srsl3=3&ktyp0=shk%7Cser&key0=&"
               "itfg0=c&ron0=a&ktyp1=atk&key1=&itfg1=c&ron1=a&ktyp2=spk&key2=&itfg2=c&ron2=a&"
               "ktyp3=kek&key3=&itfg3=c&ron3=a&ktyp4=kjk&key4=&itfg4=c&kkey=&skey=&srkbs=&"
               "lckns=10&lckns=01&lckns=02&lckns=03&lckns=04&tkey=" + isbn;
    case CatalogueKind::Shinagawa:
        return "/cgi-bin/Sopcsken.sh?p_mode=1&g_mode=0&ryno=&c_key=&c_date=&list_cnt=10&"
               "mad_list_cnt=10&brws=ncdet&ktyp9=shk%7Catk%7Cspk%7Ckek&itfg9=c&ser_type=0&stkb=&"
               "sgid=spno&srsl1=1&srsl2=2&srsl3=3&ktyp0=shk&key0=&itfg0=c&ron0=a&ktyp1=atk&"
               "key1=&itfg1=c&ron1=a&ktyp2=spk&key2=&itfg2=c&ron2=a&ktyp3=ser&key3=&itfg3=c&"
               "ron3=a&ktyp4=kek&key4=&itfg4=c&tgid=tyo%3A010A&kkey=&skey=&srkbs=&tkey=" + isbn;
    case CatalogueKind::Osakafu:
        return "/OSPLIB/webopac/kensaku/kensakuKekka.jsp?title1=&title_agree1=2&title_cond2=1&"
               "title2=&title_agree2=2&title_cond3=1&title3=&title_agree3=2&author1=&"
               "author_agree1=2&author_cond2=1&author2=&author_agree2=2&author_cond3=1&author3=&"
               "author_agree3=2&publisher1=&publisher_agree1=2&relation1=&relation_agree1=2&"
               "relation_cond2=1&relation2=&relation_agree2=2&relation_cond3=1&relation3=&"
               "relation_agree3=2&class_sign1=&langcod1=dummy&publish_year1=&publish_year2=&"
               "data_division1=dummy&title_kind1=dummy&library_name1=dummy&medium_kind1=dummy&"
               "langcod1=&code_genre1=2&area_check1=dummy&area1=dummy&possess_division1=dummy&"
               "newarvl1=dummy&tkd_poss1=dummy&classflg=0&code_value1=" + isbn;
    case CatalogueKind::Osakashi:
        return "/cgi-bin/internet/opi_102.cgi?KY_GNO=101&KY_LANG=J&KY_BUTTON=01&NEW=&HIS=101&"
               "S1=&S2=&S3=&S4=&S5=&L=20&I0=T&K0=&C0=02&L0=+&I1=A&K1=&C1=02&L1=+&I2=P&K2=&C2=02&"
               "L2=+&FNAME=&PNAME_SELECT=&PNAME_TEXT=&KEY=&I3=A&K3=&L3=+&I4=C&K4=&CT1=1&CT2=1&"
               "CT3=1&AJ=&LOC=&Y1=&Y2=&ORDER=syear&SORT=02&"
               "SEARCH1=%A1%A1%B8%A1%A1%A1%BA%F7%A1%A1&ISSN=&MK=J&MN=&BID=&SI=&CB=1&ISBN=" + isbn;
    case CatalogueKind::Mitaka:
        return "/clis/search?BOOK=ON&MAGAZINE=ON&AV=ON&ITEM1=L&KEY1=" + isbn
             + "&COMP1=2&COND=1&SORT=1";
    }
    return {};
}

// Two records as the catalogue writes them into its list.
// The detail page of the first of those records, after the base URL.
QString ExpectedDetailPath(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Osakafu:
        return QStringLiteral("/OSPLIB/webopac/kensaku/kensakuSyousai.jsp?tilcod=TW12345678");
    case CatalogueKind::Osakashi: return QStringLiteral("/cgi-bin/internet/opi_103.cgi?ID=1&KEY=2");
    case CatalogueKind::Mitaka: return QStringLiteral("/clis/detail?NUM=123&CTG=1");
    default: return QStringLiteral("/cgi-bin/Sopcsvis.sh?ksno=1234567&kgrn=0&tso=on");
    }
}

// A loopback port nobody listens on.
int ClosedPort()
{
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    close(probe);
    return ntohs(address.sin_port);
}

class BackendSearch : public ::testing::TestWithParam<CatalogueKind>
{
protected:
    BackendSearch()
    {
        // Pointed after the registry exists: backends read their endpoint
        // when they search, as a settings file loaded later requires.
        fake.PointEndpoint(endpoints);
        client.SetTimeouts(5s, 10s);
    }

    QString Search(const QString& isbn)
    {
        return libraries.GetNameMap().value(LibraryNameOf(GetParam()))->Search(isbn, client, reporter);
    }

    FakeCatalogue fake{GetParam()};
    TEndpoints endpoints;
    TLibraryList libraries{endpoints};
    THttpClient client;
    RecordingReporter reporter;
};

} // namespace

TEST_P(BackendSearch, RequestArrivesExactlyAsTheCatalogueFormSendsIt)
{
    for (const char* isbn : {"4101010013", "412345678X", "412345678x", ""}) {
        fake.ClearRequests();
        Search(QString::fromLatin1(isbn));
        const std::vector<ReceivedRequest> requests = fake.requests();
        ASSERT_EQ(requests.size(), 1u) << isbn;
        EXPECT_EQ(requests.front().target, ExpectedTarget(GetParam(), isbn));
    }
    EXPECT_EQ(reporter.count(), 0);
}

TEST_P(BackendSearch, HeldBookGivesTheFirstRecordsDetailPageInEveryEncoding)
{
    const QString held = QStringLiteral("4101010013");
    fake.Hold(held, SampleRecordsOf(GetParam()));
    const QString expected = fake.baseUrl() + ExpectedDetailPath(GetParam());
    EXPECT_EQ(fake.DetailUrlFor(held), expected);
    for (TCodePage codePage : {kCodePageShiftJis, kCodePageEucJp, kCodePageUtf8}) {
        fake.SetCodePage(codePage);
        EXPECT_EQ(Search(held), expected) << "code page " << codePage;
        EXPECT_EQ(Search(QStringLiteral("4000000020")), QString()) << "code page " << codePage;
    }
    EXPECT_EQ(reporter.count(), 0);
}

TEST_P(BackendSearch, ErrorStatusIsReportedOnceWithTheClientsMessage)
{
    fake.Hold(QStringLiteral("4101010013"), SampleRecordsOf(GetParam()));
    fake.AnswerStatus(500);
    EXPECT_EQ(Search(QStringLiteral("4101010013")), QString());
    EXPECT_EQ(reporter.messages(), QStringList{QStringLiteral("HTTP 500 Internal Server Error")});
    EXPECT_EQ(fake.requestCount(), 1); // no retry

    // The next ISBN is searched as usual.
    fake.AnswerStatus(0);
    EXPECT_EQ(Search(QStringLiteral("4101010013")), fake.baseUrl() + ExpectedDetailPath(GetParam()));
    EXPECT_EQ(reporter.count(), 1);
}

TEST_P(BackendSearch, UnreachableHostIsReportedForEveryIsbn)
{
    const int port = ClosedPort();
    endpoints.SetOverride(LibraryNameOf(GetParam()), QStringLiteral("http://127.0.0.1:%1").arg(port));
    EXPECT_EQ(Search(QStringLiteral("4101010013")), QString());
    EXPECT_EQ(Search(QStringLiteral("4000000020")), QString());
    const QStringList messages = reporter.messages();
    ASSERT_EQ(messages.size(), 2);
    for (const QString& message : messages)
        EXPECT_TRUE(message.contains(QString::number(port))) << message.toStdString();
}

TEST_P(BackendSearch, ResetConnectionIsReportedOnce)
{
    fake.Hold(QStringLiteral("4101010013"), SampleRecordsOf(GetParam()));
    fake.SetResetConnections(true);
    EXPECT_EQ(Search(QStringLiteral("4101010013")), QString());
    ASSERT_EQ(reporter.count(), 1);
    EXPECT_FALSE(reporter.messages().front().isEmpty());
    EXPECT_EQ(fake.requestCount(), 1);

    fake.SetResetConnections(false);
    EXPECT_EQ(Search(QStringLiteral("4101010013")), fake.baseUrl() + ExpectedDetailPath(GetParam()));
}

TEST_P(BackendSearch, PageOfAnotherLayoutGivesNothingWithoutReport)
{
    fake.Hold(QStringLiteral("4101010013"), SampleRecordsOf(GetParam()));
    fake.ServePage(QStringLiteral("<html><body><h1>システムメンテナンスのお知らせ</h1>"
                                  "<p>ただいま蔵書検索はご利用いただけません。"
                                  "<a href=\"/index.html\">トップページへ</a></p></body></html>"));
    EXPECT_EQ(Search(QStringLiteral("4101010013")), QString());
    EXPECT_EQ(reporter.count(), 0);
}

TEST_P(BackendSearch, HostilePageGivesNoResultTheSizeOfThePage)
{
    // Every catalogue's record link, each followed by a megabyte before
    // anything that could end it.
    QString page = QStringLiteral("ご利用にあたっては書名をクリックして詳細情報を必ず確認してください");
    for (const char* opening : {"<a href=\"#\" onClick=\"dispDetail(", "<A HREF=\"/clis/detail?",
                                "<a href=\"kensakuSyousai.jsp?tilcod=",
                                "<a href=\"/cgi-bin/internet/opi_103.cgi?"})
        page += QString::fromLatin1(opening) + QString(1024 * 1024, u'x');
    fake.ServePage(page + QStringLiteral(",'0')&SID=1\">"));
    EXPECT_EQ(Search(QStringLiteral("4101010013")), QString());
    EXPECT_EQ(reporter.count(), 0);
}

TEST_P(BackendSearch, TransferAbortedAtShutdownIsNotReported)
{
    fake.StallRequests();
    QString result = QStringLiteral("unset");
    std::thread worker([&] { result = Search(QStringLiteral("4101010013")); });
    ASSERT_TRUE(fake.WaitForRequests(1, 5s));
    client.Abort();
    worker.join();
    EXPECT_EQ(result, QString());
    EXPECT_EQ(reporter.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(AllCatalogues, BackendSearch, ::testing::ValuesIn(AllCatalogueKinds()),
                         [](const auto& info) { return ShortNameOf(info.param); });

TEST(BackendSearchTimeout, StalledCatalogueIsReportedOnceWhenTheClientGivesUp)
{
    FakeCatalogue fake(CatalogueKind::Matsue);
    TEndpoints endpoints;
    fake.PointEndpoint(endpoints);
    TLibraryList libraries(endpoints);
    THttpClient client;
    client.SetTimeouts(5s, 300ms);
    RecordingReporter reporter;

    fake.StallRequests();
    EXPECT_EQ(libraries.GetNameMap().value(fake.libraryName())->Search(QStringLiteral("4101010013"),
                                                                        client, reporter),
              QString());
    EXPECT_EQ(reporter.count(), 1);
    EXPECT_EQ(fake.requestCount(), 1);
}
