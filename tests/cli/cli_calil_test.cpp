#include "calil/calil_budget.h"
#include "calil/calil_clock.h"
#include "cli/cli_options.h"
#include "cli/run_cli.h"
#include "support/calil_environment.h"
#include "util/code_page.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString kKokoro = QStringLiteral("4101010137");
const QString kMitaka = QStringLiteral("三鷹市立図書館");
const QString kChofu = QStringLiteral("調布市立中央図書館");
const QString kMitakaUrl = QStringLiteral("https://opac.example.mitaka/detail?id=0001");

class CliCalil : public ::testing::Test
{
protected:
    CalilEnvironment env;

    void SetUp() override
    {
        const QString tokyo = QStringLiteral("東京都");
        env.calil().AddBuilding(tokyo, QStringLiteral("Tokyo_Mitaka"), QStringLiteral("東京都三鷹市"), kMitaka, true);
        env.calil().AddBuilding(tokyo, QStringLiteral("Tokyo_Chofu"), QStringLiteral("東京都調布市"), kChofu, true);
    }
};

} // namespace

TEST(CliOptions, ListLibrariesTakesAnOptionalPrefecture)
{
    const TCliOptions tokyo = ParseCliOptions({QStringLiteral("--list-libraries"), QStringLiteral("東京都")});
    EXPECT_TRUE(tokyo.listLibraries);
    EXPECT_EQ(tokyo.listPrefecture, QStringLiteral("東京都"));
    const TCliOptions all = ParseCliOptions({QStringLiteral("--list-libraries"), QStringLiteral("--config"), QStringLiteral("a.ini")});
    EXPECT_TRUE(all.listLibraries);
    EXPECT_EQ(all.listPrefecture, QString());
    EXPECT_EQ(all.configFile, QStringLiteral("a.ini"));
}

TEST_F(CliCalil, ListsEveryLibraryThatCanBeNamedAndHowItIsAsked)
{
    const QString withoutKey = env.WriteSettings({}, false);
    const CliOutcome builtIns = RunCli({QStringLiteral("--config"), withoutKey, QStringLiteral("--list-libraries")});
    EXPECT_EQ(builtIns.exitCode, 0) << builtIns.err.toStdString();
    EXPECT_EQ(builtIns.outText(), QStringLiteral("三鷹市立図書館\t東京都\tcatalogue\n品川区立図書館\t東京都\tcatalogue\n"
                                           "福生市立図書館\t東京都\tcatalogue\n稲城市立図書館\t東京都\tcatalogue\n"
                                           "羽村市図書館\t東京都\tcatalogue\n大阪市立図書館\t大阪府\tcatalogue\n"
                                           "大阪府立図書館\t大阪府\tcatalogue\n松江市立図書館\t島根県\tcatalogue\n"));
    EXPECT_TRUE(env.calil().libraryRequests().isEmpty());

    // With a key: the built-ins go through Calil, and the prefecture's
    // systems come from Calil, once; then from the kept list.
    const QString withKey = env.WriteSettings({});
    const CliOutcome tokyo = RunCli({QStringLiteral("--config"), withKey, QStringLiteral("--list-libraries"), QStringLiteral("東京都")});
    EXPECT_EQ(tokyo.exitCode, 0) << tokyo.err.toStdString();
    EXPECT_EQ(tokyo.outText(), QStringLiteral("三鷹市立図書館\t東京都\tcalil:Tokyo_Mitaka\n品川区立図書館\t東京都\tcalil:Tokyo_Shinagawa\n"
                                        "福生市立図書館\t東京都\tcalil:Tokyo_Fussa\n稲城市立図書館\t東京都\tcalil:Tokyo_Inagi\n"
                                        "羽村市図書館\t東京都\tcalil:Tokyo_Hamura\n調布市立中央図書館\t東京都\tcalil:Tokyo_Chofu\n"));
    const CliOutcome all = RunCli({QStringLiteral("--config"), withKey, QStringLiteral("--list-libraries")});
    EXPECT_TRUE(all.outText().contains(QStringLiteral("調布市立中央図書館\t東京都\tcalil:Tokyo_Chofu\n")));
    EXPECT_TRUE(all.outText().endsWith(QStringLiteral("松江市立図書館\t島根県\tcalil:Shimane_Matsue\n")));
    EXPECT_EQ(env.calil().libraryRequests(), QStringList({QStringLiteral("東京都")}));

    const CliOutcome unknown = RunCli({QStringLiteral("--config"), withKey, QStringLiteral("--list-libraries"), QStringLiteral("東京")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("東京")));
}

TEST_F(CliCalil, SearchesAListedCalilLibraryAndTheBuiltInsThroughCalil)
{
    // Done at once: the first answer is final, no poll to wait for.
    env.calil().SetRunningAnswers(0);
    env.calil().Hold(kKokoro, QStringLiteral("Tokyo_Mitaka"), kMitakaUrl, {{QStringLiteral("本館"), QStringLiteral("貸出中")}});
    env.calil().SetStatus(kKokoro, QStringLiteral("Tokyo_Chofu"), QStringLiteral("Error"));
    const QString config = env.WriteSettings({});
    ASSERT_EQ(RunCli({QStringLiteral("--config"), config, QStringLiteral("--list-libraries"), QStringLiteral("東京都")}).exitCode, 0);

    QProcess process;
    process.start(QStringLiteral(QUILLMOOR_CLI_PATH),
                  {QStringLiteral("--config"), config, QStringLiteral("--no-amazon"), QStringLiteral("--libraries"),
                   kMitaka + u',' + kChofu});
    ASSERT_TRUE(process.waitForStarted());
    process.write("978-4-10-101013-7\n4-00-310101-4\n");
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    // 調布 could not be asked for one book: the run says so and exits 4.
    EXPECT_EQ(process.exitCode(), 4) << err.toStdString();
    EXPECT_EQ(err.count(QStringLiteral("カーリル: ")), 1) << err.toStdString();
    const QStringList lines = DecodeCodePage(process.readAllStandardOutput(), kCodePageShiftJis).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("ISBN,書名,金額,発売日,ﾗﾝｷﾝｸﾞ,三鷹市立図書館,三鷹市立図書館(状態),"
                                       "調布市立中央図書館,調布市立中央図書館(状態)"));
    EXPECT_EQ(lines[1], QStringLiteral("4101010137,,,,,%1,貸出中,エラー,").arg(kMitakaUrl));
    EXPECT_EQ(lines[2], QStringLiteral("4003101014,,,,,×,,×,"));
    EXPECT_EQ(env.catalogue(CatalogueKind::Mitaka).requestCount(), 0);
}

TEST_F(CliCalil, SaysUntilWhenItWaitsForTheBudgetAndCtrlCEndsTheWait)
{
    const QString config = env.WriteSettings({kMitaka});
    TCalilBudget(QDir(env.cacheFolder()).filePath(QStringLiteral("calil-budget")), FakeCalil::kAppKey,
                 std::make_shared<TCalilClock>())
        .Spend([](int left) { return left; });

    QProcess process;
    process.start(QStringLiteral(QUILLMOOR_CLI_PATH), {QStringLiteral("--config"), config, QStringLiteral("--no-amazon")});
    ASSERT_TRUE(process.waitForStarted());
    process.write("4101010137\n");
    process.closeWriteChannel();
    QString err;
    QElapsedTimer waited;
    waited.start();
    while (!err.contains(QStringLiteral("まで待機中")) && waited.elapsed() < 10000) {
        process.waitForReadyRead(100);
        err += QString::fromUtf8(process.readAllStandardError());
    }
    EXPECT_TRUE(err.contains(QStringLiteral("quillmoor-cli: カーリルの上限のため "))) << err.toStdString();

    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 130);
    EXPECT_EQ(env.calil().checkRequestCount(), 0);
    // The table as far as it came: the book, no answer from the library.
    EXPECT_TRUE(DecodeCodePage(process.readAllStandardOutput(), kCodePageShiftJis).endsWith(QStringLiteral("4101010137,,,,,,\r\n")));
}
