// A whole search from the command line against the fake catalogues and the
// fake bookseller: every request takes a fixed time at the fake, the eight
// libraries and the bookseller are asked at once and each library's ISBNs
// one after the other, so the ideal wall time is ISBNs x delay. Every third
// ISBN is held, so result pages are parsed as well as no-hit pages. Prints
// the measured time, the ideal, their ratio, and how many TCP connections
// each fake accepted (one per catalogue is the goal: the client keeps its
// connection).
//
//   bench_search [ISBNS] [DELAY_MS] [LIBRARIES]   defaults: 100, 20 ms, all 8

#include "support/bench_search_setup.h"
#include "support/search_environment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int isbns = argc > 1 ? std::atoi(argv[1]) : 100;
    const int delayMs = argc > 2 ? std::atoi(argv[2]) : 20;
    const int libraryCount = argc > 3 ? std::atoi(argv[3]) : int(AllCatalogueKinds().size());

    SearchEnvironment env;
    const BenchSearch search = PrepareBenchSearch(env, isbns, delayMs, libraryCount);

    QProcess cli;
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(QUILLMOOR_CLI_PATH), {QStringLiteral("--config"), search.config, QStringLiteral("--quiet")});
    cli.write(search.memo);
    cli.closeWriteChannel();
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0) {
        std::fprintf(stderr, "bench_search: the search failed\n");
        return 1;
    }
    const double wall = clock.nsecsElapsed() / 1e9;
    const QByteArray csv = cli.readAllStandardOutput();

    std::printf("search of %d ISBNs, %d catalogues at %d ms per request, bookseller at the same delay\n", isbns,
                search.libraries, delayMs);
    std::printf("wall time   %.3f s\n", wall);
    std::printf("ideal       %.3f s\n", search.IdealSeconds());
    std::printf("ratio       %.3f\n", wall / search.IdealSeconds());
    std::printf("CSV lines   %lld (held cells %lld)\n", static_cast<long long>(csv.count('\n')),
                static_cast<long long>(csv.count("http://")));
    std::printf("TCP connections accepted per catalogue:");
    for (const CatalogueKind kind : AllCatalogueKinds())
        std::printf(" %s=%d", ShortNameOf(kind).c_str(), env.catalogue(kind).acceptedConnections());
    std::printf("\nbookseller: %d requests on %d connections\n", env.bookseller().RequestCount(),
                env.bookseller().acceptedConnections());
    return 0;
}
