#pragma once

#include <QByteArray>
#include <QString>

class TResultsTable;

// The results table as CSV, as the grid shows it: the header texts as they
// are, then one line per grid row (also the empty row before the first
// search) with every cell trimmed, columns in the grid's order, each line
// ended by CR LF.
QString CsvTextOf(const TResultsTable& table);

// How the CSV text becomes bytes: code page 932 as spreadsheet programs in
// Japan expect it (a character the code page cannot hold becomes "?"), or
// UTF-8, with or without a byte-order mark.
enum class TCsvEncoding { CodePage932, Utf8, Utf8WithMark };

// The CSV text as bytes; code page 932 without a byte-order mark unless
// told otherwise.
QByteArray CsvBytesOf(const TResultsTable& table, TCsvEncoding encoding = TCsvEncoding::CodePage932);

// Writes the CSV bytes into the file through a temporary file in the same
// folder that then replaces it, so a failed export leaves an existing file
// as it was. Raises FileError naming the file and the system's reason.
void SaveToCsv(const TResultsTable& table, const QString& fileName,
               TCsvEncoding encoding = TCsvEncoding::CodePage932);
