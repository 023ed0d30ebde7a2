#include "cli/cli_options.h"

#include "cli/usage_error.h"

#include "version_table.h"

QString CliUsage()
{
    return QStringLiteral(
        "Usage: quillmoor-cli [--config FILE] [--libraries NAME[,NAME...]]\n"
        "                     [--book-data amazon|openbd|none] [--no-amazon]\n"
        "                     [--output FILE] [--encoding cp932|utf-8] [--bom]\n"
        "                     [--quiet] [--refresh | --no-cache] [ISBN_FILE | -]\n"
        "       quillmoor-cli [--config FILE] --list-libraries [PREFECTURE]\n"
        "       quillmoor-cli --help | --version\n"
        "\n"
        "Looks the ISBNs of ISBN_FILE (UTF-8, one per line; standard input when it\n"
        "is \"-\" or missing) up at the book-data source of the settings (the\n"
        "bookseller unless chosen otherwise) and in the selected library\n"
        "catalogues, and writes the results table as CSV (Shift_JIS, CR LF).\n"
        "\n"
        "  --config FILE         settings file to use instead of the default one\n"
        "  --libraries NAMES     comma-separated library names for this run only\n"
        "  --book-data SOURCE    who fills title, price, date and rank for this run:\n"
        "                        amazon (needs the access key), openbd (openBD and\n"
        "                        NDL Search, no key), none (libraries only)\n"
        "  --no-amazon           the same as --book-data none\n"
        "  --output FILE         write the CSV there instead of standard output\n"
        "  --encoding ENCODING   cp932 (Shift_JIS, as spreadsheet programs in Japan\n"
        "                        expect it; the default) or utf-8 (the default on a\n"
        "                        terminal)\n"
        "  --bom                 with utf-8: begin with a byte-order mark\n"
        "  --quiet               no progress on standard error\n"
        "  --refresh             ask every source again instead of taking answers\n"
        "                        remembered from earlier searches (and remember the new)\n"
        "  --no-cache            neither take nor remember answers for this run\n"
        "  --list-libraries [PREFECTURE]\n"
        "                        print every library that can be named, one a line:\n"
        "                        name, TAB, prefecture, TAB, how it is asked\n"
        "                        (catalogue, or calil:SYSTEM_ID); with a Calil key,\n"
        "                        the prefecture's libraries at Calil too\n"
        "  --help                show this text\n"
        "  --version             show the version\n"
        "\n"
        "Exit status: 0 done, 1 failure, 2 usage error, 3 missing access key id,\n"
        "4 some lookups failed, 130 interrupted.\n");
}

QString CliVersion()
{
    return QStringLiteral("quillmoor-cli %1").arg(QString::fromLatin1(QUILLMOOR_VERSION_STRING));
}

TCsvEncoding CsvEncodingFor(const TCliOptions& options, bool toTerminal)
{
    const TCsvEncoding chosen = options.encoding.value_or(
        toTerminal && options.outputFile.isEmpty() ? TCsvEncoding::Utf8 : TCsvEncoding::CodePage932);
    return chosen == TCsvEncoding::Utf8 && options.byteOrderMark ? TCsvEncoding::Utf8WithMark : chosen;
}

namespace {

TCsvEncoding EncodingOption(const QString& value)
{
    if (value.compare(u"cp932", Qt::CaseInsensitive) == 0 || value.compare(u"shift_jis", Qt::CaseInsensitive) == 0)
        return TCsvEncoding::CodePage932;
    if (value.compare(u"utf-8", Qt::CaseInsensitive) == 0 || value.compare(u"utf8", Qt::CaseInsensitive) == 0)
        return TCsvEncoding::Utf8;
    throw UsageError(QStringLiteral("--encoding takes cp932 or utf-8, not %1").arg(value));
}

TBookDataSource BookDataSourceOption(const QString& value)
{
    if (value.compare(u"amazon", Qt::CaseInsensitive) == 0)
        return TBookDataSource::Amazon;
    if (value.compare(u"openbd", Qt::CaseInsensitive) == 0)
        return TBookDataSource::OpenBd;
    if (value.compare(u"none", Qt::CaseInsensitive) == 0)
        return TBookDataSource::None;
    throw UsageError(QStringLiteral("--book-data takes amazon, openbd or none, not %1").arg(value));
}

} // namespace

TCliOptions ParseCliOptions(const QStringList& arguments)
{
    TCliOptions options;
    bool inputSeen = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= arguments.size())
                throw UsageError(QStringLiteral("%1 needs a value").arg(argument));
            return arguments[++i];
        };
        if (argument == u"--help" || argument == u"-h") {
            options.help = true;
        } else if (argument == u"--version") {
            options.version = true;
        } else if (argument == u"--encoding") {
            options.encoding = EncodingOption(value());
        } else if (argument == u"--bom") {
            options.byteOrderMark = true;
        } else if (argument == u"--config") {
            options.configFile = value();
        } else if (argument == u"--libraries") {
            QStringList names;
            for (const QString& name : value().split(u',', Qt::SkipEmptyParts))
                names.append(name.trimmed());
            options.libraries = names;
        } else if (argument == u"--no-amazon") {
            options.noAmazon = true;
        } else if (argument == u"--book-data") {
            options.bookData = BookDataSourceOption(value());
        } else if (argument == u"--output") {
            options.outputFile = value();
        } else if (argument == u"--quiet") {
            options.quiet = true;
        } else if (argument == u"--refresh") {
            options.refresh = true;
        } else if (argument == u"--no-cache") {
            options.noCache = true;
        } else if (argument == u"--list-libraries") {
            options.listLibraries = true;
            if (i + 1 < arguments.size() && !arguments[i + 1].startsWith(u'-'))
                options.listPrefecture = arguments[++i];
        } else if (argument.startsWith(u'-') && argument != u"-") {
            throw UsageError(QStringLiteral("unknown option %1").arg(argument));
        } else {
            if (inputSeen)
                throw UsageError(QStringLiteral("only one ISBN file can be given"));
            options.inputFile = argument;
            inputSeen = true;
        }
    }
    if (options.noAmazon && options.bookData.value_or(TBookDataSource::None) != TBookDataSource::None)
        throw UsageError(QStringLiteral("--no-amazon and --book-data %1 contradict each other")
                             .arg(BookDataSourceIniValue(*options.bookData).toLower()));
    if (options.byteOrderMark && options.encoding == TCsvEncoding::CodePage932)
        throw UsageError(QStringLiteral("--bom goes with --encoding utf-8 only"));
    if (options.refresh && options.noCache)
        throw UsageError(QStringLiteral("--refresh and --no-cache contradict each other"));
    return options;
}
