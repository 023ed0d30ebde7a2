#include "bookdata/ndl_answer.h"
#include "bookdata/openbd_answer.h"
#include "util/error.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray Sample(const char* name)
{
    QFile file(QStringLiteral(QUILLMOOR_BOOKDATA_SAMPLES "/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

const QStringList kSampleIsbns{QStringLiteral("4101010137"), QStringLiteral("4000000020"), QStringLiteral("4003101014")};

} // namespace

TEST(OpenBdAnswer, MapsTheSampleBackByPositionWithNullAsUnknown)
{
    const auto facts = ParseOpenBdAnswer(Sample("openbd_get.json"), kSampleIsbns);
    ASSERT_EQ(facts.size(), 3u);
    ASSERT_TRUE(facts[0].has_value());
    EXPECT_EQ(facts[0]->Title, QStringLiteral("こころ"));
    EXPECT_EQ(facts[0]->Amount, QStringLiteral("432"));
    EXPECT_EQ(facts[0]->PublicationDate, QStringLiteral("1952-02-18"));
    EXPECT_FALSE(facts[1].has_value());
    ASSERT_TRUE(facts[2].has_value());
    EXPECT_EQ(facts[2]->Title, QStringLiteral("坊っちゃん"));
    EXPECT_FALSE(facts[2]->HasPrice());
    EXPECT_EQ(facts[2]->PublicationDate, QStringLiteral("1989-05"));
}

TEST(OpenBdAnswer, UntrustedShapesGiveUnknownsOrAnErrorNeverWrongRows)
{
    const QStringList two{QStringLiteral("4101010137"), QStringLiteral("4003101014")};
    // Values of the wrong type are unknown; the ONIX title and a bare price
    // object are read where the summary lacks them; foreign prices are not yen.
    const auto odd = ParseOpenBdAnswer(
        R"([{"summary": {"title": 5, "pubdate": ["1999"], "isbn": "9784101010137"},
             "onix": {"DescriptiveDetail": {"TitleDetail": [{"TitleElement": {"TitleText": {"content": "ONIXの書名"}}}]},
                      "ProductSupply": {"SupplyDetail": {"Price": {"PriceAmount": 1200}}}}},
            {"onix": {"ProductSupply": {"SupplyDetail": {"Price": [{"PriceAmount": "15", "CurrencyCode": "USD"},
                                                                   {"PriceAmount": "", "CurrencyCode": "JPY"}]}}},
             "summary": "not an object"}])",
        two);
    ASSERT_EQ(odd.size(), 2u);
    ASSERT_TRUE(odd[0].has_value());
    EXPECT_EQ(odd[0]->Title, QStringLiteral("ONIXの書名"));
    EXPECT_EQ(odd[0]->Amount, QStringLiteral("1200"));
    EXPECT_EQ(odd[0]->PublicationDate, QString());
    ASSERT_TRUE(odd[1].has_value());
    EXPECT_TRUE(odd[1]->IsEmpty());

    // A record of another book at a position is not taken for the one asked.
    const auto swapped = ParseOpenBdAnswer(R"([{"summary": {"isbn": "9784003101018", "title": "坊っちゃん"}}, 3])", two);
    EXPECT_FALSE(swapped[0].has_value());
    EXPECT_FALSE(swapped[1].has_value());

    // Positions mean nothing when the count differs, or when it is no list.
    for (const QByteArray& broken : {QByteArray("[null]"), QByteArray("[null, null, null]"), QByteArray("{}"),
                                     QByteArray("<html>busy</html>"), QByteArray(""), QByteArray(2000, '[')}) {
        EXPECT_THROW(ParseOpenBdAnswer(broken, two), JsonError) << broken.left(40).toStdString();
    }
}

TEST(NdlAnswer, ReadsTheFirstRecordOfTheSampleAndNothingFromANoHit)
{
    const std::optional<TBookFacts> hit = ParseNdlAnswer(QString::fromUtf8(Sample("ndl_opensearch_hit.xml")));
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->Title, QStringLiteral("坊っちゃん"));
    EXPECT_EQ(hit->Amount, QStringLiteral("518"));
    EXPECT_EQ(hit->PublicationDate, QStringLiteral("1989-05")); // dcterms:issued, not the bare year of dc:date
    EXPECT_EQ(hit->DetailPageUrl, QStringLiteral("https://ndlsearch.ndl.go.jp/books/R100000002-I000001234567"));

    EXPECT_FALSE(ParseNdlAnswer(QString::fromUtf8(Sample("ndl_opensearch_empty.xml"))).has_value());
}

TEST(NdlAnswer, HostileOrForeignDocumentsRaiseAndOddItemsGiveWhatTheyHold)
{
    const QString entities = QStringLiteral(
        "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
        "<rss><channel><item><title>&b;</title></item></channel></rss>");
    EXPECT_THROW(ParseNdlAnswer(entities), XmlError);
    EXPECT_THROW(ParseNdlAnswer(QStringLiteral("<html><body>メンテナンス中</body></html>")), XmlError);
    EXPECT_THROW(ParseNdlAnswer(QStringLiteral("<rss><channel><item>")), XmlError);

    // Only web addresses are kept, the date falls back to dc:date, and the
    // RSS title stands in for a missing dc:title.
    const auto odd = ParseNdlAnswer(QStringLiteral(
        "<rss xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><channel><item><title>題</title>"
        "<link>javascript:alert(1)</link><dc:date>2015</dc:date><dcndl:price xmlns:dcndl=\"x\">頒価不明</dcndl:price>"
        "</item></channel></rss>"));
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->Title, QStringLiteral("題"));
    EXPECT_EQ(odd->PublicationDate, QStringLiteral("2015"));
    EXPECT_EQ(odd->Amount, QString());
    EXPECT_EQ(odd->DetailPageUrl, QString());
}
