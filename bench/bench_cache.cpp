// The same search twice from the command line, against the fakes of
// bench_search (every request waits DELAY_MS, the bookseller's too): the
// first run asks everything and fills the lookup cache, the second takes
// everything from it. Prints both wall times, their ratio (goal: the second
// at most 1/20 of the first) and the requests the second run made (goal 0).
//
//   bench_cache [ISBNS] [DELAY_MS] [LIBRARIES]   defaults: 1000, 20 ms, all 8

#include "support/bench_search_setup.h"
#include "support/scoped_cache_home.h"
#include "support/search_environment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

namespace {

int Requests(SearchEnvironment& env)
{
    int count = env.bookseller().RequestCount();
    for (const CatalogueKind kind : AllCatalogueKinds())
        count += env.catalogue(kind).requestCount();
    return count;
}

// Wall seconds of one run, or a negative number when it failed.
double RunCli(const BenchSearch& search, QByteArray& csv)
{
    QProcess cli;
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(QUILLMOOR_CLI_PATH), {QStringLiteral("--config"), search.config, QStringLiteral("--quiet")});
    cli.write(search.memo);
    cli.closeWriteChannel();
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0)
        return -1;
    csv = cli.readAllStandardOutput();
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int isbns = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int delayMs = argc > 2 ? std::atoi(argv[2]) : 20;
    const int libraries = argc > 3 ? std::atoi(argv[3]) : int(AllCatalogueKinds().size());

    const ScopedCacheHome cacheHome;
    SearchEnvironment env;
    const BenchSearch search = PrepareBenchSearch(env, isbns, delayMs, libraries);

    QByteArray firstCsv;
    QByteArray secondCsv;
    const double first = RunCli(search, firstCsv);
    const int firstRequests = Requests(env);
    const double second = RunCli(search, secondCsv);
    const int secondRequests = Requests(env) - firstRequests;
    if (first < 0 || second < 0) {
        std::fprintf(stderr, "bench_cache: a search failed\n");
        return 1;
    }
    std::printf("search of %d ISBNs, %d catalogues at %d ms per request, bookseller at the same delay\n", isbns,
                search.libraries, delayMs);
    std::printf("first run   %.3f s, %d requests\n", first, firstRequests);
    std::printf("second run  %.3f s, %d requests   (goal 0)\n", second, secondRequests);
    std::printf("second / first  %.4f = 1/%.0f   (goal <= 1/20)\n", second / first, first / second);
    std::printf("same CSV    %s\n", firstCsv == secondCsv ? "yes" : "NO");
    return firstCsv == secondCsv ? 0 : 1;
}
