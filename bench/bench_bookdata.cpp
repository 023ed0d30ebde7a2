// A keyless book-data search from the command line against fake openBD and
// fake NDL Search: every request takes a fixed time at either fake, openBD
// is asked a thousand ISBNs at a time and does not know a tenth of them, NDL
// is asked for each of those one after the other. The ideal wall time is
// (openBD requests + NDL requests) x delay. Prints the measured time, the
// ideal, their ratio, and the requests each fake received.
//
//   bench_bookdata [ISBNS] [DELAY_MS] [UNKNOWN_PERCENT]   defaults: 1000, 20 ms, 10 %

#include "support/search_environment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
    QByteArray memo;
    int unknown = 0;
    for (int i = 0; i < isbns; ++i) {
        const QString isbn = NumberedIsbn(i);
        memo += isbn.toLatin1() + '\n';
        // Spread evenly: every tenth book (by default) only NDL knows.
        if ((i + 1) * unknownPercent / 100 > i * unknownPercent / 100) {
            ++unknown;
            env.ndl().AddBook({isbn, QStringLiteral("国会の本 %1").arg(i), QStringLiteral("1,500円"),
                               QStringLiteral("2018.7"), QStringLiteral("2018")});
        } else {
            env.openBd().AddBook({isbn, QStringLiteral("本 %1").arg(i), QStringLiteral("1000"), QStringLiteral("20200101")});
        }
    }
    const QString config = env.WriteSettings({}, /*withAccessKey=*/false, SearchEnvironment::kOpenBdSource);

    QProcess cli;
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(QUILLMOOR_CLI_PATH), {QStringLiteral("--config"), config, QStringLiteral("--quiet")});
    cli.write(memo);
    cli.closeWriteChannel();
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0) {
        std::fprintf(stderr, "bench_bookdata: the search failed\n");
        return 1;
    }
    const double wall = clock.nsecsElapsed() / 1e9;
    const int openBdRequests = env.openBd().RequestCount();
    const int ndlRequests = int(env.ndl().Requests().size());
    const double ideal = (openBdRequests + ndlRequests) * delayMs / 1000.0;
    const QByteArray csv = cli.readAllStandardOutput();

    std::printf("keyless search of %d ISBNs, %d unknown to openBD, %d ms per request at either service\n", isbns,
                unknown, delayMs);
    std::printf("openBD requests %d, NDL requests %d\n", openBdRequests, ndlRequests);
    std::printf("wall time   %.3f s\n", wall);
    std::printf("ideal       %.3f s\n", ideal);
    std::printf("ratio       %.3f\n", wall / ideal);
    std::printf("CSV lines   %lld\n", static_cast<long long>(csv.count('\n')));
    return 0;
}
