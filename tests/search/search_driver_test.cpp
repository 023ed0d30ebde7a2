#include "config/app_config.h"
#include "results/csv_writer.h"
#include "results/results_table.h"
#include "search/search_driver.h"
#include "support/search_environment.h"
#include "support/wait_until.h"
#include "util/error.h"
#include "search/recording_front_end.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString kKokoro = QStringLiteral("4101010137");
const QString kBotchan = QStringLiteral("4003101014");
const QString kRanking = QStringLiteral("4061313592");
const QString kMatsue = QStringLiteral("松江市立図書館");
const QString kMitaka = QStringLiteral("三鷹市立図書館");
const QString kOsakashi = QStringLiteral("大阪市立図書館");

class SearchDriverTest : public ::testing::Test
{
protected:
    SearchEnvironment env;
    TAppConfig config;
    TResultsTable table;
    RecordingFrontEnd frontEnd;
    std::unique_ptr<TSearchDriver> driver; // last: goes first

    void SetUp() override { env.bookseller().AddBooks(FakeBookseller::SampleBooks()); }

    void Prepare(const QStringList& libraries, bool withKey = true, const QString& extra = QString())
    {
        env.LoadSettings(config, libraries, withKey, extra);
        table.SetConfig(config);
        table.UpdateColumns();
        driver = std::make_unique<TSearchDriver>(config, table, frontEnd);
    }
    bool Finished(int timeoutMs = 15000)
    {
        return WaitUntil([this] { return !driver->IsSearching(); }, timeoutMs);
    }
    // find, clear, cancel
    std::tuple<bool, bool, bool> Commands() const
    {
        return {driver->IsFindEnabled(), driver->IsClearEnabled(), driver->IsCancelEnabled()};
    }
    static constexpr std::tuple<bool, bool, bool> kAtRest{true, true, false};
    static constexpr std::tuple<bool, bool, bool> kSearching{false, false, true};
};

} // namespace

TEST_F(SearchDriverTest, FillsEveryRowFromEveryCatalogueAndTheBookseller)
{
    env.catalogue(CatalogueKind::Matsue).Hold(kKokoro, {QStringLiteral("1234567")});
    env.catalogue(CatalogueKind::Mitaka).Hold(kBotchan, {QStringLiteral("NUM=42&CTG=1")});
    env.catalogue(CatalogueKind::Osakashi).Hold(kKokoro, {QStringLiteral("ID=9&amp;KEY=1")});
    Prepare({kMatsue, kMitaka, kOsakashi});
    QSignalSpy finished(driver.get(), &TSearchDriver::SearchFinished);

    driver->ActionIsbnFindExecute({QStringLiteral("978-4-10-101013-7"), QStringLiteral("4-00-310101-4"),
                                   QStringLiteral("short"), QStringLiteral("ISBN 4061313592")});
    EXPECT_EQ(Commands(), kSearching);
    EXPECT_EQ(driver->ExpectedAnswers(), 3 * 4);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(driver->DeliveredAnswers(), 12);
    EXPECT_TRUE(frontEnd.errors.isEmpty());

    ASSERT_EQ(table.GridRowCount(), 4);
    EXPECT_EQ(table.GetCellText(0, 1), kKokoro);
    EXPECT_EQ(table.GetCellText(1, 1), QStringLiteral("こころ (新潮文庫) "));
    EXPECT_EQ(table.GetCellText(2, 1), QStringLiteral("432 "));
    EXPECT_EQ(table.GetCellText(5, 1), env.catalogue(CatalogueKind::Matsue).DetailUrlFor(kKokoro));
    EXPECT_EQ(table.GetCellText(6, 1), QStringLiteral("×"));
    EXPECT_EQ(table.GetCellText(7, 1), env.catalogue(CatalogueKind::Osakashi).DetailUrlFor(kKokoro));
    EXPECT_EQ(table.GetCellText(6, 2), env.catalogue(CatalogueKind::Mitaka).DetailUrlFor(kBotchan));
    EXPECT_EQ(table.GetCellText(5, 3), QStringLiteral("×"));
    EXPECT_EQ(table.GetCellText(4, 3), QStringLiteral("7 "));

    // The export shows the same table.
    const QString csv = CsvTextOf(table);
    EXPECT_TRUE(csv.startsWith(QStringLiteral("ISBN,書名(Amazon),金額,発売日,ﾗﾝｷﾝｸﾞ,松江市立図書館,三鷹市立図書館,大阪市立図書館\r\n")))
        << csv.toStdString();
    EXPECT_TRUE(csv.contains(QStringLiteral("4003101014,\"坊っちゃん (岩波文庫)\",518,1989-05-16,56789,×,")));
}

TEST_F(SearchDriverTest, TwoSpellingsOfOneIsbnGetTwoRowsAndLibrariesFillTheUpperOne)
{
    env.catalogue(CatalogueKind::Matsue).Hold(kKokoro, {QStringLiteral("77")});
    Prepare({kMatsue});
    driver->ActionIsbnFindExecute({QStringLiteral("978-4-10-101013-7"), QStringLiteral("9784101010137"),
                                   QStringLiteral("9784101010137")});
    ASSERT_TRUE(Finished());
    ASSERT_EQ(table.GridRowCount(), 3);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 2); // the key is searched twice
    EXPECT_EQ(table.GetCellText(5, 1), env.catalogue(CatalogueKind::Matsue).DetailUrlFor(kKokoro));
    EXPECT_EQ(table.GetCellText(5, 2), QString());
    EXPECT_EQ(table.GetCellText(1, 1), table.GetCellText(1, 2));
    EXPECT_FALSE(table.GetCellText(1, 2).isEmpty());
}

TEST_F(SearchDriverTest, AnEmptyMemoStartsNothingAndKeepsTheLastRecords)
{
    Prepare({kMatsue});
    driver->ActionIsbnFindExecute({kKokoro});
    ASSERT_TRUE(Finished());
    env.bookseller().ClearRequests();

    driver->ActionIsbnFindExecute({QString(), QStringLiteral("123456789")});
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_FALSE(driver->IsSearching());
    EXPECT_EQ(table.GridRowCount(), 2);
    EXPECT_EQ(table.GetCellText(0, 1), kKokoro); // the earlier record, still there
    EXPECT_EQ(env.bookseller().RequestCount(), 0);
    EXPECT_TRUE(frontEnd.warnings.isEmpty());
}

TEST_F(SearchDriverTest, WithoutAnAccessKeyNothingIsAskedAnywhere)
{
    Prepare({kMatsue, kMitaka}, /*withKey=*/false);
    driver->ActionIsbnFindExecute({kKokoro, kBotchan});
    EXPECT_EQ(frontEnd.warnings, QStringList({QStringLiteral("Amazon Access Key IDを登録しないと、Amazonの検索ができません。")}));
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_FALSE(driver->IsSearching());
    // The rows are there, without results.
    EXPECT_EQ(table.GridRowCount(), 3);
    EXPECT_EQ(table.GetCellText(5, 1), QString());
    QThread::msleep(100);
    EXPECT_EQ(env.bookseller().RequestCount(), 0);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 0);
    EXPECT_EQ(env.catalogue(CatalogueKind::Mitaka).requestCount(), 0);
}

TEST_F(SearchDriverTest, WithoutLibrariesOnlyTheBooksellerIsAskedTenKeysAtATime)
{
    Prepare({});
    QStringList memo;
    for (int i = 0; i < 25; ++i)
        memo.append(QStringLiteral("40000000%1").arg(i, 2, 10, QChar(u'0')));
    driver->ActionIsbnFindExecute(memo);
    ASSERT_TRUE(Finished());
    const auto requests = env.bookseller().Requests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requests[0].itemIds, memo.mid(0, 10));
    EXPECT_EQ(requests[1].itemIds, memo.mid(10, 10));
    EXPECT_EQ(requests[2].itemIds, memo.mid(20, 5));
    for (const auto& request : requests)
        EXPECT_EQ(request.status, 200);
    EXPECT_EQ(Commands(), kAtRest);
}

TEST_F(SearchDriverTest, ACatalogueFailureIsShownForEachIsbnAndNeverReadsAsNotHeld)
{
    env.catalogue(CatalogueKind::Mitaka).AnswerStatus(500);
    Prepare({kMitaka, kMatsue});
    driver->ActionIsbnFindExecute({kKokoro, kBotchan});
    ASSERT_TRUE(Finished());
    EXPECT_EQ(frontEnd.errors, QStringList(2, QStringLiteral("HTTP 500 Internal Server Error")));
    EXPECT_EQ(frontEnd.libraries, QStringList(2, kMitaka));
    for (int row = 1; row <= 2; ++row) {
        EXPECT_EQ(table.GetCellText(5, row), QStringLiteral("エラー"));
        EXPECT_EQ(table.GetCellUrl(5, row), QString());
        EXPECT_EQ(table.data(table.index(row - 1, 5), Qt::ToolTipRole).toString(),
                  QStringLiteral("HTTP 500 Internal Server Error"));
        EXPECT_EQ(table.GetCellText(6, row), QStringLiteral("×")); // Matsue answered: not held
    }
    EXPECT_EQ(driver->FailedLookups(), 2);
}

TEST_F(SearchDriverTest, ASilencedLibraryFailsWithoutFurtherBoxesUntilTheNextSearch)
{
    env.catalogue(CatalogueKind::Mitaka).AnswerStatus(500);
    Prepare({kMitaka});
    frontEnd.choice.silenceLibrary = true;
    driver->ActionIsbnFindExecute({kKokoro, kBotchan, kRanking});
    ASSERT_TRUE(Finished());
    EXPECT_EQ(frontEnd.errors.size(), 1);
    EXPECT_EQ(driver->FailedLookups(), 3);
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(table.GetCellText(5, row), QStringLiteral("エラー"));

    driver->ActionIsbnFindExecute({kKokoro});
    ASSERT_TRUE(Finished());
    EXPECT_EQ(frontEnd.errors.size(), 2);
}

TEST_F(SearchDriverTest, StoppingFromTheFailureBoxStopsEveryWorker)
{
    env.catalogue(CatalogueKind::Mitaka).AnswerStatus(500);
    env.catalogue(CatalogueKind::Matsue).SetDelay(std::chrono::milliseconds(50));
    Prepare({kMitaka, kMatsue});
    frontEnd.choice.cancelSearch = true;
    driver->ActionIsbnFindExecute({kKokoro, kBotchan, kRanking});
    EXPECT_EQ(Commands(), kSearching);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(frontEnd.errors.size(), 1);
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_EQ(env.catalogue(CatalogueKind::Mitaka).requestCount(), 1);
    EXPECT_LT(env.catalogue(CatalogueKind::Matsue).requestCount(), 3);
}

TEST_F(SearchDriverTest, CancelReturnsAtOnceAndLateAnswersStayOut)
{
    const QList<CatalogueKind> stalled{CatalogueKind::Matsue, CatalogueKind::Mitaka, CatalogueKind::Osakashi};
    for (const CatalogueKind kind : stalled) {
        env.catalogue(kind).Hold(kKokoro, {QStringLiteral("1")});
        env.catalogue(kind).StallRequests();
    }
    Prepare({kMatsue, kMitaka, kOsakashi});
    driver->ActionIsbnFindExecute({kKokoro, kBotchan});
    for (const CatalogueKind kind : stalled)
        ASSERT_TRUE(env.catalogue(kind).WaitForRequests(1, std::chrono::seconds(5)));
    ASSERT_TRUE(WaitUntil([this] { return driver->RunningWorkerCount() == 3; })); // the bookseller is done

    QSignalSpy finished(driver.get(), &TSearchDriver::SearchFinished);
    driver->ActionIsbnSearchCancelExecute();
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_TRUE(driver->IsSearching());

    for (const CatalogueKind kind : stalled)
        env.catalogue(kind).ReleaseStalled();
    ASSERT_TRUE(Finished());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(Commands(), kAtRest);
    for (int column = 5; column < 8; ++column)
        EXPECT_EQ(table.GetCellText(column, 1), QString()) << column;
    // No worker went on to the second ISBN.
    for (const CatalogueKind kind : stalled)
        EXPECT_EQ(env.catalogue(kind).requestCount(), 1);
}

TEST_F(SearchDriverTest, ANewSearchAfterCancelStaysSearchingUntilEveryWorkerHasReported)
{
    env.catalogue(CatalogueKind::Matsue).StallRequests();
    Prepare({kMatsue});
    driver->ActionIsbnFindExecute({kKokoro});
    ASSERT_TRUE(env.catalogue(CatalogueKind::Matsue).WaitForRequests(1, std::chrono::seconds(5)));
    driver->ActionIsbnSearchCancelExecute();

    // The second search's catalogue request stalls too; the first search's
    // worker is still waiting for its answer.
    driver->ActionIsbnFindExecute({kBotchan});
    EXPECT_EQ(Commands(), kSearching);
    ASSERT_TRUE(env.catalogue(CatalogueKind::Matsue).WaitForRequests(2, std::chrono::seconds(5)));
    ASSERT_TRUE(WaitUntil([this] { return driver->RunningWorkerCount() == 2; }));
    EXPECT_EQ(Commands(), kSearching);

    env.catalogue(CatalogueKind::Matsue).ReleaseStalled();
    ASSERT_TRUE(Finished());
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_EQ(table.GetCellText(0, 1), kBotchan);
    EXPECT_EQ(table.GetCellText(5, 1), QStringLiteral("×"));
}

TEST_F(SearchDriverTest, AWorkerWhoseDeliveryFailsStillReportsFinished)
{
    // The bookseller answers with a record whose ISBN cannot be converted:
    // merging it raises, the worker's loop ends, the next batch is never
    // asked for, and the search still comes to rest.
    env.bookseller().SetAnswerBody(QByteArray(
        "<?xml version=\"1.0\"?><ItemLookupResponse><Items><Item><ItemAttributes>"
        "<ISBN>978410101x137</ISBN><Title>x</Title></ItemAttributes></Item></Items></ItemLookupResponse>"));
    Prepare({});
    QStringList memo;
    for (int i = 0; i < 11; ++i)
        memo.append(QStringLiteral("40000000%1").arg(i, 2, 10, QChar(u'0')));
    driver->ActionIsbnFindExecute(memo);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(env.bookseller().RequestCount(), 1);
    EXPECT_EQ(Commands(), kAtRest);
}

TEST_F(SearchDriverTest, ALineThatCannotBeConvertedLeavesTheCommandsAtRest)
{
    Prepare({kMatsue});
    EXPECT_THROW(driver->ActionIsbnFindExecute({kKokoro, QStringLiteral("978x101010137")}), ConversionError);
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_FALSE(driver->IsSearching());
    EXPECT_EQ(table.GridRowCount(), 2);
}

TEST_F(SearchDriverTest, ProxyOffMeansDirectConnections)
{
    // A proxy that does not exist is set up but not switched on.
    Prepare({kMatsue}, true, QStringLiteral("[PROXY]\r\nUse=0\r\nServer=127.0.0.1\r\nPort=1\r\n"));
    driver->ActionIsbnFindExecute({kKokoro});
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(frontEnd.errors.isEmpty());
    EXPECT_EQ(table.GetCellText(5, 1), QStringLiteral("×"));
    EXPECT_FALSE(table.GetCellText(1, 1).isEmpty());
}

TEST_F(SearchDriverTest, ShutdownWithEveryCatalogueStalledIsPromptAndDeliversNothing)
{
    QStringList all;
    for (const CatalogueKind kind : AllCatalogueKinds()) {
        env.catalogue(kind).StallRequests();
        all.append(LibraryNameOf(kind));
    }
    env.bookseller().SetAnswerDelay(std::chrono::seconds(30));
    Prepare(all);
    driver->ActionIsbnFindExecute({kKokoro, kBotchan});
    for (const CatalogueKind kind : AllCatalogueKinds())
        ASSERT_TRUE(env.catalogue(kind).WaitForRequests(1, std::chrono::seconds(5)));

    QElapsedTimer clock;
    clock.start();
    driver->Shutdown();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(driver->IsSearching());
    EXPECT_TRUE(frontEnd.errors.isEmpty()); // no box while closing
    for (int column = 1; column < 13; ++column)
        EXPECT_EQ(table.GetCellText(column, 1), QString()) << column;
}
