#include "cli/cli_options.h"
#include "cli/cli_runner.h"
#include "cli/run_cli.h"
#include "cli/usage_error.h"
#include "config/app_config.h"
#include "results/csv_writer.h"
#include "results/results_table.h"
#include "search/search_driver.h"
#include "search/search_front_end.h"
#include "support/search_environment.h"
#include "support/wait_until.h"
#include "util/code_page.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString kKokoro = QStringLiteral("4101010137");
const QString kBotchan = QStringLiteral("4003101014");
const QString kMatsue = QStringLiteral("松江市立図書館");
const QString kInagi = QStringLiteral("稲城市立図書館");

class CliRun : public ::testing::Test
{
protected:
    SearchEnvironment env;

    void SetUp() override { env.bookseller().AddBooks(FakeBookseller::SampleBooks()); }

    static CliOutcome Run(const QStringList& arguments, const QByteArray& input = QByteArray())
    {
        return RunCli(arguments, input);
    }
};

// A search of the same memo in this process, for the CSV the program should write.
class NoMessages final : public TSearchFrontEnd
{
public:
    void ShowMissingKeyWarning(const QString&) override {}
    void ShowCatalogueError(const QString&, const QString&, ErrorAnswered answered) override { answered({}); }
};

} // namespace

TEST(CliOptions, ParsesTheDocumentedInterface)
{
    const TCliOptions options = ParseCliOptions({QStringLiteral("--config"), QStringLiteral("a.ini"),
                                                 QStringLiteral("--libraries"), QStringLiteral("松江市立図書館,三鷹市立図書館"),
                                                 QStringLiteral("--no-amazon"), QStringLiteral("--output"),
                                                 QStringLiteral("out.csv"), QStringLiteral("--quiet"), QStringLiteral("-")});
    EXPECT_EQ(options.configFile, QStringLiteral("a.ini"));
    ASSERT_TRUE(options.libraries.has_value());
    EXPECT_EQ(*options.libraries, QStringList({QStringLiteral("松江市立図書館"), QStringLiteral("三鷹市立図書館")}));
    EXPECT_TRUE(options.noAmazon);
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.outputFile, QStringLiteral("out.csv"));
    EXPECT_EQ(options.inputFile, QStringLiteral("-"));
    EXPECT_THROW(ParseCliOptions({QStringLiteral("--output")}), UsageError);
    EXPECT_THROW(ParseCliOptions({QStringLiteral("--colour")}), UsageError);
    EXPECT_THROW(ParseCliOptions({QStringLiteral("a"), QStringLiteral("b")}), UsageError);
}

TEST(CliOptions, BookDataNamesOneOfThreeSourcesAndNoAmazonMeansNone)
{
    EXPECT_FALSE(ParseCliOptions({}).bookData.has_value());
    EXPECT_EQ(ParseCliOptions({QStringLiteral("--book-data"), QStringLiteral("openbd")}).bookData, TBookDataSource::OpenBd);
    EXPECT_EQ(ParseCliOptions({QStringLiteral("--book-data"), QStringLiteral("Amazon")}).bookData, TBookDataSource::Amazon);
    EXPECT_EQ(ParseCliOptions({QStringLiteral("--book-data"), QStringLiteral("none"), QStringLiteral("--no-amazon")}).bookData,
              TBookDataSource::None);
    EXPECT_THROW(ParseCliOptions({QStringLiteral("--book-data"), QStringLiteral("calil")}), UsageError);
    EXPECT_THROW(ParseCliOptions({QStringLiteral("--book-data")}), UsageError);
    EXPECT_THROW(ParseCliOptions({QStringLiteral("--no-amazon"), QStringLiteral("--book-data"), QStringLiteral("openbd")}),
                 UsageError);
}

TEST_F(CliRun, ExitStatusesTellWhatHappened)
{
    const QString config = env.WriteSettings({kMatsue});
    EXPECT_EQ(Run({QStringLiteral("--help")}).exitCode, 0);
    const CliOutcome usage = Run({QStringLiteral("--frobnicate")});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.err.contains(QStringLiteral("--frobnicate")));

    const CliOutcome unknown = Run({QStringLiteral("--config"), config, QStringLiteral("--libraries"),
                                   QStringLiteral("羽村市立図書館")}, "4101010137\n");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("羽村市立図書館"))) << unknown.err.toStdString();

    EXPECT_EQ(Run({QStringLiteral("--config"), config, env.folder().file(QStringLiteral("missing.txt"))}).exitCode, 1);
    EXPECT_EQ(Run({QStringLiteral("--config"), config, QStringLiteral("--output"),
                   env.folder().file(QStringLiteral("no/such/folder.csv"))}, "4101010137\n").exitCode, 1);
}

TEST_F(CliRun, AFileThatCannotBeSettingsStopsTheRunAndStaysAsItWas)
{
    const QString list = env.folder().file(QStringLiteral("isbn.txt"));
    const QByteArray isbns("4101010137\n");
    env.folder().write(QStringLiteral("isbn.txt"), isbns);
    const CliOutcome notSettings = Run({QStringLiteral("--config"), list, list});
    EXPECT_EQ(notSettings.exitCode, 1);
    EXPECT_TRUE(notSettings.err.contains(QStringLiteral("\"%1\" is not a settings file").arg(list)))
        << notSettings.err.toStdString();
    EXPECT_EQ(env.folder().read(QStringLiteral("isbn.txt")), isbns);

    const CliOutcome endless = Run({QStringLiteral("--config"), QStringLiteral("/dev/zero"), list});
    EXPECT_EQ(endless.exitCode, 1);
    EXPECT_TRUE(endless.err.contains(QStringLiteral("larger than 1 MiB"))) << endless.err.toStdString();
    EXPECT_EQ(env.bookseller().RequestCount(), 0);
}

TEST_F(CliRun, OutputToDevStdoutGoesDownThePipe)
{
    const QString config = env.WriteSettings({kMatsue});
    const CliOutcome result = Run({QStringLiteral("--config"), config, QStringLiteral("--no-amazon"),
                                  QStringLiteral("--output"), QStringLiteral("/dev/stdout")}, "4101010137\n");
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.startsWith("ISBN,")) << result.out.toStdString();
}

TEST_F(CliRun, AMissingAccessKeyStopsBeforeAnyRequest)
{
    const QString config = env.WriteSettings({kMatsue}, /*withAccessKey=*/false);
    const CliOutcome result = Run({QStringLiteral("--config"), config}, "4101010137\n");
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains(QStringLiteral("Amazon Access Key IDを登録しないと、Amazonの検索ができません。")));
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_EQ(env.bookseller().RequestCount(), 0);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 0);

    // Without the bookseller no key is needed.
    EXPECT_EQ(Run({QStringLiteral("--config"), config, QStringLiteral("--no-amazon")}, "4101010137\n").exitCode, 0);
    EXPECT_EQ(env.bookseller().RequestCount(), 0);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 1);
}

TEST_F(CliRun, AMissingKeyShowsTheWayToTheKeylessSource)
{
    const QString config = env.WriteSettings({}, /*withAccessKey=*/false, SearchEnvironment::kOpenBdSource);
    // The settings say openBD; the command line asks the bookseller anyway.
    const CliOutcome result = Run({QStringLiteral("--config"), config, QStringLiteral("--book-data"), QStringLiteral("amazon")},
                                 "4101010137\n");
    EXPECT_EQ(result.exitCode, 3);
    const QStringList lines = result.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << result.err.toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("Amazon Access Key IDを登録しないと")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("--book-data openbd")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("[BOOKDATA] Source=openBD")));
    EXPECT_EQ(env.openBd().RequestCount(), 0);
}

TEST_F(CliRun, WithoutAKeyTheKeylessSourceFillsTheBookColumns)
{
    env.openBd().AddBooks(FakeOpenBd::SampleBooks());
    env.ndl().AddBooks(FakeNdl::SampleBooks());
    const QByteArray memo = "4101010137\n4003101014\n4000000020\n";
    const QString expected = QStringLiteral(
        "ISBN,書名(openBD/NDL),金額,発売日,ﾗﾝｷﾝｸﾞ,松江市立図書館\r\n"
        "4101010137,こころ,432,1952-02-18,,×\r\n"
        "4003101014,坊っちゃん,518,1989-05,,×\r\n"
        "4000000020,国会図書館にだけある本,3200,2015,,×\r\n");

    // Chosen in the settings... (every run asks afresh: nothing remembered)
    const QString chosen = env.WriteSettings({kMatsue}, /*withAccessKey=*/false, SearchEnvironment::kOpenBdSource);
    const CliOutcome fromSettings =
        Run({QStringLiteral("--config"), chosen, QStringLiteral("--quiet"), QStringLiteral("--no-cache")}, memo);
    EXPECT_EQ(fromSettings.exitCode, 0) << fromSettings.err.toStdString();
    EXPECT_EQ(DecodeCodePage(fromSettings.out, kCodePageShiftJis), expected);

    // ...or for one run (the settings file is written anew).
    const QString plain = env.WriteSettings({kMatsue}, /*withAccessKey=*/false);
    const CliOutcome forTheRun = Run({QStringLiteral("--config"), plain, QStringLiteral("--book-data"),
                                     QStringLiteral("openbd"), QStringLiteral("--no-cache")}, memo);
    EXPECT_EQ(forTheRun.exitCode, 0) << forTheRun.err.toStdString();
    EXPECT_EQ(DecodeCodePage(forTheRun.out, kCodePageShiftJis), expected);
    EXPECT_EQ(env.bookseller().RequestCount(), 0);
    EXPECT_EQ(env.openBd().RequestCount(), 2);

    // A source that cannot be asked is named on standard error and fails the run.
    env.openBd().AnswerStatus(503);
    const CliOutcome failed = Run({QStringLiteral("--config"), plain, QStringLiteral("--quiet"), QStringLiteral("--no-cache"),
                                  QStringLiteral("--book-data"), QStringLiteral("openbd")}, memo);
    EXPECT_EQ(failed.exitCode, 4);
    EXPECT_EQ(failed.err.count(QStringLiteral("openBD: HTTP 503 Service Unavailable")), 1) << failed.err.toStdString();
    EXPECT_TRUE(DecodeCodePage(failed.out, kCodePageShiftJis).contains(QStringLiteral("4101010137,エラー,エラー,エラー,エラー,×\r\n")));
}

TEST_F(CliRun, WritesTheSameCsvAsTheTableOfTheSameSearch)
{
    env.catalogue(CatalogueKind::Matsue).Hold(kKokoro, {QStringLiteral("1234567")});
    env.catalogue(CatalogueKind::Inagi).AnswerStatus(404);
    const QString config = env.WriteSettings({kMatsue, kInagi});
    // Line ends of three kinds: CR LF, CR alone (old Mac files), LF.
    const QByteArray memo = "978-4-10-101013-7\r\n4-00-310101-4\rshort\n";

    const CliOutcome result = Run({QStringLiteral("--config"), config, QStringLiteral("-")}, memo);
    // The search ran to its end, but lookups failed: a script must not take
    // the failures for "not held".
    EXPECT_EQ(result.exitCode, 4) << result.err.toStdString();
    // One line per failed catalogue request on standard error, naming the library.
    EXPECT_EQ(result.err.count(kInagi + QStringLiteral(": HTTP 404 Not Found")), 2) << result.err.toStdString();

    TAppConfig settings;
    settings.Load(config);
    TResultsTable table;
    table.SetConfig(settings);
    table.UpdateColumns();
    NoMessages quiet;
    TSearchDriver driver(settings, table, quiet);
    driver.ActionIsbnFindExecute({QStringLiteral("978-4-10-101013-7"), QStringLiteral("4-00-310101-4"),
                                  QStringLiteral("short")});
    ASSERT_TRUE(WaitUntil([&] { return !driver.IsSearching(); }));
    EXPECT_EQ(result.out, CsvBytesOf(table));
    const QString csv = DecodeCodePage(result.out, kCodePageShiftJis);
    EXPECT_TRUE(csv.contains(QStringLiteral("こころ")));
    EXPECT_EQ(csv.count(QStringLiteral(",エラー\r\n")), 2) << csv.toStdString();

    // The same into a file.
    const QString output = env.folder().file(QStringLiteral("out.csv"));
    EXPECT_EQ(Run({QStringLiteral("--config"), config, QStringLiteral("--quiet"), QStringLiteral("--output"), output},
                  memo).exitCode, 4);
    QFile written(output);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), CsvBytesOf(table));
}

TEST_F(CliRun, CtrlCStopsTheSearchAndStillWritesThePartialTable)
{
    env.catalogue(CatalogueKind::Matsue).StallRequests();
    const QString config = env.WriteSettings({kMatsue});
    const QString output = env.folder().file(QStringLiteral("partial.csv"));
    QProcess process;
    process.start(QStringLiteral(QUILLMOOR_CLI_PATH),
                  {QStringLiteral("--config"), config, QStringLiteral("--output"), output});
    ASSERT_TRUE(process.waitForStarted());
    process.write("4101010137\n4003101014\n");
    ASSERT_TRUE(process.waitForBytesWritten(5000));
    process.closeWriteChannel();
    ASSERT_TRUE(env.catalogue(CatalogueKind::Matsue).WaitForRequests(1, std::chrono::seconds(10)));
    ASSERT_TRUE(WaitUntil([&] { return env.bookseller().RequestCount() == 1; }));
    QThread::msleep(200); // let the bookseller's answer land

    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(process.exitCode(), 130) << process.readAllStandardError().toStdString();

    QFile written(output);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString csv = DecodeCodePage(written.readAll(), kCodePageShiftJis);
    EXPECT_TRUE(csv.contains(QStringLiteral("こころ"))) << csv.toStdString();
    EXPECT_TRUE(csv.endsWith(QStringLiteral("518,1989-05-16,56789,\r\n"))) << csv.toStdString();
}

TEST(CliManual, StatesEveryOptionAndExitStatus)
{
    QFile page(QStringLiteral(QUILLMOOR_CLI_MANUAL));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    // roff writes a hyphen in an option as "\-".
    const QString manual = QString::fromUtf8(page.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
    const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    QStringList options;
    for (auto match = option.globalMatch(CliUsage()); match.hasNext();)
        options.append(match.next().captured());
    options.removeDuplicates();
    ASSERT_GE(options.size(), 13);
    for (const QString& name : std::as_const(options))
        EXPECT_TRUE(manual.contains(QStringLiteral("\\fB") + name + QStringLiteral("\\fR"))) << name.toStdString();
    for (const int status : {kCliDone, kCliFailure, kCliUsage, kCliMissingKey, kCliLookupsFailed, kCliInterrupted})
        EXPECT_TRUE(manual.contains(QStringLiteral(".B %1\n").arg(status))) << status;
    EXPECT_EQ(ParseCliOptions({QStringLiteral("--version")}).version, true);
    EXPECT_EQ(CliVersion(), QStringLiteral("quillmoor-cli 0.3.7.0"));
}

TEST_F(CliRun, WritesUtf8WhenAskedWithOrWithoutAMark)
{
    env.catalogue(CatalogueKind::Matsue).Hold(kKokoro, {QStringLiteral("1234567")});
    const QString config = env.WriteSettings({kMatsue});
    const QStringList common{QStringLiteral("--config"), config, QStringLiteral("--quiet"), QStringLiteral("--no-cache")};
    const CliOutcome sjis = Run(common, "4101010137\n");
    const CliOutcome utf8 = Run(common + QStringList{QStringLiteral("--encoding"), QStringLiteral("utf-8")}, "4101010137\n");
    const CliOutcome marked = Run(common + QStringList{QStringLiteral("--encoding"), QStringLiteral("utf-8"),
                                                      QStringLiteral("--bom")}, "4101010137\n");
    ASSERT_EQ(utf8.exitCode, 0) << utf8.err.toStdString();
    const QString text = DecodeCodePage(sjis.out, kCodePageShiftJis);
    EXPECT_TRUE(text.contains(QStringLiteral("こころ")));
    EXPECT_EQ(utf8.out, text.toUtf8());
    EXPECT_EQ(marked.out, "\xEF\xBB\xBF" + text.toUtf8());
    EXPECT_EQ(Run({QStringLiteral("--encoding"), QStringLiteral("latin1")}).exitCode, 2);
}
