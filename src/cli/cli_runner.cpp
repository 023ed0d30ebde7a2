#include "cli/cli_runner.h"

#include "cache/cache_file.h"
#include "cache/lookup_cache.h"
#include "cli/cli_front_end.h"
#include "cli/interrupt_watcher.h"
#include "cli/library_listing.h"
#include "cli/usage_error.h"
#include "cli/progress_bar.h"
#include "config/app_config.h"
#include "config/settings_location.h"
#include "libraries/library_list.h"
#include "results/csv_writer.h"
#include "results/results_table.h"
#include "search/search_driver.h"
#include "util/control_characters.h"
#include "util/error.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

void Complain(const QString& text)
{
    std::fprintf(stderr, "quillmoor-cli: %s\n", ReplaceControlCharacters(text).toUtf8().constData());
}

// The memo's lines from a UTF-8 file or standard input.
QStringList ReadInputLines(const QString& inputFile)
{
    QFile input;
    const bool fromStdin = inputFile.isEmpty() || inputFile == u"-";
    const bool opened = fromStdin ? input.open(stdin, QIODevice::ReadOnly)
                                  : (input.setFileName(inputFile), input.open(QIODevice::ReadOnly));
    if (!opened)
        throw FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(inputFile, input.errorString()));
    const QString text = QString::fromUtf8(input.readAll());
    if (input.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Cannot read \"%1\". %2").arg(inputFile, input.errorString()));
    // Line ends of every kind: LF, CR LF, and CR alone (old Mac files).
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void WriteOutput(const TResultsTable& table, const TCliOptions& options)
{
    const TCsvEncoding encoding = CsvEncodingFor(options, isatty(fileno(stdout)) != 0);
    if (!options.outputFile.isEmpty()) {
        SaveToCsv(table, options.outputFile, encoding);
        return;
    }
    const QByteArray bytes = CsvBytesOf(table, encoding);
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) != std::size_t(bytes.size())
        || std::fflush(stdout) != 0)
        throw FileError(QStringLiteral("Cannot write the results to standard output."));
}

QString SettingsFile(const TCliOptions& options)
{
    return options.configFile.isEmpty() ? DefaultSettingsPath(QCoreApplication::applicationFilePath())
                                        : options.configFile;
}

int PrintLibraries(const TCliOptions& options)
{
    TAppConfig config;
    try {
        config.Load(SettingsFile(options));
        const QByteArray text = ListingText(ListLibraries(config, options.listPrefecture)).toUtf8();
        if (std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout) != std::size_t(text.size())
            || std::fflush(stdout) != 0)
            throw FileError(QStringLiteral("Cannot write the list to standard output."));
        return kCliDone;
    } catch (const UsageError& error) {
        Complain(error.message());
        return kCliUsage;
    } catch (const QuillmoorError& error) {
        Complain(error.message());
        return kCliFailure;
    }
}

} // namespace

int RunCliSearch(const TCliOptions& options)
{
    if (options.listLibraries)
        return PrintLibraries(options);
    TAppConfig config;
    QStringList lines;
    try {
        config.Load(SettingsFile(options));
        if (options.libraries) {
            try {
                SelectLibraries(config, *options.libraries);
            } catch (const QuillmoorError& error) {
                Complain(error.message());
                return kCliUsage;
            }
        }
        lines = ReadInputLines(options.inputFile);
    } catch (const QuillmoorError& error) {
        Complain(error.message());
        return kCliFailure;
    }

    TResultsTable table;
    table.SetConfig(config);
    table.UpdateColumns();

    TProgressBar progress(stderr, !options.quiet && isatty(fileno(stderr)));
    TCliFrontEnd frontEnd(stderr);
    frontEnd.SetBeforeMessage([&progress] { progress.Clear(); });
    // Made before the driver, so that it outlives it: the driver's last act
    // is to write what the search learnt into it.
    std::unique_ptr<TLookupCache> cache;
    if (!options.noCache)
        cache = std::make_unique<TLookupCache>(DefaultLookupCachePath());
    TSearchDriver driver(config, table, frontEnd);
    driver.SetLookupCache(cache.get());
    if (options.noAmazon)
        driver.SetBookDataSource(TBookDataSource::None);
    else if (options.bookData)
        driver.SetBookDataSource(*options.bookData);
    QObject::connect(&driver, &TSearchDriver::ProgressChanged, &driver,
                     [&progress](int done, int total) { progress.Update(done, total); });

    bool interrupted = false;
    TInterruptWatcher watcher;
    QObject::connect(&watcher, &TInterruptWatcher::Interrupted, &driver, [&] {
        interrupted = true;
        driver.Shutdown();
        QCoreApplication::quit();
    });
    QObject::connect(&driver, &TSearchDriver::SearchFinished, &driver, [] { QCoreApplication::quit(); });

    try {
        driver.ActionIsbnFindExecute(lines, options.refresh ? TCacheSession::TReading::Nothing
                                                            : TCacheSession::TReading::Fresh);
    } catch (const QuillmoorError& error) {
        Complain(error.message());
        return kCliFailure;
    }
    if (frontEnd.MissingKey()) {
        // The bookseller issues no new keys: show the way that needs none.
        Complain(QStringLiteral("キーがなくても --book-data openbd で openBD と国立国会図書館サーチから"
                                "書名・金額・発売日を調べられます（いつもそうするには設定ファイルの"
                                " [BOOKDATA] Source=openBD か、全般設定の「書誌情報」ページで選びます）。"));
        return kCliMissingKey;
    }
    if (driver.IsSearching())
        QCoreApplication::exec();
    driver.Shutdown();
    progress.Finish();

    try {
        WriteOutput(table, options);
    } catch (const QuillmoorError& error) {
        Complain(error.message());
        return kCliFailure;
    }
    if (interrupted)
        return kCliInterrupted;
    // A lookup that failed must not pass for "not held" in a script either.
    return driver.FailedLookups() > 0 ? kCliLookupsFailed : kCliDone;
}
