// The fake catalogue is shared by the search and benchmark tests; these
// cases pin down what they rely on beyond the backend tests.
#include "config/endpoints.h"
#include "libraries/http_client.h"
#include "support/fake_catalogue.h"
#include "util/code_page.h"
#include "util/error.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

QString SearchUrl(const FakeCatalogue& fake, const QString& isbn)
{
    return fake.baseUrl() + QStringLiteral("/cgi-bin/Sopcsken.sh?srsl1=1&tkey=") + isbn;
}

} // namespace

TEST(FakeCatalogue, PagesComeInTheChosenCodePage)
{
    FakeCatalogue fake(CatalogueKind::Matsue);
    THttpClient client;
    const QString noHit = QStringLiteral("該当資料はありません");
    for (TCodePage codePage : {kCodePageShiftJis, kCodePageEucJp, kCodePageUtf8}) {
        fake.SetCodePage(codePage);
        const QByteArray body = client.Get(SearchUrl(fake, QStringLiteral("4101010013")));
        EXPECT_TRUE(body.contains(EncodeCodePage(noHit, codePage))) << codePage;
        EXPECT_TRUE(DecodeCodePage(body, codePage).contains(noHit)) << codePage;
    }
}

TEST(FakeCatalogue, CountsConnectionsAndAnswersOtherPathsWithNotFound)
{
    FakeCatalogue fake(CatalogueKind::Matsue);
    {
        THttpClient first;
        for (int i = 0; i < 3; ++i)
            first.Get(SearchUrl(fake, QStringLiteral("4101010013")));
        EXPECT_THROW(first.Get(fake.baseUrl() + QStringLiteral("/cgi-bin/Sopcsvis.sh?ksno=1")),
                     HttpError);
        THttpClient second;
        second.Get(SearchUrl(fake, QStringLiteral("4101010013")));
    }
    EXPECT_EQ(fake.requestCount(), 5);
    EXPECT_EQ(fake.connectionCount(), 2);
    EXPECT_EQ(fake.requests()[3].path, "/cgi-bin/Sopcsvis.sh");
    EXPECT_EQ(fake.requests()[3].query, "ksno=1");
}

TEST(FakeCatalogue, DelaysAnswers)
{
    FakeCatalogue fake(CatalogueKind::Mitaka);
    fake.SetDelay(300ms);
    THttpClient client;
    const auto start = std::chrono::steady_clock::now();
    client.Get(fake.baseUrl() + QStringLiteral("/clis/search?KEY1=1"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
}

TEST(FakeCatalogue, StalledRequestsDoNotHoldUpTeardown)
{
    THttpClient client;
    client.SetTimeouts(5s, 30s);
    std::thread requester;
    {
        FakeCatalogue fake(CatalogueKind::Osakashi);
        fake.StallRequests();
        requester = std::thread([&client, url = fake.baseUrl() + QStringLiteral("/x")] {
            try {
                client.Get(url);
            } catch (const HttpError&) {
            }
        });
        EXPECT_TRUE(fake.WaitForRequests(1, 5s));
    } // the fake releases the stalled request and stops here
    requester.join();
}

TEST(FakeCatalogue, SetPointsEveryLibraryAtItsOwnFake)
{
    FakeCatalogueSet fakes;
    TEndpoints endpoints;
    fakes.PointEndpoints(endpoints);
    QStringList urls;
    for (CatalogueKind kind : AllCatalogueKinds()) {
        EXPECT_EQ(endpoints.BaseUrl(LibraryNameOf(kind)), fakes.at(kind).baseUrl());
        urls.append(fakes.at(kind).baseUrl());
    }
    urls.removeDuplicates();
    EXPECT_EQ(urls.size(), 8);
}
