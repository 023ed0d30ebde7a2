// The fake bookseller stands in for the real service in every lookup test,
// so its checks must hold on their own.
#include "amazon/item_lookup_request.h"
#include "amazon/item_lookup_response.h"
#include "libraries/http_client.h"
#include "support/fake_bookseller.h"
#include "util/error.h"

#include <gtest/gtest.h>

namespace {

const QString kKeyId = QStringLiteral("AKIAFAKEKEYID0000000");
const QString kSecret = QStringLiteral("fake-secret");

// The status of a GET, 200 when it succeeds.
int StatusOf(THttpClient& client, const QString& url)
{
    try {
        client.Get(url);
        return 200;
    } catch (const HttpError& error) {
        return error.message().section(u' ', 1, 1).toInt();
    }
}

} // namespace

TEST(FakeBookseller, SignsLikeTheServiceWithoutOurCanonicalForm)
{
    // The code of the two-book example, computed with openssl.
    const QMap<QString, QString> parameters{
        {QStringLiteral("AWSAccessKeyId"), QStringLiteral("AKIDEXAMPLE")},
        {QStringLiteral("AssociateTag"), QStringLiteral("tomoriza-22")},
        {QStringLiteral("ItemId"), QStringLiteral("4101010013,4000000020")},
        {QStringLiteral("Operation"), QStringLiteral("ItemLookup")},
        {QStringLiteral("ResponseGroup"), QStringLiteral("Large")},
        {QStringLiteral("Service"), QStringLiteral("AWSECommerceService")},
        {QStringLiteral("Timestamp"), QStringLiteral("2011-05-01T03:04:05Z")},
        {QStringLiteral("Version"), QStringLiteral("2009-01-06")},
        {QStringLiteral("Signature"), QStringLiteral("ignored")},
    };
    EXPECT_EQ(FakeBookseller::ExpectedSignature(parameters, QStringLiteral("webservices.amazon.co.jp"),
                                                QStringLiteral("secret-key/EXAMPLE")),
              QStringLiteral("t0xn8VnCf9ZiQNQ9RrhaBsEZJqf/wKjrYDgn87wRWuw="));
}

TEST(FakeBookseller, RefusesWhatTheServiceWouldRefuse)
{
    FakeBookseller bookseller(kKeyId, kSecret);
    bookseller.AddBooks(FakeBookseller::SampleBooks());
    bookseller.Start();
    THttpClient client;
    const QString ids = QStringLiteral("4101010137");
    auto url = [&](const QString& keyId, const QString& secret, const QString& signedHost,
                   const QDateTime& time = QDateTime()) {
        return BuildItemLookupUrl(ids, keyId, secret, time, signedHost)
            .replace(signedHost, bookseller.host());
    };

    EXPECT_EQ(StatusOf(client, url(kKeyId, kSecret, bookseller.host())), 200);
    // Signed for the host without its port.
    EXPECT_EQ(StatusOf(client, url(kKeyId, kSecret, QStringLiteral("127.0.0.1"))), 403);
    EXPECT_EQ(StatusOf(client, url(kKeyId, QStringLiteral("other"), bookseller.host())), 403);
    EXPECT_EQ(StatusOf(client, url(QStringLiteral("AKIAOTHER"), kSecret, bookseller.host())), 403);
    // A query changed after signing.
    EXPECT_EQ(StatusOf(client, url(kKeyId, kSecret, bookseller.host())
                                   .replace(QStringLiteral("ItemId=4101010137"),
                                            QStringLiteral("ItemId=4003101014"))),
              403);
    EXPECT_EQ(StatusOf(client, url(kKeyId, kSecret, bookseller.host(),
                                   QDateTime::currentDateTimeUtc().addSecs(-3600))),
              400);
    EXPECT_EQ(StatusOf(client, bookseller.host().prepend(u"http://") + QStringLiteral("/onca/xml?Service=x")),
              400);
    EXPECT_EQ(bookseller.RequestCount(), 7);
    EXPECT_EQ(bookseller.Requests().at(1).status, 403);

    // More than ten ItemIds: an invalid request without items.
    QStringList eleven;
    for (int i = 0; i < 11; ++i)
        eleven.append(ids);
    const QString tooMany =
        BuildItemLookupUrl(eleven.join(u','), kKeyId, kSecret, QDateTime(), bookseller.host());
    EXPECT_TRUE(ParseItemLookupResponse(QString::fromUtf8(client.Get(tooMany))).isEmpty());
}
