#include "results_table_fixture.h"

#include "util/error.h"

#include <QSignalSpy>

namespace {

const QString kNeko = QStringLiteral("4101010013");      // from 978-4-10-101001-4
const QString kNekoHyphens = QStringLiteral("4-10-101001-3");
const QString kOther = QStringLiteral("4000000020");
const QString kThird = QStringLiteral("400000008X");

} // namespace

TEST_F(ResultsTableTest, NewTableShowsTheFixedColumnsAndOneEmptyRow)
{
    EXPECT_EQ(table_.GridRowCount(), 2);
    EXPECT_EQ(table_.rowCount(), 1);
    EXPECT_EQ(table_.GridColumnCount(), 5);
    EXPECT_EQ(table_.GetHeaderText(0), QStringLiteral("ISBN"));
    EXPECT_EQ(table_.GetHeaderText(1), QStringLiteral("書名(Amazon)"));
    EXPECT_EQ(table_.GetHeaderText(2), QStringLiteral("金額"));
    EXPECT_EQ(table_.GetHeaderText(3), QStringLiteral("発売日"));
    EXPECT_EQ(table_.GetHeaderText(4), QString::fromUtf16(u"\uFF97\uFF9D\uFF77\uFF9D\uFF78\uFF9E"));
    EXPECT_EQ(table_.GetHeaderText(5), QString());
    EXPECT_EQ(table_.headerData(2, Qt::Horizontal).toString(), QStringLiteral("金額"));
    for (int column = -1; column < 6; ++column) {
        for (int row = -1; row < 3; ++row)
            EXPECT_EQ(table_.GetCellText(column, row), QString()) << column << "," << row;
    }
    EXPECT_EQ(table_.GetCellUrl(1, 1), QString());
}

TEST_F(ResultsTableTest, LibraryColumnsFollowTheSelectionAndKeepHiddenEntries)
{
    SelectLibraries({kMitaka, kInagi});
    ASSERT_EQ(table_.GridColumnCount(), 7);
    EXPECT_EQ(table_.GetHeaderText(5), kMitaka);
    EXPECT_EQ(table_.headerData(6, Qt::Horizontal).toString(), kInagi);

    table_.SetIsbnList({kNeko});
    table_.SetLibraryResult(kNeko, QStringLiteral("http://mitaka.example/rec/1"), kMitaka);
    table_.SetLibraryResult(kNeko, QString(), kInagi);
    EXPECT_EQ(table_.GetCellText(5, 1), QStringLiteral("http://mitaka.example/rec/1"));
    EXPECT_EQ(ModelText(5, 1), QStringLiteral("http://mitaka.example/rec/1"));
    EXPECT_EQ(table_.GetCellText(6, 1), QStringLiteral("×"));

    // Mitaka deselected: its column goes, its entry stays in the record.
    SelectLibraries({kInagi});
    ASSERT_EQ(table_.GridColumnCount(), 6);
    EXPECT_EQ(table_.GetCellText(5, 1), QStringLiteral("×"));
    EXPECT_EQ(ModelText(5, 1), QStringLiteral("×"));
    EXPECT_TRUE(table_.Books()[0].LibraryResults.contains(kMitaka));

    // A new library's column exists at once and is empty; reading it twice
    // adds no entry.
    SelectLibraries({kInagi, kFussa});
    ASSERT_EQ(table_.GridColumnCount(), 7);
    EXPECT_EQ(table_.GetCellText(6, 1), QString());
    EXPECT_EQ(table_.GetCellText(6, 1), QString());
    EXPECT_EQ(table_.Books()[0].LibraryResults.size(), 2);
    // Beyond the selection there is no text, whatever the column count.
    EXPECT_EQ(table_.GetCellText(9, 1), QString());
    EXPECT_EQ(table_.GetHeaderText(9), QString());
}

TEST_F(ResultsTableTest, GridRowCountIsKeptApartFromTheRecords)
{
    table_.SetIsbnList({kNeko, kOther, kThird});
    EXPECT_EQ(table_.GridRowCount(), 4);
    EXPECT_EQ(table_.rowCount(), 3);
    EXPECT_EQ(ModelText(0, 3), kThird);

    // A search whose memo gave no ISBN: header and one row, showing the
    // first record of the last search; the others are kept.
    table_.SetGridRowCount(2);
    EXPECT_EQ(table_.rowCount(), 1);
    EXPECT_EQ(table_.Books().size(), 3u);
    EXPECT_EQ(ModelText(0, 1), kNeko);

    // A late delivery for a record without a grid row still lands.
    table_.SetAmazonData(std::vector{Delivered(kThird, QStringLiteral("late"))});
    EXPECT_EQ(table_.Books()[2].Title, QStringLiteral("late "));

    table_.SetGridRowCount(0);
    EXPECT_EQ(table_.GridRowCount(), 2);
    table_.SetIsbnList({});
    EXPECT_EQ(table_.GridRowCount(), 2);
    EXPECT_TRUE(table_.Books().empty());
    EXPECT_EQ(table_.GetCellText(0, 1), QString());
}

TEST_F(ResultsTableTest, AmazonValuesGetATrailingSpaceTheUrlDoesNot)
{
    SelectLibraries({kMitaka});
    table_.SetIsbnList({kNeko});
    table_.SetLibraryResult(kNeko, QStringLiteral("http://mitaka.example/rec/1"), kMitaka);
    const QString url = QStringLiteral("http://amazon.example/dp/4101010013");
    // Delivered as ISBN-13 with hyphens: the key still finds the row. No list
    // price in the answer.
    table_.SetAmazonData(std::vector{Delivered(QStringLiteral("978-4-10-101001-4"), QStringLiteral("吾輩は猫である"),
                                               QString(), QStringLiteral("1962-06"), QStringLiteral("123"), url)});

    const TBookData& book = table_.Books()[0];
    EXPECT_EQ(book.Isbn, kNeko);
    EXPECT_EQ(book.Title, QStringLiteral("吾輩は猫である "));
    EXPECT_EQ(book.Amount, QStringLiteral(" "));
    EXPECT_EQ(book.PublicationDate, QStringLiteral("1962-06 "));
    EXPECT_EQ(book.SalesRank, QStringLiteral("123 "));
    EXPECT_EQ(book.DetailPageUrl, url);
    EXPECT_EQ(book.LibraryResults.value(kMitaka).CellText(), QStringLiteral("http://mitaka.example/rec/1"));

    // Column 2 is the amount and column 4 the rank, not the field order.
    EXPECT_EQ(table_.GetCellText(2, 1), QStringLiteral(" "));
    EXPECT_EQ(table_.GetCellText(3, 1), QStringLiteral("1962-06 "));
    EXPECT_EQ(ModelText(4, 1), QStringLiteral("123 "));

    // Every bookseller column leads to the detail page; the ISBN column and
    // the header lead nowhere.
    for (int column = 1; column <= 4; ++column)
        EXPECT_EQ(table_.GetCellUrl(column, 1), url) << column;
    EXPECT_EQ(table_.data(table_.index(0, 1), TResultsTable::UrlRole).toString(), url);
    EXPECT_EQ(table_.GetCellUrl(0, 1), QString());
    EXPECT_EQ(table_.GetCellUrl(1, 0), QString());
    EXPECT_EQ(table_.GetCellUrl(1, 2), QString());
    EXPECT_EQ(table_.GetCellUrl(5, 1), QStringLiteral("http://mitaka.example/rec/1"));
}

TEST_F(ResultsTableTest, RepeatedIsbnGetsAmazonInEveryRowAndLibraryInTheUpperOnly)
{
    SelectLibraries({kMitaka});
    // Two memo lines of one book differing in hyphens.
    table_.SetIsbnList({kNeko, kOther, kNekoHyphens});

    table_.SetAmazonData(std::vector{Delivered(kNeko, QStringLiteral("猫"), QStringLiteral("500"))});
    EXPECT_EQ(table_.GetCellText(1, 1), QStringLiteral("猫 "));
    EXPECT_EQ(table_.GetCellText(1, 2), QString());
    EXPECT_EQ(table_.GetCellText(1, 3), QStringLiteral("猫 "));

    table_.SetLibraryResult(kNeko, QString(), kMitaka);
    EXPECT_EQ(table_.GetCellText(5, 1), QStringLiteral("×"));
    EXPECT_EQ(table_.GetCellText(5, 3), QString());
    table_.SetLibraryResult(kNeko, QStringLiteral("http://mitaka.example/rec/9"), kMitaka);
    EXPECT_EQ(table_.GetCellText(5, 1), QStringLiteral("http://mitaka.example/rec/9"));
    EXPECT_EQ(table_.GetCellText(5, 3), QString());

    // Unknown keys are dropped, and a library's ISBN is taken as passed, not
    // normalised.
    const std::vector<TBookData> before = table_.Books();
    table_.SetAmazonData(std::vector{Delivered(QStringLiteral("4000000004"), QStringLiteral("?"))});
    table_.SetLibraryResult(QStringLiteral("4000000004"), QStringLiteral("http://x.example/"), kMitaka);
    table_.SetLibraryResult(QStringLiteral(" 4101010013"), QStringLiteral("http://x.example/"), kMitaka);
    EXPECT_EQ(table_.Books(), before);
}

TEST_F(ResultsTableTest, KeysMatchExactlyAndCaseSensitively)
{
    SelectLibraries({kMitaka});
    table_.SetIsbnList({QStringLiteral("412345678x"), QStringLiteral("0"), QStringLiteral("00"),
                        QStringLiteral("123456789012")});
    table_.SetLibraryResult(QStringLiteral("412345678X"), QStringLiteral("http://x.example/upper"), kMitaka);
    table_.SetLibraryResult(QStringLiteral("00"), QStringLiteral("http://x.example/00"), kMitaka);
    table_.SetLibraryResult(QStringLiteral("123456789012"), QStringLiteral("http://x.example/12"), kMitaka);
    table_.SetAmazonData(std::vector{Delivered(QStringLiteral("ISBN 412345678x"), QStringLiteral("lower"))});
    EXPECT_EQ(table_.GetCellText(5, 1), QString());
    EXPECT_EQ(table_.GetCellText(1, 1), QStringLiteral("lower "));
    EXPECT_EQ(table_.GetCellText(5, 2), QString());
    EXPECT_EQ(table_.GetCellText(5, 3), QStringLiteral("http://x.example/00"));
    EXPECT_EQ(table_.GetCellText(5, 4), QStringLiteral("http://x.example/12"));
}

TEST_F(ResultsTableTest, ResultsAfterASortLandInTheRowsOfTheirIsbn)
{
    SelectLibraries({kMitaka, kInagi});
    table_.SetIsbnList({kNeko, kOther, kThird, kNekoHyphens});
    table_.SetAmazonData(std::vector{Delivered(kOther, QStringLiteral("B"), QStringLiteral("300")),
                                     Delivered(kThird, QStringLiteral("C"), QStringLiteral("200"))});
    table_.SortByAmount();
    ASSERT_EQ(table_.GetCellText(0, 1), kOther);
    ASSERT_EQ(table_.GetCellText(0, 2), kThird);
    ASSERT_EQ(table_.GetCellText(0, 3), kNeko);
    ASSERT_EQ(table_.GetCellText(0, 4), kNekoHyphens);

    table_.SetAmazonData(std::vector{Delivered(kNeko, QStringLiteral("A"), QStringLiteral("900"))});
    table_.SetLibraryResult(kNeko, QStringLiteral("http://mitaka.example/a"), kMitaka);
    table_.SetLibraryResult(kThird, QStringLiteral("http://inagi.example/c"), kInagi);
    table_.SetLibraryResult(kOther, QString(), kMitaka);

    // Values land where their ISBNs stand now; nothing moves again.
    EXPECT_EQ(table_.GetCellText(0, 1), kOther);
    EXPECT_EQ(table_.GetCellText(5, 1), QStringLiteral("×"));
    EXPECT_EQ(table_.GetCellText(6, 2), QStringLiteral("http://inagi.example/c"));
    EXPECT_EQ(table_.GetCellText(1, 3), QStringLiteral("A "));
    EXPECT_EQ(table_.GetCellText(5, 3), QStringLiteral("http://mitaka.example/a"));
    EXPECT_EQ(table_.GetCellText(1, 4), QStringLiteral("A "));
    EXPECT_EQ(table_.GetCellText(5, 4), QString());

    // Now the repeated book tops the list; its library result still goes to
    // the upper of its two rows in the new order.
    table_.SortByAmount();
    ASSERT_EQ(table_.GetCellText(0, 1), kNeko);
    ASSERT_EQ(table_.GetCellText(0, 2), kNekoHyphens);
    table_.SetLibraryResult(kNeko, QStringLiteral("http://inagi.example/a"), kInagi);
    EXPECT_EQ(table_.GetCellText(6, 1), QStringLiteral("http://inagi.example/a"));
    EXPECT_EQ(table_.GetCellText(6, 2), QString());
    EXPECT_EQ(table_.GetCellText(6, 3), QString());
}

TEST_F(ResultsTableTest, AmazonKeyErrorKeepsEarlierRowsAndReachesTheCaller)
{
    table_.SetIsbnList({kNeko, kOther});
    QSignalSpy changed(&table_, &QAbstractItemModel::dataChanged);
    const std::vector batch{Delivered(kNeko, QStringLiteral("A")),
                            Delivered(QStringLiteral("978x123456789"), QStringLiteral("bad")),
                            Delivered(kOther, QStringLiteral("B"))};
    EXPECT_THROW(table_.SetAmazonData(batch), ConversionError);
    EXPECT_EQ(table_.GetCellText(1, 1), QStringLiteral("A "));
    EXPECT_EQ(table_.GetCellText(1, 2), QString());
    // The view hears of the row that did change.
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 0);

    // A library result whose ISBN cannot be converted raises likewise.
    EXPECT_THROW(table_.SetLibraryResult(QStringLiteral("978x123456789"), QString(), kMitaka), ConversionError);
    // The table goes on working.
    table_.SetAmazonData(std::vector{Delivered(kOther, QStringLiteral("B"))});
    EXPECT_EQ(table_.GetCellText(1, 2), QStringLiteral("B "));
}

TEST_F(ResultsTableTest, RowWhoseIsbnCannotBeConvertedMatchesNothingAndBlocksNothing)
{
    SelectLibraries({kMitaka});
    table_.SetIsbnList({QStringLiteral("978x1234567890"), kNeko});
    table_.SetLibraryResult(kNeko, QStringLiteral("http://mitaka.example/a"), kMitaka);
    table_.SetAmazonData(std::vector{Delivered(kNeko, QStringLiteral("A"))});
    EXPECT_EQ(table_.GetCellText(5, 2), QStringLiteral("http://mitaka.example/a"));
    EXPECT_EQ(table_.GetCellText(1, 2), QStringLiteral("A "));
    EXPECT_EQ(table_.GetCellText(5, 1), QString());
    EXPECT_EQ(table_.GetCellText(1, 1), QString());
}

TEST_F(ResultsTableTest, ItemWithoutAnIsbnFillsNoRow)
{
    // A memo line without ISBN characters becomes a row with an empty key.
    SelectLibraries({kMitaka});
    table_.SetIsbnList({QString(), kNeko});
    table_.SetAmazonData(std::vector{Delivered(QString(), QStringLiteral("no ISBN")),
                                     Delivered(QStringLiteral("N/A"), QStringLiteral("no ISBN either")),
                                     Delivered(kNeko, QStringLiteral("A"))});
    EXPECT_EQ(table_.GetCellText(1, 1), QString());
    EXPECT_EQ(table_.GetCellText(1, 2), QStringLiteral("A "));
    // The catalogues are asked with that empty key, and still answer into it.
    table_.SetLibraryResult(QString(), QString(), kMitaka);
    EXPECT_EQ(table_.GetCellText(5, 1), QStringLiteral("×"));
}

TEST_F(ResultsTableTest, ChangesAreAnnouncedForTheCellsTheyTouch)
{
    SelectLibraries({kMitaka, kInagi});
    table_.SetIsbnList({kNeko, kOther});
    QSignalSpy changed(&table_, &QAbstractItemModel::dataChanged);

    table_.SetLibraryResult(kOther, QStringLiteral("http://inagi.example/b"), kInagi);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), table_.index(1, 6));
    EXPECT_EQ(changed[0][1].toModelIndex(), table_.index(1, 6));

    // A library without a column: stored, nothing on screen changes.
    table_.SetLibraryResult(kOther, QStringLiteral("http://fussa.example/b"), kFussa);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(table_.Books()[1].LibraryResults.value(kFussa).CellText(), QStringLiteral("http://fussa.example/b"));

    table_.SetAmazonData(std::vector{Delivered(kOther, QStringLiteral("B"))});
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[1][0].toModelIndex(), table_.index(1, 1));
    EXPECT_EQ(changed[1][1].toModelIndex(), table_.index(1, 4));

    // A new list keeps the rows that stay and announces all their cells.
    table_.SetIsbnList({kThird, kNeko});
    ASSERT_EQ(changed.count(), 3);
    EXPECT_EQ(changed[2][0].toModelIndex(), table_.index(0, 0));
    EXPECT_EQ(changed[2][1].toModelIndex(), table_.index(1, 6));
    EXPECT_EQ(ModelText(0, 1), kThird);
    EXPECT_EQ(ModelText(6, 2), QString());
}
