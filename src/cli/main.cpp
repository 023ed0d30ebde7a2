#include "cli/cli_options.h"
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
        std::fprintf(stderr, "quillmoor-cli: %s\n\n%s", error.what(), qPrintable(CliUsage()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(CliUsage()), stdout);
        return 0;
    }
    // The search itself is not part of this build yet.
    std::fputs("quillmoor-cli: searching is not available in this build yet\n", stderr);
    return 1;
}
