#include "results_table_fixture.h"

#include "results/book_order.h"

#include <QSignalSpy>

namespace {

using Field = QString TBookData::*;

// Leaves a row unanswered by the bookseller: its cells stay empty.
const QString kUnanswered = QStringLiteral("<unanswered>");

QStringList Isbns(qsizetype count)
{
    QStringList isbns;
    for (qsizetype i = 1; i <= count; ++i)
        isbns.append(QStringLiteral("10000000%1").arg(i, 2, 10, QLatin1Char('0')));
    return isbns;
}

} // namespace

class SortTest : public ResultsTableTest
{
protected:
    // Rows "1000000001", "1000000002", ... in this order, each answered by
    // the bookseller with the given value in one field.
    void Fill(Field field, const QStringList& values)
    {
        const QStringList isbns = Isbns(values.size());
        table_.SetIsbnList(isbns);
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (values[i] == kUnanswered)
                continue;
            TBookData delivered;
            delivered.Isbn = isbns[i];
            delivered.*field = values[i];
            table_.SetAmazonData(std::vector{delivered});
        }
    }

    // The stored values of one field, top to bottom.
    QStringList Column(Field field) const
    {
        QStringList values;
        for (const TBookData& book : table_.Books())
            values.append(book.*field);
        return values;
    }

    // Row numbers (1-based, from the ISBNs) top to bottom.
    QList<int> Order() const
    {
        QList<int> order;
        for (const TBookData& book : table_.Books())
            order.append(book.Isbn.right(2).toInt());
        return order;
    }
};

TEST_F(SortTest, ByAmountHighestFirstMissingLastInPreviousOrder)
{
    // An empty value is an answer without a price, stored as " ".
    Fill(&TBookData::Amount, {QString(), QStringLiteral("0"), kUnanswered, QStringLiteral("1500"),
                              QStringLiteral("abc"), QStringLiteral("2147483648"), QStringLiteral("-3")});
    table_.SortByAmount();
    EXPECT_EQ(Order(), (QList<int>{4, 2, 1, 3, 5, 6, 7}));
    EXPECT_EQ(Column(&TBookData::Amount).first(), QStringLiteral("1500 "));

    // The order of the example stays as it is.
    Fill(&TBookData::Amount, {QStringLiteral("1500"), QStringLiteral("0"), QString(), kUnanswered});
    table_.SortByAmount();
    EXPECT_EQ(Order(), (QList<int>{1, 2, 3, 4}));
}

TEST_F(SortTest, BySalesRankUnrankedFirstThenLowestNumber)
{
    Fill(&TBookData::SalesRank, {QStringLiteral("12"), QStringLiteral("3"), QString(), QStringLiteral("1,234"),
                                 QStringLiteral("0"), kUnanswered, QStringLiteral("2")});
    table_.SortBySalesRank();
    EXPECT_EQ(Order(), (QList<int>{3, 4, 5, 6, 7, 2, 1}));
}

TEST_F(SortTest, ByPublicationDateLatestFirstUntrimmedOrdinal)
{
    Fill(&TBookData::PublicationDate, {kUnanswered, QStringLiteral("2010-12"), QString(),
                                       QStringLiteral("2010-12-01"), QStringLiteral("2011-01-15")});
    table_.SortByPublicationDate();
    EXPECT_EQ(Column(&TBookData::PublicationDate),
              (QStringList{QStringLiteral("2011-01-15 "), QStringLiteral("2010-12-01 "), QStringLiteral("2010-12 "),
                           QStringLiteral(" "), QString()}));

    // Code units compare as unsigned numbers: a surrogate pair sorts below
    // U+FF10, whatever a locale would say.
    TBookData high;
    high.PublicationDate = QString::fromUtf16(u"\uFF12");
    TBookData surrogate;
    surrogate.PublicationDate = QString::fromUtf16(u"\U0001F4D6");
    EXPECT_TRUE(CompareByPublicationDate(high, surrogate));
    EXPECT_FALSE(CompareByPublicationDate(surrogate, high));
}

TEST_F(SortTest, IsStableSoASecondSortKeepsTheFirstAmongEquals)
{
    const QStringList isbns = Isbns(4);
    table_.SetIsbnList(isbns);
    const QStringList amounts{QStringLiteral("500"), QStringLiteral("800"), QStringLiteral("500"), QStringLiteral("500")};
    const QStringList dates{QStringLiteral("2001"), QStringLiteral("2005"), QStringLiteral("2009"), QStringLiteral("2003")};
    for (qsizetype i = 0; i < isbns.size(); ++i) {
        table_.SetAmazonData(std::vector{Delivered(isbns[i], QStringLiteral("t"), amounts[i], dates[i])});
    }
    table_.SortByAmount();
    EXPECT_EQ(Order(), (QList<int>{2, 1, 3, 4}));
    table_.SortByPublicationDate();
    table_.SortByAmount();
    // Equal amounts now stand in date order, latest first.
    EXPECT_EQ(Order(), (QList<int>{2, 3, 4, 1}));
}

TEST_F(SortTest, EverySortAnnouncesANewLayoutAndAsksForARepaintAlsoWhenEmpty)
{
    QSignalSpy finished(&table_, &TResultsTable::SortFinished);
    QSignalSpy layout(&table_, &QAbstractItemModel::layoutChanged);
    table_.SortByAmount();
    table_.SortByPublicationDate();
    table_.SortBySalesRank();
    EXPECT_EQ(finished.count(), 3);
    EXPECT_EQ(layout.count(), 3);
    EXPECT_EQ(table_.GridRowCount(), 2);

    // The row count stays; the records move.
    Fill(&TBookData::SalesRank, {QStringLiteral("9"), QStringLiteral("1")});
    table_.SetGridRowCount(2);
    table_.SortBySalesRank();
    EXPECT_EQ(table_.GridRowCount(), 2);
    EXPECT_EQ(ModelText(0, 1), Isbns(2)[1]);
    EXPECT_EQ(finished.count(), 4);
}
