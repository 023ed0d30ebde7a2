#include "calil/calil_budget.h"
#include "calil/calil_clock.h"
#include "calil/calil_search_thread.h"
#include "config/app_config.h"
#include "libraries/library_list.h"
#include "results/csv_writer.h"
#include "results/results_table.h"
#include "search/search_driver.h"
#include "search/search_front_end.h"
#include "support/calil_environment.h"
#include "support/wait_until.h"

#include <QDir>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using namespace std::chrono_literals;

const QString kKokoro = QStringLiteral("4101010137");
const QString kBotchan = QStringLiteral("4003101014");
const QString kMitaka = QStringLiteral("三鷹市立図書館");
const QString kFussa = QStringLiteral("福生市立図書館");
const QString kOsakaPref = QStringLiteral("大阪府立図書館");
const QString kMatsue = QStringLiteral("松江市立図書館");
const QString kChofu = QStringLiteral("調布市立中央図書館");
const QString kChofuStored = QStringLiteral("Tokyo_Chofu:東京都:調布市立中央図書館");
const QString kMitakaUrl = QStringLiteral("https://opac.example.mitaka/detail?id=0001");

QStringList Keys(int count)
{
    QStringList keys;
    for (int i = 0; i < count; ++i)
        keys.append(QStringLiteral("4%1").arg(i, 9, 10, QChar(u'0')));
    return keys;
}

class RecordingFrontEnd final : public TSearchFrontEnd
{
public:
    void ShowMissingKeyWarning(const QString& text) override { warnings.append(text); }
    void ShowCatalogueError(const QString& message, const QString& source, ErrorAnswered answered) override
    {
        errors.append(message);
        sources.append(source);
        answered({});
    }
    void ShowSearchNotice(const QString& text) override { notices.append(text); }

    QStringList warnings;
    QStringList errors;
    QStringList sources;
    QStringList notices;
};

class CalilSearch : public ::testing::Test
{
protected:
    CalilEnvironment env;
    TAppConfig config;
    TResultsTable table;
    RecordingFrontEnd frontEnd;
    std::shared_ptr<const TCalilClock> clock;
    std::unique_ptr<TSearchDriver> driver; // last: goes first

    // Time runs `factor` times as fast for Calil's rules.
    void Prepare(const QStringList& libraries, double factor, bool withKey = true,
                 const QString& calilLibraries = QString())
    {
        config.Load(env.WriteSettings(libraries, withKey, calilLibraries));
        Follow(factor);
    }
    void Follow(double factor)
    {
        table.SetConfig(config);
        table.UpdateColumns();
        driver = std::make_unique<TSearchDriver>(config, table, frontEnd);
        driver->SetAmazonEnabled(false);
        clock = factor == 1 ? std::make_shared<TCalilClock>() : TCalilClock::Accelerated(factor);
        driver->SetCalilClock(clock);
    }
    bool Finished(int timeoutMs = 15000)
    {
        return WaitUntil([this] { return !driver->IsSearching(); }, timeoutMs);
    }
    // The answer in the row of a key and the column of a library.
    const TLibraryAnswer* Answer(const QString& isbn, const QString& library) const
    {
        for (int row = 1; row <= int(table.Books().size()); ++row) {
            if (table.GetCellText(0, row) == isbn)
                return table.GetLibraryAnswer(5 + int(config.GetLibraryNames().indexOf(library)), row);
        }
        return nullptr;
    }
    TCalilBudget Budget() const
    {
        return TCalilBudget(QDir(env.cacheFolder()).filePath(QStringLiteral("calil-budget")), FakeCalil::kAppKey,
                            clock);
    }
};

} // namespace

TEST_F(CalilSearch, PacksPairsIntoSessionsOfAHundredAndPollsEachNoSoonerThanTheInterval)
{
    const double factor = 20; // the 2 s become 100 ms
    env.calil().SetRunningAnswers(2);
    const QStringList keys = Keys(40);
    env.calil().Hold(keys[7], QStringLiteral("Tokyo_Fussa"), QStringLiteral("https://fussa.example/7"),
                     {{QStringLiteral("中央"), QStringLiteral("貸出中")}});
    Prepare({kMitaka, kFussa, kOsakaPref}, factor);

    driver->ActionIsbnFindExecute(keys);
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(frontEnd.errors.isEmpty()) << frontEnd.errors.join(u'\n').toStdString();
    EXPECT_EQ(driver->DeliveredAnswers(), 120);
    EXPECT_EQ(driver->FailedLookups(), 0);

    // Two sessions for 120 pairs, none beyond a hundred, no pair asked twice.
    std::map<QString, std::vector<FakeCalil::Request>> sessions;
    std::set<std::pair<QString, QString>> pairs;
    for (const FakeCalil::Request& request : env.calil().checkRequests()) {
        EXPECT_EQ(request.appKey, FakeCalil::kAppKey);
        sessions[request.session].push_back(request);
        if (!request.start)
            continue;
        EXPECT_LE(request.Pairs(), 100);
        for (const QString& isbn : request.isbns) {
            for (const QString& system : request.systemIds)
                EXPECT_TRUE(pairs.insert({isbn, system}).second) << isbn.toStdString();
        }
    }
    EXPECT_EQ(pairs.size(), 120u);
    ASSERT_EQ(sessions.size(), 2u);
    // Each session: its start, then two polls, each at least the interval
    // after the request before it.
    const auto interval = std::chrono::milliseconds(qint64(kCalilPollIntervalMs / factor));
    for (const auto& [id, requests] : sessions) {
        ASSERT_EQ(requests.size(), 3u) << id.toStdString();
        EXPECT_TRUE(requests[0].start);
        for (size_t i = 1; i < requests.size(); ++i)
            EXPECT_GE(requests[i].at - requests[i - 1].at, interval) << id.toStdString() << " poll " << i;
    }

    const TLibraryAnswer* held = Answer(keys[7], kFussa);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->Url, QStringLiteral("https://fussa.example/7"));
    EXPECT_EQ(held->Status, QStringLiteral("貸出中"));
    EXPECT_EQ(Answer(keys[8], kFussa)->CellText(), QStringLiteral("×"));
    EXPECT_EQ(Answer(keys[39], kOsakaPref)->CellText(), QStringLiteral("×"));
    // With a key the built-ins go through Calil, not their catalogues.
    EXPECT_EQ(env.catalogue(CatalogueKind::Fussa).requestCount(), 0);
}

TEST_F(CalilSearch, DeliversEachPairIntoItsRowAndColumnAsSoonAsCalilHasIt)
{
    env.calil().SetAlwaysJsonp(true);
    env.calil().Hold(kKokoro, QStringLiteral("Tokyo_Mitaka"), kMitakaUrl,
                     {{QStringLiteral("本館"), QStringLiteral("貸出中")}, {QStringLiteral("三鷹駅前"), QStringLiteral("貸出可")}});
    // 大阪府立 is still being asked when 三鷹 is done, and then fails for one book.
    env.calil().SetRunningAnswers(kKokoro, QStringLiteral("Osaka_Pref"), 3);
    env.calil().SetRunningAnswers(kBotchan, QStringLiteral("Osaka_Pref"), 3);
    env.calil().SetStatus(kKokoro, QStringLiteral("Osaka_Pref"), QStringLiteral("Error"));
    env.calil().HoldAnswersAfter(2); // the start's answer and the first poll's
    Prepare({kOsakaPref, kMitaka}, 50);

    driver->ActionIsbnFindExecute({QStringLiteral("978-4-10-101013-7"), kBotchan});
    ASSERT_TRUE(WaitUntil([&] { return table.GetLibraryAnswer(6, 1) != nullptr && table.GetLibraryAnswer(6, 2) != nullptr; }));
    EXPECT_EQ(table.GetCellText(6, 1), kMitakaUrl);
    EXPECT_EQ(table.GetLibraryAnswer(6, 1)->Status, QStringLiteral("貸出可"));
    EXPECT_EQ(table.GetCellText(6, 2), QStringLiteral("×"));
    EXPECT_EQ(table.GetLibraryAnswer(5, 1), nullptr);
    EXPECT_EQ(table.GetLibraryAnswer(5, 2), nullptr);
    EXPECT_TRUE(driver->IsSearching());

    env.calil().Release();
    ASSERT_TRUE(Finished());
    EXPECT_EQ(table.GetCellText(5, 1), QStringLiteral("エラー"));
    EXPECT_EQ(table.GetCellText(5, 2), QStringLiteral("×"));
    EXPECT_EQ(driver->FailedLookups(), 1);
    ASSERT_EQ(frontEnd.errors.size(), 1);
    EXPECT_EQ(frontEnd.sources.first(), QStringLiteral("カーリル"));
    EXPECT_TRUE(frontEnd.errors.first().contains(kOsakaPref));

    // The export: a status column right after each library asked through Calil.
    const QStringList lines = CsvTextOf(table).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[0], QStringLiteral("ISBN,書名,金額,発売日,ﾗﾝｷﾝｸﾞ,大阪府立図書館,大阪府立図書館(状態),"
                                       "三鷹市立図書館,三鷹市立図書館(状態)"));
    EXPECT_EQ(lines[1], QStringLiteral("4101010137,,,,,エラー,,%1,貸出可").arg(kMitakaUrl));
    EXPECT_EQ(lines[2], QStringLiteral("4003101014,,,,,×,,×,"));
}

TEST_F(CalilSearch, AFailedRequestIsReportedOnceAndFailsEveryPairItCarried)
{
    env.calil().FailChecksWithStatus(503);
    Prepare({kMitaka, kFussa}, 50);
    driver->ActionIsbnFindExecute(Keys(5));
    ASSERT_TRUE(Finished());
    ASSERT_EQ(frontEnd.errors.size(), 1);
    EXPECT_TRUE(frontEnd.errors.first().contains(QStringLiteral("503"))) << frontEnd.errors.first().toStdString();
    EXPECT_EQ(driver->FailedLookups(), 10);
    for (const QString& key : Keys(5)) {
        EXPECT_TRUE(Answer(key, kMitaka)->IsFailure());
        EXPECT_TRUE(Answer(key, kFussa)->Message.contains(QStringLiteral("503")));
    }
    EXPECT_EQ(env.calil().checkRequestCount(), 1);
}

TEST_F(CalilSearch, TheHourlyBudgetStopsAtItsLimitSaysUntilWhenAndResumes)
{
    const double factor = 3600; // an hour takes a second
    Prepare({kMitaka, kFussa, kOsakaPref}, factor);
    const auto spentAt = std::chrono::steady_clock::now();
    EXPECT_EQ(Budget().Spend([](int) { return 950; }), 950); // another run spent them

    driver->ActionIsbnFindExecute(Keys(40));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(driver->DeliveredAnswers(), 120);
    EXPECT_EQ(driver->FailedLookups(), 0);

    const std::vector<FakeCalil::Request> requests = env.calil().checkRequests();
    std::vector<FakeCalil::Request> starts;
    std::copy_if(requests.begin(), requests.end(), std::back_inserter(starts), [](const auto& r) { return r.start; });
    ASSERT_GE(starts.size(), 2u);
    // What was left went out at once, whole books only; the rest after the
    // earlier requests had left the hour.
    EXPECT_EQ(starts[0].Pairs(), 48);
    const auto window = std::chrono::microseconds(qint64(kCalilBudgetWindowMs * 1000 / factor));
    EXPECT_GE(starts[1].at - spentAt, window - 1ms);
    int total = 0;
    for (const auto& start : starts)
        total += start.Pairs();
    EXPECT_EQ(total, 120);

    ASSERT_GE(frontEnd.notices.size(), 2);
    const QStringList waiting = frontEnd.notices.filter(QStringLiteral("カーリルの上限のため "));
    ASSERT_FALSE(waiting.isEmpty());
    EXPECT_TRUE(waiting.first().endsWith(QStringLiteral(" まで待機中"))) << waiting.first().toStdString();
    EXPECT_EQ(frontEnd.notices.last(), QString()); // gone when it goes on
}

TEST_F(CalilSearch, CancelEndsTheWaitForTheBudgetAtOnce)
{
    Prepare({kMitaka}, 1); // the real clock: a wait of most of an hour
    Budget().Spend([](int left) { return left; });
    driver->ActionIsbnFindExecute(Keys(3));
    ASSERT_TRUE(WaitUntil([&] { return !frontEnd.notices.filter(QStringLiteral("まで待機中")).isEmpty(); }));
    EXPECT_TRUE(frontEnd.notices.last().startsWith(QStringLiteral("カーリルの上限のため ")));

    QElapsedTimer cancelled;
    cancelled.start();
    driver->ActionIsbnSearchCancelExecute();
    ASSERT_TRUE(Finished(2000));
    EXPECT_LT(cancelled.elapsed(), 1000);
    EXPECT_EQ(env.calil().checkRequestCount(), 0);
    EXPECT_EQ(frontEnd.notices.last(), QString());
    EXPECT_EQ(driver->DeliveredAnswers(), 0);
}

TEST_F(CalilSearch, WithoutAKeyTheBuiltInsAskTheirCataloguesAsBefore)
{
    env.catalogue(CatalogueKind::Mitaka).Hold(kKokoro, {QStringLiteral("NUM=42&CTG=1")});
    Prepare({kMitaka, kMatsue}, 1, false);
    driver->ActionIsbnFindExecute({kKokoro, kBotchan});
    ASSERT_TRUE(Finished());
    EXPECT_EQ(env.catalogue(CatalogueKind::Mitaka).requestCount(), 2);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 2);
    EXPECT_EQ(env.calil().checkRequestCount(), 0);
    EXPECT_TRUE(env.calil().libraryRequests().isEmpty());
    EXPECT_EQ(table.GetCellText(5, 1), env.catalogue(CatalogueKind::Mitaka).DetailUrlFor(kKokoro));
    EXPECT_EQ(table.GetLibraryAnswer(5, 1)->Status, QString());
    EXPECT_TRUE(CsvTextOf(table).startsWith(QStringLiteral("ISBN,書名,金額,発売日,ﾗﾝｷﾝｸﾞ,三鷹市立図書館,松江市立図書館\r\n")));
    EXPECT_FALSE(QDir(env.cacheFolder()).exists());
}

TEST_F(CalilSearch, ASelectionOfCalilSystemsSurvivesARestartWithoutTheNetwork)
{
    const QString file = env.WriteSettings({kMitaka});
    {
        TAppConfig before;
        before.Load(file);
        ASSERT_TRUE(before.GetLibraryList()->AddCalilLibrary(kChofu, QStringLiteral("東京都"), QStringLiteral("Tokyo_Chofu")));
        before.SetLibraryNames({kChofu, kMitaka});
        before.Save(file);
    }
    config.Load(file);
    EXPECT_EQ(config.GetLibraryNames(), QStringList({kChofu, kMitaka}));
    const TLibraryRecord* chofu = config.GetLibraryList()->FindRecord(kChofu);
    ASSERT_NE(chofu, nullptr);
    EXPECT_EQ(chofu->CalilSystemId, QStringLiteral("Tokyo_Chofu"));
    EXPECT_EQ(chofu->Prefecture, QStringLiteral("東京都"));
    EXPECT_TRUE(env.calil().libraryRequests().isEmpty());

    env.calil().Hold(kKokoro, QStringLiteral("Tokyo_Chofu"), QStringLiteral("https://chofu.example/1"),
                     {{QStringLiteral("中央"), QStringLiteral("蔵書あり")}});
    Follow(50);
    driver->ActionIsbnFindExecute({kKokoro});
    ASSERT_TRUE(Finished());
    EXPECT_EQ(table.GetCellText(5, 1), QStringLiteral("https://chofu.example/1"));
    EXPECT_EQ(table.GetLibraryAnswer(5, 1)->Status, QStringLiteral("蔵書あり"));
    EXPECT_EQ(table.GetCellText(6, 1), QStringLiteral("×"));
    EXPECT_TRUE(env.calil().libraryRequests().isEmpty());
}

TEST_F(CalilSearch, ALibraryKnownThroughCalilOnlyFailsWithoutAKeyAndSaysWhy)
{
    Prepare({kChofu, kMitaka}, 1, false, kChofuStored);
    ASSERT_EQ(config.GetLibraryNames(), QStringList({kChofu, kMitaka}));
    driver->ActionIsbnFindExecute({kKokoro, kBotchan});
    ASSERT_TRUE(Finished());
    ASSERT_EQ(frontEnd.errors.size(), 1);
    EXPECT_TRUE(frontEnd.errors.first().contains(QStringLiteral("アプリケーションキー")));
    EXPECT_TRUE(frontEnd.errors.first().contains(kChofu));
    EXPECT_EQ(table.GetCellText(5, 1), QStringLiteral("エラー"));
    EXPECT_EQ(table.GetCellText(5, 2), QStringLiteral("エラー"));
    EXPECT_EQ(env.catalogue(CatalogueKind::Mitaka).requestCount(), 2);
    EXPECT_EQ(env.calil().checkRequestCount(), 0);
}

TEST_F(CalilSearch, MatsueIsAskedUnderTheIdThatCalilsListGivesIt)
{
    env.calil().AddBuilding(QStringLiteral("島根県"), QStringLiteral("Shimane_Matsue2"), QStringLiteral("島根県松江市"),
                            QStringLiteral("松江市立中央図書館"), true);
    env.calil().Hold(kKokoro, QStringLiteral("Shimane_Matsue2"), QStringLiteral("https://matsue.example/1"), {});
    Prepare({kMatsue}, 50);
    driver->ActionIsbnFindExecute({kKokoro});
    ASSERT_TRUE(Finished());
    ASSERT_GE(env.calil().checkRequestCount(), 1);
    EXPECT_EQ(env.calil().checkRequests().front().systemIds, QStringList({QStringLiteral("Shimane_Matsue2")}));
    EXPECT_EQ(table.GetCellText(5, 1), QStringLiteral("https://matsue.example/1"));
    EXPECT_EQ(env.calil().libraryRequests(), QStringList({QStringLiteral("島根県")}));

    // The list is kept: the next search asks for it no more.
    driver->ActionIsbnFindExecute({kKokoro});
    ASSERT_TRUE(Finished());
    EXPECT_EQ(env.calil().libraryRequests().size(), 1);
}
