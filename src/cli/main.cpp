#include "cli/cli_options.h"
#include "cli/cli_runner.h"
#include "cli/usage_error.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    TCliOptions options;
    try {
        options = ParseCliOptions(arguments);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "quillmoor-cli: %s\n\n%s", error.what(), CliUsage().toUtf8().constData());
        return kCliUsage;
    }
    if (options.help) {
        std::fputs(CliUsage().toUtf8().constData(), stdout);
        return kCliDone;
    }
    if (options.version) {
        std::printf("%s\n", CliVersion().toUtf8().constData());
        return kCliDone;
    }
    return RunCliSearch(options);
}
