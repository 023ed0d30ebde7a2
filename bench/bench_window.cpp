// The window under load, offscreen. Two measures:
//  1. the same search as bench_search, once through quillmoor-cli and once
//     through the main window in this process: the CPU time of each (the
//     fake servers run in a child process, so neither counts them);
//  2. filling a shown results grid of 5,000 rows x 8 libraries from 40,500
//     deliveries, each followed by a turn of the event loop as in a real
//     search: its CPU time.
//
//   bench_window [ISBNS] [DELAY_MS] [LIBRARIES]   defaults: 1000, 20 ms, all 8

#include "config/app_config.h"
#include "gui/form_main.h"
#include "gui/grid_books.h"
#include "search/search_driver.h"
#include "support/bench_search_setup.h"
#include "support/search_environment.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <sys/resource.h>

namespace {

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The child: the fakes, until its standard input closes.
int Serve(int isbns, int delayMs, int libraries)
{
    QCoreApplication app(*new int(1), new char*[1]{const_cast<char*>("serve")});
    SearchEnvironment env;
    const BenchSearch search = PrepareBenchSearch(env, isbns, delayMs, libraries);
    const QString memo = env.folder().file(QStringLiteral("memo.txt"));
    env.folder().write(QStringLiteral("memo.txt"), search.memo);
    std::printf("%s\n%s\n", search.config.toUtf8().constData(), memo.toUtf8().constData());
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}

double CliCpuSeconds(const QString& config, const QString& memo, double& wall)
{
    const double before = CpuSeconds(RUSAGE_CHILDREN);
    QProcess cli;
    cli.setStandardInputFile(memo);
    cli.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(QUILLMOOR_CLI_PATH), {QStringLiteral("--config"), config, QStringLiteral("--quiet")});
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0)
        return -1;
    wall = clock.nsecsElapsed() / 1e9;
    return CpuSeconds(RUSAGE_CHILDREN) - before;
}

double WindowCpuSeconds(const QString& config, const QString& memo, double& wall)
{
    QFile file(memo);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString lines = QString::fromUtf8(file.readAll());
    const double before = CpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    TFormMain window(config);
    window.show();
    window.MemoIsbn->setPlainText(lines);
    // The program's own kind of loop: it sleeps until something happens.
    QEventLoop loop;
    QObject::connect(&window.SearchDriver(), &TSearchDriver::SearchFinished, &loop, &QEventLoop::quit);
    window.ActionIsbnFind->trigger();
    if (window.SearchDriver().IsSearching())
        loop.exec();
    wall = clock.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds(RUSAGE_SELF) - before;
    // The grid must have been filled, or the measure is of nothing.
    if (window.GridBooks->GetCellText(1, 1).trimmed().isEmpty())
        return -1;
    return cpu;
}

double FillCpuSeconds(int rows, int libraries, int& deliveries)
{
    TAppConfig config;
    QStringList names;
    for (const CatalogueKind kind : AllCatalogueKinds())
        if (names.size() < libraries)
            names.append(LibraryNameOf(kind));
    config.SetLibraryNames(names);
    TGridBooks grid;
    grid.SetConfig(config);
    grid.UpdateColumns();
    grid.resize(1000, 700);
    grid.show();
    QTest::qWaitForWindowExposed(&grid);

    QStringList isbns;
    for (int i = 0; i < rows; ++i)
        isbns.append(QStringLiteral("4%1").arg(i, 8, 10, QChar(u'0')) + u'0');
    const double before = CpuSeconds(RUSAGE_SELF);
    grid.SetIsbnList(isbns);
    deliveries = 0;
    for (int first = 0; first < rows; first += 10) {
        std::vector<TBookData> batch;
        for (int i = first; i < std::min(rows, first + 10); ++i) {
            TBookData book;
            book.Isbn = isbns[i];
            book.Title = QStringLiteral("本 %1").arg(i);
            book.Amount = QStringLiteral("1000");
            batch.push_back(book);
        }
        grid.SetAmazonData(batch);
        ++deliveries;
        QCoreApplication::processEvents();
    }
    for (const QString& name : std::as_const(names)) {
        for (int i = 0; i < rows; ++i) {
            grid.SetLibraryResult(isbns[i], i % 3 == 0 ? QStringLiteral("http://lib.example/r") : QString(), name);
            ++deliveries;
            QCoreApplication::processEvents();
        }
    }
    QTest::qWait(40); // the last frame
    return CpuSeconds(RUSAGE_SELF) - before;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--serve") == 0)
        return Serve(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int isbns = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int delayMs = argc > 2 ? std::atoi(argv[2]) : 20;
    const int libraries = argc > 3 ? std::atoi(argv[3]) : int(AllCatalogueKinds().size());

    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--serve"), QString::number(isbns), QString::number(delayMs), QString::number(libraries)});
    if (!server.waitForStarted() || !server.waitForReadyRead(60000)) {
        std::fprintf(stderr, "bench_window: the fake servers did not start\n");
        return 1;
    }
    while (server.canReadLine() == false)
        server.waitForReadyRead(1000);
    const QString config = QString::fromUtf8(server.readLine()).trimmed();
    while (server.canReadLine() == false)
        server.waitForReadyRead(1000);
    const QString memo = QString::fromUtf8(server.readLine()).trimmed();

    double cliWall = 0;
    double windowWall = 0;
    const double cli = CliCpuSeconds(config, memo, cliWall);
    const double window = WindowCpuSeconds(config, memo, windowWall);
    server.closeWriteChannel();
    server.waitForFinished(10000);
    if (cli < 0 || window < 0) {
        std::fprintf(stderr, "bench_window: a search failed\n");
        return 1;
    }
    std::printf("search of %d ISBNs, %d catalogues at %d ms per request, bookseller at the same delay\n", isbns,
                libraries, delayMs);
    std::printf("command line  CPU %.3f s  (wall %.3f s)\n", cli, cliWall);
    std::printf("window        CPU %.3f s  (wall %.3f s)\n", window, windowWall);
    std::printf("window / command line CPU ratio  %.2f   (goal <= 2)\n", window / cli);

    int deliveries = 0;
    const double fill = FillCpuSeconds(5000, 8, deliveries);
    std::printf("filling 5000 rows x 8 libraries from %d deliveries: CPU %.3f s   (goal <= 0.5 s)\n", deliveries,
                fill);
    return 0;
}
