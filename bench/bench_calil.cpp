// A search of N ISBNs in the eight built-in libraries, all asked through a
// fake Calil that answers "Running" once and then the result. Two figures,
// measured in one run:
//   requests: /check requests made against the fewest possible, one start
//             and one poll for each of ceil(N x 8 / 100) sessions;
//   wall time: against the ideal, every session started at once and polled
//             once, 2 s later (Calil's interval; the real clock).
//
//   bench_calil [ISBNS]   default 100

#include "calil/calil_search_thread.h"
#include "config/app_config.h"
#include "results/results_table.h"
#include "search/search_driver.h"
#include "search/search_front_end.h"
#include "support/calil_environment.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cmath>
#include <cstdio>

namespace {

class Silent final : public TSearchFrontEnd
{
public:
    void ShowMissingKeyWarning(const QString&) override {}
    void ShowCatalogueError(const QString&, const QString&, ErrorAnswered answered) override { answered({}); }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int isbns = argc > 1 ? std::atoi(argv[1]) : 100;

    CalilEnvironment env;
    env.calil().SetRunningAnswers(1);
    QStringList libraries;
    for (const CatalogueKind kind : AllCatalogueKinds())
        libraries.append(LibraryNameOf(kind));
    QStringList memo;
    for (int i = 0; i < isbns; ++i)
        memo.append(QStringLiteral("4%1").arg(i, 9, 10, QChar(u'0')));

    TAppConfig config;
    config.Load(env.WriteSettings(libraries));
    TResultsTable table;
    table.SetConfig(config);
    table.UpdateColumns();
    Silent frontEnd;
    TSearchDriver driver(config, table, frontEnd);
    driver.SetAmazonEnabled(false);

    QElapsedTimer clock;
    clock.start();
    driver.ActionIsbnFindExecute(memo);
    while (driver.IsSearching())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const double wall = double(clock.nsecsElapsed()) / 1e9;

    const int pairs = isbns * int(libraries.size());
    if (driver.DeliveredAnswers() != pairs || driver.FailedLookups() != 0) {
        std::fprintf(stderr, "bench_calil: %d of %d answers, %d failed\n", driver.DeliveredAnswers(), pairs,
                     driver.FailedLookups());
        return 1;
    }
    const int sessions = (pairs + kCalilPairsPerSession - 1) / kCalilPairsPerSession;
    const int fewest = sessions * 2;
    const int made = env.calil().checkRequestCount();
    const double ideal = double(kCalilPollIntervalMs) / 1000.0;

    std::printf("search of %d ISBNs in %lld libraries through Calil (%d pairs)\n", isbns,
                static_cast<long long>(libraries.size()), pairs);
    std::printf("requests    %d made, %d fewest (%d sessions x 2)   ratio %.3f\n", made, fewest, sessions,
                double(made) / fewest);
    std::printf("wall time   %.3f s, ideal %.3f s                  ratio %.3f\n", wall, ideal, wall / ideal);
    return 0;
}
