#include "config/app_config.h"
#include "results/csv_writer.h"
#include "results/results_table.h"
#include "search/recording_front_end.h"
#include "search/search_driver.h"
#include "support/search_environment.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

namespace {

const QString kKokoro = QStringLiteral("4101010137");   // openBD, with a price
const QString kBotchan = QStringLiteral("4003101014");  // openBD without a price; NDL with one
const QString kTom = QStringLiteral("4873115655");      // openBD, with a price
const QString kNdlOnly = QStringLiteral("4000000020");  // unknown to openBD; NDL knows it
const QString kNobody = QStringLiteral("4999999991");   // unknown to both
const QString kMatsue = QStringLiteral("松江市立図書館");
const QString kError = QStringLiteral("エラー");

// An ISBN-10 with its check digit, numbered.
QString NumberedIsbn(int number)
{
    const QString body = QStringLiteral("4%1").arg(number, 8, 10, QChar(u'0'));
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (10 - i) * body[i].digitValue();
    const int check = (11 - sum % 11) % 11;
    return body + (check == 10 ? QChar(u'X') : QChar(u'0' + check));
}

class BookDataSearch : public ::testing::Test
{
protected:
    SearchEnvironment env;
    TAppConfig config;
    TResultsTable table;
    RecordingFrontEnd frontEnd;
    std::unique_ptr<TSearchDriver> driver; // last: goes first

    void SetUp() override
    {
        env.openBd().AddBooks(FakeOpenBd::SampleBooks());
        env.ndl().AddBooks(FakeNdl::SampleBooks());
    }
    // The keyless source and no access key, as a reader without one has it.
    void Prepare(const QStringList& libraries = {})
    {
        env.LoadSettings(config, libraries, /*withAccessKey=*/false, SearchEnvironment::kOpenBdSource);
        table.SetConfig(config);
        table.UpdateColumns();
        driver = std::make_unique<TSearchDriver>(config, table, frontEnd);
    }
    bool Finished() { return WaitUntil([this] { return !driver->IsSearching(); }); }
    // The four book cells of a grid row.
    QStringList BookCells(int row) const
    {
        return {table.GetCellText(1, row), table.GetCellText(2, row), table.GetCellText(3, row),
                table.GetCellText(4, row)};
    }
};

} // namespace

TEST_F(BookDataSearch, AThousandAndOneIsbnsTakeTwoOpenBdRequestsAndUnknownsKeepTheirRows)
{
    QStringList memo;
    for (int i = 0; i < 1001; ++i) {
        memo.append(NumberedIsbn(i));
        // Unknown to openBD: the second, the last of the first thousand, the last.
        if (i != 1 && i != 999 && i != 1000)
            env.openBd().AddBook({memo.last(), QStringLiteral("本 %1").arg(i), QString::number(100 + i), QStringLiteral("2020")});
    }
    Prepare();
    driver->ActionIsbnFindExecute(memo);
    EXPECT_EQ(driver->ExpectedAnswers(), 1001);
    ASSERT_TRUE(Finished());

    const auto requests = env.openBd().Requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].isbns, memo.mid(0, 1000));
    EXPECT_EQ(requests[1].isbns, memo.mid(1000));
    EXPECT_EQ(env.ndl().RequestedIsbns(), QStringList({memo[1], memo[999], memo[1000]}));
    EXPECT_EQ(driver->DeliveredAnswers(), 1001);
    EXPECT_TRUE(frontEnd.errors.isEmpty());

    EXPECT_EQ(BookCells(1), QStringList({QStringLiteral("本 0 "), QStringLiteral("100 "), QStringLiteral("2020 "), QStringLiteral(" ")}));
    EXPECT_EQ(BookCells(3), QStringList({QStringLiteral("本 2 "), QStringLiteral("102 "), QStringLiteral("2020 "), QStringLiteral(" ")}));
    EXPECT_EQ(BookCells(999), QStringList({QStringLiteral("本 998 "), QStringLiteral("1098 "), QStringLiteral("2020 "), QStringLiteral(" ")}));
    // Asked everywhere, known nowhere: answered, and blank.
    for (const int row : {2, 1000, 1001})
        EXPECT_EQ(BookCells(row), QStringList(4, QStringLiteral(" "))) << row;
}

TEST_F(BookDataSearch, NdlIsAskedOnlyForUnknownAndPricelessBooksAndFillsOnlyWhatIsEmpty)
{
    // NDL writes its own title and a fuller date for the book openBD knows.
    env.ndl().AddBook({kBotchan, QStringLiteral("坊つちやん"), QStringLiteral("518円"), QStringLiteral("1989.5.16"), QString()});
    Prepare();
    driver->ActionIsbnFindExecute({kKokoro, kBotchan, kNdlOnly, QStringLiteral("978-4-87-311565-8"), kNobody});
    ASSERT_TRUE(Finished());
    // No key was needed, and nobody said so.
    EXPECT_TRUE(frontEnd.warnings.isEmpty());
    EXPECT_EQ(env.bookseller().RequestCount(), 0);

    EXPECT_EQ(env.ndl().RequestedIsbns(), QStringList({kBotchan, kNdlOnly, kNobody}));
    for (const FakeNdlRequest& request : env.ndl().Requests())
        EXPECT_EQ(request.dpid, QStringLiteral("iss-ndl-opac"));
    EXPECT_EQ(BookCells(1), QStringList({QStringLiteral("こころ "), QStringLiteral("432 "), QStringLiteral("1952-02-18 "), QStringLiteral(" ")}));
    // openBD's title and date stay; only the price comes from NDL.
    EXPECT_EQ(BookCells(2), QStringList({QStringLiteral("坊っちゃん "), QStringLiteral("518 "), QStringLiteral("1989-05 "), QStringLiteral(" ")}));
    EXPECT_EQ(table.GetCellUrl(1, 2), FakeNdl::RecordUrl(QStringLiteral("9784003101018")));
    EXPECT_EQ(BookCells(3), QStringList({QStringLiteral("国会図書館にだけある本 "), QStringLiteral("3200 "), QStringLiteral("2015 "), QStringLiteral(" ")}));
    EXPECT_EQ(BookCells(4), QStringList({QStringLiteral("Tom & Jerry, \"Special\" "), QStringLiteral("2800 "), QStringLiteral("2012-03 "), QStringLiteral(" ")}));
    EXPECT_EQ(BookCells(5), QStringList(4, QStringLiteral(" ")));
    EXPECT_EQ(table.GetHeaderText(1), QStringLiteral("書名(openBD/NDL)"));
    EXPECT_EQ(driver->FailedLookups(), 0);

    // Prices and dates of both sources sort as one.
    table.SortByAmount();
    EXPECT_EQ(table.GetCellText(0, 1) + u' ' + table.GetCellText(0, 2) + u' ' + table.GetCellText(0, 3) + u' '
                  + table.GetCellText(0, 4) + u' ' + table.GetCellText(0, 5),
              QStringList({kNdlOnly, kTom, kBotchan, kKokoro, kNobody}).join(u' '));
    table.SortByPublicationDate();
    EXPECT_EQ(table.GetCellText(0, 1) + u' ' + table.GetCellText(0, 2) + u' ' + table.GetCellText(0, 3) + u' '
                  + table.GetCellText(0, 4) + u' ' + table.GetCellText(0, 5),
              QStringList({kNdlOnly, kTom, kBotchan, kKokoro, kNobody}).join(u' '));
}

TEST_F(BookDataSearch, A503FromOpenBdIsReportedOnceMarksItsRowsAndTheLibrariesGoOn)
{
    env.openBd().AnswerStatus(503);
    env.catalogue(CatalogueKind::Matsue).Hold(kKokoro, {QStringLiteral("1234567")});
    Prepare({kMatsue});
    driver->ActionIsbnFindExecute({kKokoro, kBotchan});
    ASSERT_TRUE(Finished());

    EXPECT_EQ(frontEnd.errors, QStringList({QStringLiteral("HTTP 503 Service Unavailable")}));
    EXPECT_EQ(frontEnd.libraries, QStringList({QStringLiteral("openBD")}));
    EXPECT_EQ(env.openBd().RequestCount(), 1);
    EXPECT_TRUE(env.ndl().Requests().isEmpty());
    for (int row = 1; row <= 2; ++row) {
        EXPECT_EQ(BookCells(row), QStringList(4, kError)) << row;
        EXPECT_EQ(table.data(table.index(row - 1, 2), Qt::ToolTipRole).toString(),
                  QStringLiteral("HTTP 503 Service Unavailable"));
    }
    EXPECT_EQ(table.GetCellText(5, 1), env.catalogue(CatalogueKind::Matsue).DetailUrlFor(kKokoro));
    EXPECT_EQ(table.GetCellText(5, 2), QStringLiteral("×"));
    EXPECT_EQ(driver->FailedLookups(), 2);
    EXPECT_EQ(driver->DeliveredAnswers(), driver->ExpectedAnswers());
    EXPECT_TRUE(CsvTextOf(table).contains(QStringLiteral("4003101014,エラー,エラー,エラー,エラー,×\r\n")));
}

TEST_F(BookDataSearch, AnNdlFailureMarksOnlyTheCellsOpenBdLeftEmpty)
{
    env.ndl().AnswerStatus(500);
    Prepare();
    driver->ActionIsbnFindExecute({kBotchan, kKokoro});
    ASSERT_TRUE(Finished());

    EXPECT_EQ(frontEnd.errors, QStringList({QStringLiteral("HTTP 500 Internal Server Error")}));
    EXPECT_EQ(frontEnd.libraries, QStringList({QStringLiteral("国立国会図書館サーチ")}));
    // Title and date stay as openBD gave them; no keyless source has a rank.
    EXPECT_EQ(BookCells(1), QStringList({QStringLiteral("坊っちゃん "), kError, QStringLiteral("1989-05 "), QStringLiteral(" ")}));
    EXPECT_FALSE(table.data(table.index(0, 1), Qt::ToolTipRole).isValid());
    EXPECT_EQ(table.data(table.index(0, 2), Qt::ToolTipRole).toString(), QStringLiteral("HTTP 500 Internal Server Error"));
    EXPECT_EQ(BookCells(2), QStringList({QStringLiteral("こころ "), QStringLiteral("432 "), QStringLiteral("1952-02-18 "), QStringLiteral(" ")}));
    EXPECT_EQ(driver->FailedLookups(), 1);
}

TEST_F(BookDataSearch, StoppingWhileNdlIsAskedAsksNoMoreAndDeliversNothingLate)
{
    env.ndl().SetDelay(std::chrono::milliseconds(300));
    Prepare();
    driver->ActionIsbnFindExecute({kKokoro, kBotchan, kNdlOnly, kNobody});
    ASSERT_TRUE(WaitUntil([this] { return !env.ndl().Requests().isEmpty(); }));
    driver->ActionIsbnSearchCancelExecute();
    ASSERT_TRUE(Finished());

    EXPECT_EQ(env.ndl().RequestedIsbns(), QStringList({kBotchan}));
    EXPECT_EQ(table.GetCellText(1, 1), QStringLiteral("こころ "));
    // openBD's part had arrived; NDL's answer came after the stop and stays out.
    EXPECT_EQ(BookCells(2), QStringList({QStringLiteral("坊っちゃん "), QStringLiteral(" "), QStringLiteral("1989-05 "), QStringLiteral(" ")}));
    EXPECT_EQ(BookCells(3), QStringList(4, QString()));
}
