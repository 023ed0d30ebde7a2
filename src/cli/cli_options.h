#pragma once

#include "config/book_data_source.h"
#include "results/csv_writer.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asked for.
struct TCliOptions
{
    bool help = false;
    bool version = false;                 // --version: print it, search nothing
    QString configFile;                   // empty: the default settings file
    std::optional<QStringList> libraries; // replaces the selection for this run
    bool noAmazon = false;                // the same as --book-data none
    std::optional<TBookDataSource> bookData; // replaces the settings' source for this run
    QString outputFile;                   // empty: standard output
    // --encoding: how the CSV is written; unset: code page 932, but UTF-8
    // when it goes to a terminal, where a reader reads it.
    std::optional<TCsvEncoding> encoding;
    bool byteOrderMark = false;           // --bom: UTF-8 with a mark
    bool quiet = false;
    bool refresh = false;                 // --refresh: ask everything, keep the answers
    bool noCache = false;                 // --no-cache: neither read nor write the cache
    QString inputFile;                    // empty or "-": standard input
    bool listLibraries = false;           // --list-libraries: print them, search nothing
    QString listPrefecture;               // the prefecture to list; empty: every one known
};

// The text printed for --help and after a usage error.
QString CliUsage();

// "quillmoor-cli 0.3.7.0"
QString CliVersion();

// How the CSV is written for these options, given whether it goes to a
// terminal.
TCsvEncoding CsvEncodingFor(const TCliOptions& options, bool toTerminal);

// Parses the arguments after the program name. A malformed command line
// raises UsageError, whose message names the problem.
TCliOptions ParseCliOptions(const QStringList& arguments);
