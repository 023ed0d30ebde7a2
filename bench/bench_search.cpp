// A whole search from the command line against the fake catalogues: every
// request takes a fixed time at the catalogue, the eight libraries are asked
// at once and each library's ISBNs one after the other, so the ideal wall
// time is ISBNs x delay. Prints the measured time, the ideal, their ratio,
// and how many TCP connections each catalogue accepted (one is the goal: the
// client keeps its connection).
//
//   bench_search [ISBNS] [DELAY_MS] [LIBRARIES]   defaults: 100, 20 ms, all 8

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
    QStringList libraries;
    for (const CatalogueKind kind : AllCatalogueKinds()) {
        env.catalogue(kind).SetDelay(std::chrono::milliseconds(delayMs));
        if (libraries.size() < libraryCount)
            libraries.append(LibraryNameOf(kind));
    }
    QByteArray memo;
    for (int i = 0; i < isbns; ++i) {
        const QString key = QStringLiteral("4%1").arg(i, 8, 10, QChar(u'0'));
        memo += key.toLatin1() + "0\n";
        env.bookseller().AddBook({key + u'0', QStringLiteral("本 %1").arg(i), QStringLiteral("1000"),
                                  QStringLiteral("2020-01-01"), QString::number(i + 1), QString()});
    }
    const QString config = env.WriteSettings(libraries);

    QProcess cli;
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(QUILLMOOR_CLI_PATH), {QStringLiteral("--config"), config, QStringLiteral("--quiet")});
    cli.write(memo);
    cli.closeWriteChannel();
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0) {
        std::fprintf(stderr, "bench_search: the search failed\n");
        return 1;
    }
    const double wall = clock.nsecsElapsed() / 1e9;
    const double ideal = isbns * delayMs / 1000.0;
    const QByteArray csv = cli.readAllStandardOutput();

    std::printf("search of %d ISBNs, %lld catalogues at %d ms per request, bookseller included\n", isbns,
                static_cast<long long>(libraries.size()), delayMs);
    std::printf("wall time   %.3f s\n", wall);
    std::printf("ideal       %.3f s\n", ideal);
    std::printf("ratio       %.3f\n", wall / ideal);
    std::printf("CSV lines   %lld\n", static_cast<long long>(csv.count('\n')));
    std::printf("TCP connections per catalogue:");
    for (const CatalogueKind kind : AllCatalogueKinds())
        std::printf(" %s=%d", ShortNameOf(kind).c_str(), env.catalogue(kind).connectionCount());
    std::printf("\nbookseller requests %d\n", env.bookseller().RequestCount());
    return 0;
}
