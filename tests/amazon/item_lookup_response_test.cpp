#include "amazon/item_lookup_response.h"
#include "util/error.h"

#include <gtest/gtest.h>

namespace {

QString Answer(const QString& items)
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<ItemLookupResponse xmlns=\"http://webservices.amazon.com/AWSECommerceService/2011-08-01\">"
               "<OperationRequest><RequestId>1</RequestId></OperationRequest>\n"
               "<Items>\n  <Request><IsValid>True</IsValid><ItemLookupRequest>"
               "<ItemId>4101010013</ItemId></ItemLookupRequest></Request>\n")
        + items + QStringLiteral("\n</Items></ItemLookupResponse>");
}

const QString kKokoro = QStringLiteral(
    "<Item><ASIN>4101010013</ASIN>"
    "<DetailPageURL>http://www.amazon.co.jp/dp/4101010013?tag=tomoriza-22&amp;x=1</DetailPageURL>"
    "<SalesRank>1234</SalesRank>"
    "<ItemAttributes><Author>夏目 漱石</Author><ISBN>4101010013</ISBN>"
    "<ListPrice><Amount>432</Amount><CurrencyCode>JPY</CurrencyCode>"
    "<FormattedPrice>￥ 432</FormattedPrice></ListPrice>"
    "<PublicationDate>1952-02</PublicationDate><Title>こころ (新潮文庫)</Title></ItemAttributes>"
    "</Item>");

} // namespace

TEST(ItemLookupResponse, ReadsEveryItemInDocumentOrderSkippingTheRest)
{
    const QString second = QStringLiteral(
        "<Item><ItemAttributes><Title><![CDATA[A & <B>]]></Title><ISBN>4000000020</ISBN>"
        "<ListPrice><Amount> 1,050 </Amount></ListPrice></ItemAttributes></Item>");
    const QList<TBookData> books =
        ParseItemLookupResponse(Answer(kKokoro + QStringLiteral("<!-- note --><Other/>") + second));
    ASSERT_EQ(books.size(), 2);

    TBookData kokoro;
    kokoro.Isbn = QStringLiteral("4101010013");
    kokoro.Title = QStringLiteral("こころ (新潮文庫)");
    kokoro.DetailPageUrl = QStringLiteral("http://www.amazon.co.jp/dp/4101010013?tag=tomoriza-22&x=1");
    kokoro.PublicationDate = QStringLiteral("1952-02");
    kokoro.SalesRank = QStringLiteral("1234");
    kokoro.Amount = QStringLiteral("432");
    EXPECT_EQ(books[0], kokoro);

    // Values come as they stand: CDATA, blanks, digit grouping and all.
    EXPECT_EQ(books[1].Title, QStringLiteral("A & <B>"));
    EXPECT_EQ(books[1].Amount, QStringLiteral(" 1,050 "));
    EXPECT_EQ(books[1].Isbn, QStringLiteral("4000000020"));
    EXPECT_TRUE(books[1].DetailPageUrl.isEmpty());
    EXPECT_TRUE(books[1].LibraryResults.isEmpty());
}

TEST(ItemLookupResponse, MissingElementsGiveEmptyValues)
{
    const QString items = QStringLiteral(
        // No ItemAttributes at all.
        "<Item><DetailPageURL>http://a/1</DetailPageURL><SalesRank>7</SalesRank></Item>"
        // No ListPrice; empty Title in both spellings; two ISBNs.
        "<Item><ItemAttributes><Title/><ISBN>first</ISBN><ISBN>second</ISBN>"
        "<PublicationDate></PublicationDate></ItemAttributes></Item>"
        // Names are case-sensitive: none of these is read.
        "<Item><itemattributes><Title>x</Title></itemattributes><salesrank>1</salesrank></Item>"
        "<item><DetailPageURL>http://a/ignored</DetailPageURL></item>");
    const QList<TBookData> books = ParseItemLookupResponse(Answer(items));
    ASSERT_EQ(books.size(), 3);

    EXPECT_EQ(books[0].DetailPageUrl, QStringLiteral("http://a/1"));
    EXPECT_EQ(books[0].SalesRank, QStringLiteral("7"));
    EXPECT_TRUE(books[0].Isbn.isEmpty() && books[0].Title.isEmpty());
    EXPECT_TRUE(books[0].Amount.isEmpty() && books[0].PublicationDate.isEmpty());

    EXPECT_EQ(books[1].Isbn, QStringLiteral("first"));
    EXPECT_TRUE(books[1].Title.isEmpty());
    EXPECT_TRUE(books[1].Amount.isEmpty());
    EXPECT_TRUE(books[1].PublicationDate.isEmpty());

    EXPECT_EQ(books[2], TBookData());
}

TEST(ItemLookupResponse, OnlyTheFirstItemsChildOfTheDocumentElementCounts)
{
    // The document element's name plays no part; a second Items is ignored,
    // and Items further down is not looked for.
    EXPECT_EQ(ParseItemLookupResponse(QStringLiteral(
                  "<Anything><Items><Item><SalesRank>1</SalesRank></Item></Items>"
                  "<Items><Item/><Item/></Items></Anything>"))
                  .size(),
              1);
    EXPECT_TRUE(ParseItemLookupResponse(
                    QStringLiteral("<R><Wrapper><Items><Item/></Items></Wrapper></R>"))
                    .isEmpty());
    // An error answer of the service has no Items: no records, no error.
    EXPECT_TRUE(ParseItemLookupResponse(QStringLiteral(
                    "<ItemLookupErrorResponse><Error><Code>SignatureDoesNotMatch</Code>"
                    "</Error></ItemLookupErrorResponse>"))
                    .isEmpty());
}

TEST(ItemLookupResponse, RaisesWhereAValueHoldsMoreThanText)
{
    const QString nested = QStringLiteral(
        "<Item><ItemAttributes><Title><b>x</b></Title></ItemAttributes></Item>");
    EXPECT_THROW(ParseItemLookupResponse(Answer(nested)), XmlError);
    const QString mixed = QStringLiteral("<Item><SalesRank>12<!-- c -->3</SalesRank></Item>");
    EXPECT_THROW(ParseItemLookupResponse(Answer(mixed)), XmlError);
    // Elements that are never read may hold anything.
    const QString unread = QStringLiteral(
        "<Item><ItemAttributes><Author><b>x</b></Author><Title>ok</Title></ItemAttributes></Item>");
    EXPECT_EQ(ParseItemLookupResponse(Answer(unread)).value(0).Title, QStringLiteral("ok"));
}

TEST(ItemLookupResponse, RaisesOnWhatIsNotWellFormedXml)
{
    for (const QString& text :
         {QString(), QStringLiteral("<html><body>Service Unavailable</body>"),
          QStringLiteral("Service Unavailable"), QStringLiteral("<a>&undeclared;</a>"),
          Answer(kKokoro).chopped(5), QStringLiteral("<a/><b/>")}) {
        EXPECT_THROW(ParseItemLookupResponse(text), XmlError) << text.toStdString();
    }
}
