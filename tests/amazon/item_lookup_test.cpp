#include "amazon/item_lookup.h"
#include "libraries/http_client.h"
#include "support/fake_bookseller.h"
#include "util/code_page.h"
#include "util/comma_text.h"
#include "util/string_utility.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

const QString kKeyId = QStringLiteral("AKIAFAKEKEYID0000000");
const QString kSecret = QStringLiteral("fake/Secret+Key=0123456789abcdefghijklmn");

class ItemLookupTest : public ::testing::Test
{
protected:
    ItemLookupTest() : bookseller(kKeyId, kSecret)
    {
        bookseller.AddBooks(FakeBookseller::SampleBooks());
        bookseller.Start();
    }

    QList<TBookData> Lookup(const QString& isbns, const QString& secret = kSecret)
    {
        return LookupItems(isbns, client, kKeyId, secret, bookseller.host());
    }

    // Every recorded request went to the same URL.
    bool AllTargetsEqual() const
    {
        const QList<FakeBooksellerRequest> requests = bookseller.Requests();
        return std::all_of(requests.begin(), requests.end(), [&](const FakeBooksellerRequest& r) {
            return r.target == requests.first().target;
        });
    }

    FakeBookseller bookseller;
    THttpClient client;
};

} // namespace

TEST_F(ItemLookupTest, TheBooksellerAcceptsOurSignatureAndAnswersInJapanese)
{
    // An ISBN-13 in the batch is sent in its ISBN-10 form.
    const QList<TBookData> books =
        Lookup(QStringLiteral("9784101010137,4003101014,4873115655,4999999999"));
    ASSERT_EQ(bookseller.RequestCount(), 1);
    const FakeBooksellerRequest request = bookseller.Requests().first();
    EXPECT_EQ(request.status, 200);
    EXPECT_EQ(request.host, bookseller.host());
    EXPECT_EQ(request.itemIds, QStringList({QStringLiteral("4101010137"), QStringLiteral("4003101014"),
                                            QStringLiteral("4873115655"), QStringLiteral("4999999999")}));
    EXPECT_EQ(request.parameters.keys(),
              QStringList({QStringLiteral("AWSAccessKeyId"), QStringLiteral("AssociateTag"),
                           QStringLiteral("ItemId"), QStringLiteral("Operation"),
                           QStringLiteral("ResponseGroup"), QStringLiteral("Service"),
                           QStringLiteral("Signature"), QStringLiteral("Timestamp"),
                           QStringLiteral("Version")}));
    EXPECT_EQ(request.parameters.value(QStringLiteral("AssociateTag")), QStringLiteral("tomoriza-22"));
    EXPECT_FALSE(request.target.contains(u"Secret"));

    // The unknown ISBN gets no record; the others come in answer order.
    ASSERT_EQ(books.size(), 3);
    EXPECT_EQ(books[0].Isbn, QStringLiteral("4101010137"));
    EXPECT_EQ(books[0].Title, QStringLiteral("こころ (新潮文庫)"));
    EXPECT_EQ(books[0].Amount, QStringLiteral("432"));
    EXPECT_EQ(books[0].PublicationDate, QStringLiteral("1952-02-18"));
    EXPECT_EQ(books[0].SalesRank, QStringLiteral("1234"));
    EXPECT_EQ(books[0].DetailPageUrl,
              QStringLiteral("http://www.amazon.co.jp/dp/4101010137?tag=tomoriza-22&linkCode=xm2"));
    EXPECT_EQ(books[1].Title, QStringLiteral("坊っちゃん (岩波文庫)"));
    // No list price and no sales rank in the answer: empty values.
    EXPECT_EQ(books[2].Title, QStringLiteral("Tom & Jerry <Special Edition>"));
    EXPECT_TRUE(books[2].Amount.isEmpty());
    EXPECT_TRUE(books[2].SalesRank.isEmpty());
}

TEST_F(ItemLookupTest, TwentyFiveKeysInBatchesOfTenSendTenTenAndFive)
{
    QStringList keys;
    for (int i = 0; i < 25; ++i)
        keys.append(QStringLiteral("40000000%1").arg(i, 2, 10, QChar(u'0')));
    for (qsizetype at = 0; at < keys.size(); at += 10)
        Lookup(ToCommaText(keys.mid(at, 10)));

    const QList<FakeBooksellerRequest> requests = bookseller.Requests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requests[0].itemIds, keys.mid(0, 10));
    EXPECT_EQ(requests[1].itemIds, keys.mid(10, 10));
    EXPECT_EQ(requests[2].itemIds, keys.mid(20, 5));
    for (const FakeBooksellerRequest& request : requests)
        EXPECT_EQ(request.status, 200);
}

TEST_F(ItemLookupTest, ARejectedSignatureCostsThreeIdenticalRequestsAndGivesNothing)
{
    EXPECT_TRUE(Lookup(QStringLiteral("4101010137"), QStringLiteral("wrong secret")).isEmpty());
    const QList<FakeBooksellerRequest> requests = bookseller.Requests();
    ASSERT_EQ(requests.size(), kItemLookupAttempts);
    EXPECT_TRUE(AllTargetsEqual());
    for (const FakeBooksellerRequest& request : requests)
        EXPECT_EQ(request.status, 403);
}

TEST_F(ItemLookupTest, AFailedAttemptIsRetriedWithTheSameUrl)
{
    bookseller.FailFirstAttempts(2, 503);
    const QList<TBookData> books = Lookup(QStringLiteral("4101010137,4061313592"));
    ASSERT_EQ(books.size(), 2);
    EXPECT_EQ(books[1].Title, QStringLiteral("ﾗﾝｷﾝｸﾞ～全角と半角の本"));
    ASSERT_EQ(bookseller.RequestCount(), 3);
    EXPECT_TRUE(AllTargetsEqual());
    EXPECT_EQ(bookseller.Requests().last().status, 200);
}

TEST_F(ItemLookupTest, AnswersThatCannotBeReadFailAllThreeAttempts)
{
    // Not XML at all.
    bookseller.SetAnswerNotXml(true);
    EXPECT_TRUE(Lookup(QStringLiteral("4101010137")).isEmpty());
    EXPECT_EQ(bookseller.RequestCount(), 3);
    bookseller.SetAnswerNotXml(false);

    // XML whose value element holds elements.
    bookseller.ClearRequests();
    bookseller.SetAnswerBody(
        "<R><Items><Item><SalesRank><Rank>1</Rank></SalesRank></Item></Items></R>");
    EXPECT_TRUE(Lookup(QStringLiteral("4101010137")).isEmpty());
    EXPECT_EQ(bookseller.RequestCount(), 3);

    // Entity expansion: refused at once on every attempt.
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY l0 \"lollollollol\">";
    for (int i = 1; i <= 12; ++i) {
        laughs += "<!ENTITY l" + QByteArray::number(i) + " \"";
        laughs += ("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    }
    laughs += "]><R><Items><Item><ItemAttributes><Title>&l12;</Title></ItemAttributes></Item></Items></R>";
    bookseller.ClearRequests();
    bookseller.SetAnswerBody(laughs);
    EXPECT_TRUE(Lookup(QStringLiteral("4101010137")).isEmpty());
    EXPECT_EQ(bookseller.RequestCount(), 3);
}

TEST_F(ItemLookupTest, AWellFormedAnswerWithoutItemsIsASuccess)
{
    bookseller.SetAnswerBody("<?xml version=\"1.0\"?><ItemLookupResponse><OperationRequest/>"
                             "</ItemLookupResponse>");
    EXPECT_TRUE(Lookup(QStringLiteral("4101010137")).isEmpty());
    EXPECT_EQ(bookseller.RequestCount(), 1);
}

TEST_F(ItemLookupTest, NoConnectionAndSlowAnswersGiveNothingWithoutAnError)
{
    bookseller.SetAnswerDelay(std::chrono::milliseconds(2000));
    client.SetTimeouts(std::chrono::milliseconds(1000), std::chrono::milliseconds(200));
    EXPECT_TRUE(Lookup(QStringLiteral("4101010137")).isEmpty());
    EXPECT_EQ(bookseller.RequestCount(), 3);

    const QString host = bookseller.host();
    bookseller.Stop();
    EXPECT_TRUE(LookupItems(QStringLiteral("4101010137"), client, kKeyId, kSecret, host).isEmpty());
}

TEST_F(ItemLookupTest, AnAbortedClientStopsTrying)
{
    client.Abort();
    EXPECT_TRUE(Lookup(QStringLiteral("4101010137")).isEmpty());
    EXPECT_LE(bookseller.RequestCount(), 1);
}

TEST_F(ItemLookupTest, LongAnswersKeepTheirJapaneseTitles)
{
    // The encoding is judged on the first 102400 bytes. Here that point falls
    // inside a three-byte character; the titles must still be read as UTF-8.
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><R><Items><Item><ItemAttributes>"
                            "<Binding>" + QStringLiteral("文庫").toUtf8() + "</Binding><Title>";
    const QByteArray kanji = QStringLiteral("本").toUtf8();
    const int judged = 102400;
    const QByteArray padding(judged - head.size() - 2, 'x');
    QByteArray body = head + padding + kanji + "</Title></ItemAttributes></Item>";
    ASSERT_EQ(body.indexOf(kanji), judged - 2);
    body += "<Item><ItemAttributes><Title>" + QStringLiteral("吾輩は猫である").toUtf8()
        + "</Title></ItemAttributes></Item></Items></R>";
    bookseller.SetAnswerBody(body);

    const QList<TBookData> books = Lookup(QStringLiteral("4101010137"));
    ASSERT_EQ(books.size(), 2);
    EXPECT_TRUE(books[0].Title.endsWith(QStringLiteral("x本")));
    EXPECT_EQ(books[1].Title, QStringLiteral("吾輩は猫である"));
}

TEST_F(ItemLookupTest, AnAsciiOnlyStartIsReadAsTheDeclarationSays)
{
    // Nothing but ASCII in the bytes the detection judges: it cannot tell.
    const QByteArray padding(TStringUtility::kDetectionLimit + 100, 'x');
    const auto answer = [&](const QByteArray& declaration, const QByteArray& title) {
        return declaration + "<R><Items><Item><ItemAttributes><Binding>" + padding
             + "</Binding><Title>" + title + "</Title></ItemAttributes></Item></Items></R>";
    };
    const QString title = QStringLiteral("吾輩は猫である");

    // Without an encoding declared, XML is UTF-8.
    for (const QByteArray& declaration : {QByteArray(), QByteArray("<?xml version=\"1.0\"?>")}) {
        bookseller.SetAnswerBody(answer(declaration, title.toUtf8()));
        EXPECT_EQ(Lookup(QStringLiteral("4101010137")).value(0).Title, title) << declaration.data();
    }
    bookseller.SetAnswerBody(answer("<?xml version='1.0' encoding='Shift_JIS'?>",
                                    EncodeCodePage(title, kCodePageShiftJis)));
    EXPECT_EQ(Lookup(QStringLiteral("4101010137")).value(0).Title, title);
}
