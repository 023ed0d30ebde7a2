// A keyless book-data search against fake openBD and fake NDL Search: every
// request takes a fixed time at either fake, openBD is asked a thousand
// ISBNs at a time and does not know a tenth of them, NDL is asked for each
// of those one after the other. The ideal wall time is (openBD requests +
// NDL requests) x delay.
//
// The search runs twice: through the search driver in this process (the
// search itself, from "検索開始" to its end), then as the user runs it from
// the command line (process start, reading the list and writing the CSV
// included). For each: the wall time, its ratio to the ideal, and how long
// the fakes actually held the requests (their delay plus however late their
// threads woke, which on a busy machine is not nothing).
//
//   bench_bookdata [ISBNS] [DELAY_MS] [UNKNOWN_PERCENT]   defaults: 1000, 20 ms, 10 %

#include "config/app_config.h"
#include "results/results_table.h"
#include "search/search_driver.h"
#include "search/search_front_end.h"
#include "support/search_environment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>

#include <cstdio>

namespace {

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

class SilentFrontEnd final : public TSearchFrontEnd
{
public:
    void ShowMissingKeyWarning(const QString&) override {}
    void ShowCatalogueError(const QString& message, const QString& source, ErrorAnswered answered) override
    {
        std::fprintf(stderr, "bench_bookdata: %s: %s\n", qPrintable(source), qPrintable(message));
        answered({});
    }
};

struct Requests
{
    int openBd = 0;
    int ndl = 0;
    double heldSeconds = 0;
};

Requests TakeRequests(SearchEnvironment& env)
{
    Requests taken;
    std::chrono::microseconds held{0};
    for (const FakeOpenBdRequest& request : env.openBd().Requests()) {
        ++taken.openBd;
        held += request.held;
    }
    for (const FakeNdlRequest& request : env.ndl().Requests()) {
        ++taken.ndl;
        held += request.held;
    }
    env.openBd().ClearRequests();
    env.ndl().ClearRequests();
    taken.heldSeconds = held.count() / 1e6;
    return taken;
}

void Print(const char* what, double wall, const Requests& requests, int delayMs)
{
    const double ideal = (requests.openBd + requests.ndl) * delayMs / 1000.0;
    std::printf("%s\n", what);
    std::printf("  openBD requests %d, NDL requests %d\n", requests.openBd, requests.ndl);
    std::printf("  wall time   %.3f s\n", wall);
    std::printf("  ideal       %.3f s\n", ideal);
    std::printf("  ratio       %.3f\n", wall / ideal);
    std::printf("  held by the fakes %.3f s (wall / held %.3f)\n", requests.heldSeconds, wall / requests.heldSeconds);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int isbns = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int delayMs = argc > 2 ? std::atoi(argv[2]) : 20;
    const int unknownPercent = argc > 3 ? std::atoi(argv[3]) : 10;

    SearchEnvironment env;
    env.openBd().SetDelay(std::chrono::milliseconds(delayMs));
    env.ndl().SetDelay(std::chrono::milliseconds(delayMs));
    QStringList memo;
    int unknown = 0;
    for (int i = 0; i < isbns; ++i) {
        const QString isbn = NumberedIsbn(i);
        memo.append(isbn);
        // Spread evenly: every tenth book (by default) only NDL knows.
        if ((i + 1) * unknownPercent / 100 > i * unknownPercent / 100) {
            ++unknown;
            env.ndl().AddBook({isbn, QStringLiteral("国会の本 %1").arg(i), QStringLiteral("1,500円"),
                               QStringLiteral("2018.7"), QStringLiteral("2018")});
        } else {
            env.openBd().AddBook({isbn, QStringLiteral("本 %1").arg(i), QStringLiteral("1000"), QStringLiteral("20200101")});
        }
    }
    std::printf("keyless search of %d ISBNs, %d unknown to openBD, %d ms per request at either service\n", isbns,
                unknown, delayMs);

    // The search itself.
    TAppConfig config;
    env.LoadSettings(config, {}, /*withAccessKey=*/false, SearchEnvironment::kOpenBdSource);
    TResultsTable table;
    table.SetConfig(config);
    table.UpdateColumns();
    SilentFrontEnd frontEnd;
    TSearchDriver driver(config, table, frontEnd);
    QEventLoop loop;
    QObject::connect(&driver, &TSearchDriver::SearchFinished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    driver.ActionIsbnFindExecute(memo);
    if (driver.IsSearching())
        loop.exec();
    const double searchWall = clock.nsecsElapsed() / 1e9;
    if (driver.FailedLookups() > 0 || driver.DeliveredAnswers() != isbns) {
        std::fprintf(stderr, "bench_bookdata: the search failed\n");
        return 1;
    }
    Print("search (driver in this process)", searchWall, TakeRequests(env), delayMs);

    // The same from the command line.
    const QString settings = env.WriteSettings({}, /*withAccessKey=*/false, SearchEnvironment::kOpenBdSource);
    QProcess cli;
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    clock.restart();
    cli.start(QStringLiteral(QUILLMOOR_CLI_PATH), {QStringLiteral("--config"), settings, QStringLiteral("--quiet")});
    cli.write(memo.join(u'\n').toLatin1() + '\n');
    cli.closeWriteChannel();
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0) {
        std::fprintf(stderr, "bench_bookdata: the command line failed\n");
        return 1;
    }
    const double cliWall = clock.nsecsElapsed() / 1e9;
    Print("command line (process start and CSV included)", cliWall, TakeRequests(env), delayMs);
    std::printf("  CSV lines   %lld\n", static_cast<long long>(cli.readAllStandardOutput().count('\n')));
    return 0;
}
