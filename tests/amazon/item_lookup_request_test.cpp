#include "amazon/item_lookup_request.h"

#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

const QString kHost = QStringLiteral("webservices.amazon.co.jp");
const QString kKeyId = QStringLiteral("AKIDEXAMPLE");

QDateTime ExampleTime()
{
    return QDateTime(QDate(2011, 5, 1), QTime(3, 4, 5, 900), Qt::UTC);
}

// The canonical query of the two-book example, written out by hand.
const QString kExampleQuery = QStringLiteral(
    "AWSAccessKeyId=AKIDEXAMPLE&AssociateTag=tomoriza-22&ItemId=4101010013%2C4000000020"
    "&Operation=ItemLookup&ResponseGroup=Large&Service=AWSECommerceService"
    "&Timestamp=2011-05-01T03%3A04%3A05Z&Version=2009-01-06");

QString QueryValue(const QString& url, const QString& name)
{
    return QUrlQuery(QUrl(url).query(QUrl::FullyEncoded)).queryItemValue(name, QUrl::FullyEncoded);
}

} // namespace

TEST(ItemIdList, ConvertsOnlyLongItemsToIsbn10)
{
    EXPECT_EQ(ToItemIdList(QStringLiteral("4101010013,4000000020")),
              QStringLiteral("4101010013,4000000020"));
    EXPECT_EQ(ToItemIdList(QStringLiteral("9784101010014,4000000020")),
              QStringLiteral("4101010013,4000000020"));
    // Shorter than 13 characters: Isbn13ToIsbn10 leaves 11 and 12 alone.
    EXPECT_EQ(ToItemIdList(QStringLiteral("12345,12345678901,123456789012")),
              QStringLiteral("12345,12345678901,123456789012"));
    EXPECT_EQ(ToItemIdList(QString()), QString());
}

TEST(Timestamp, IsUtcCutToWholeSeconds)
{
    EXPECT_EQ(FormatTimestamp(ExampleTime()), QStringLiteral("2011-05-01T03:04:05Z"));
    // Truncated, not rounded: the last fraction of a day stays in that day.
    EXPECT_EQ(FormatTimestamp(QDateTime(QDate(2011, 12, 31), QTime(23, 59, 59, 999), Qt::UTC)),
              QStringLiteral("2011-12-31T23:59:59Z"));
    // A time given in Japan's zone is written in UTC.
    const QDateTime tokyo(QDate(2011, 5, 1), QTime(12, 4, 5), Qt::OffsetFromUTC, 9 * 3600);
    EXPECT_EQ(FormatTimestamp(tokyo), QStringLiteral("2011-05-01T03:04:05Z"));
}

TEST(CanonicalQuery, SortsWholeEncodedPairsByCodeUnit)
{
    const TRequestParameters parameters{
        {QStringLiteral("Service"), QStringLiteral("AWSECommerceService")},
        {QStringLiteral("AWSAccessKeyId"), kKeyId},
        {QStringLiteral("AssociateTag"), QStringLiteral("tomoriza-22")},
        {QStringLiteral("Operation"), QStringLiteral("ItemLookup")},
        {QStringLiteral("ItemId"), QStringLiteral("4101010013,4000000020")},
        {QStringLiteral("ResponseGroup"), QStringLiteral("Large")},
        {QStringLiteral("Version"), QStringLiteral("2009-01-06")},
        {QStringLiteral("Timestamp"), QStringLiteral("2011-05-01T03:04:05Z")},
    };
    EXPECT_EQ(BuildCanonicalQuery(parameters), kExampleQuery);

    // Map order would be A, a, a-b, aB; the pair texts sort "-" < "=" < "B".
    const TRequestParameters prefixes{
        {QStringLiteral("a"), QStringLiteral("x")},
        {QStringLiteral("a-b"), QStringLiteral("y")},
        {QStringLiteral("aB"), QStringLiteral("本 z")},
        {QStringLiteral("A"), QString()},
    };
    EXPECT_EQ(BuildCanonicalQuery(prefixes), QStringLiteral("A=&a-b=y&a=x&aB=%E6%9C%AC%20z"));
    EXPECT_EQ(BuildCanonicalQuery({}), QString());
}

TEST(Signature, SignsMethodHostPathAndQuery)
{
    // Expected codes computed independently (openssl dgst -hmac) over
    // "GET\n<host>\n/onca/xml\n<query>".
    EXPECT_EQ(CreateSignature(kExampleQuery, QStringLiteral("secret-key/EXAMPLE"), kHost),
              QStringLiteral("t0xn8VnCf9ZiQNQ9RrhaBsEZJqf/wKjrYDgn87wRWuw="));
    EXPECT_EQ(CreateSignature(kExampleQuery, QStringLiteral("secret-key-4"),
                              QStringLiteral("127.0.0.1:8080")),
              QStringLiteral("a17yqQSBvcyVws6xTB1ZZmoNYCl2RcY3eGFXP9Gd7BI="));
    // An empty secret key is an empty HMAC key, not an error.
    EXPECT_EQ(CreateSignature(kExampleQuery, QString(), kHost),
              QStringLiteral("rveBhbuNGiQ2hln2C3K9MTGjJwMDGzIWKeZZfeOYMV0="));
}

TEST(ItemLookupUrl, CarriesTheQueryAndTheEncodedSignature)
{
    const QString url = BuildItemLookupUrl(QStringLiteral("4101010013,4000000020"), kKeyId,
                                           QStringLiteral("secret-key-4"), ExampleTime(), kHost);
    // The signature OEbn+k83XjJPe3dSFKMiJ8igoLeFyh/YpdQJTq988WM= has all three
    // Base64 characters that need encoding.
    EXPECT_EQ(url, QStringLiteral("http://webservices.amazon.co.jp/onca/xml?") + kExampleQuery
                       + QStringLiteral("&Signature=OEbn%2Bk83XjJPe3dSFKMiJ8igoLeFyh%2FYpdQJTq988WM%3D"));
    EXPECT_FALSE(url.contains(u"%25")) << "something was encoded twice";
    EXPECT_FALSE(url.contains(u"secret-key")) << "the secret key must never travel";
}

TEST(ItemLookupUrl, EmptyValuesStillGiveACompleteRequest)
{
    const QString url = BuildItemLookupUrl(QStringLiteral("4101010013"), QString(), QString(),
                                           ExampleTime(), kHost);
    const QString query = QUrl(url).query(QUrl::FullyEncoded);
    EXPECT_TRUE(query.startsWith(u"AWSAccessKeyId=&AssociateTag=tomoriza-22&ItemId=4101010013&"));
    const QString signature =
        QUrl::fromPercentEncoding(QueryValue(url, QStringLiteral("Signature")).toLatin1());
    EXPECT_EQ(signature.size(), 44);
    EXPECT_TRUE(signature.endsWith(u'='));
    EXPECT_EQ(QUrlQuery(query).queryItems().size(), 9);
}

TEST(ItemLookupUrl, SeparatesTenItemIdsWithNineCommas)
{
    QStringList ids;
    for (int i = 0; i < 10; ++i)
        ids.append(QStringLiteral("40000000%1X").arg(i, 1));
    const QString url =
        BuildItemLookupUrl(ids.join(u','), kKeyId, QStringLiteral("k"), ExampleTime(), kHost);
    EXPECT_EQ(QueryValue(url, QStringLiteral("ItemId")).count(QStringLiteral("%2C")), 9);
}

TEST(ItemLookupUrl, NullTimeMeansNowAndAnyOtherTimeIsKept)
{
    const QDateTime before = QDateTime::currentDateTimeUtc();
    const QString url =
        BuildItemLookupUrl(QStringLiteral("4101010013"), kKeyId, QStringLiteral("k"), {}, kHost);
    const QDateTime after = QDateTime::currentDateTimeUtc();
    const QDateTime stamped = QDateTime::fromString(
        QUrl::fromPercentEncoding(QueryValue(url, QStringLiteral("Timestamp")).toLatin1()),
        Qt::ISODate);
    ASSERT_TRUE(stamped.isValid()) << url.toStdString();
    EXPECT_GE(stamped.toSecsSinceEpoch(), before.toSecsSinceEpoch());
    EXPECT_LE(stamped.toSecsSinceEpoch(), after.toSecsSinceEpoch());

    const QString fixed = BuildItemLookupUrl(QStringLiteral("4101010013"), kKeyId,
                                             QStringLiteral("k"), ExampleTime(), kHost);
    EXPECT_EQ(QueryValue(fixed, QStringLiteral("Timestamp")), QStringLiteral("2011-05-01T03%3A04%3A05Z"));
}
