#include "results/csv_writer.h"

#include "results/results_table.h"
#include "util/atomic_file.h"
#include "util/code_page.h"
#include "util/control_characters.h"
#include "util/error.h"
#include "util/text_trim.h"


#include <algorithm>
#include <vector>

namespace {

// Space, U+0001 to U+001F, the double quote and the comma force quotes;
// nothing above U+00FF does (U+3000 is written bare).
bool NeedsQuotes(const QString& field)
{
    return std::any_of(field.cbegin(), field.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x01 && u <= 0x20) || u == u'"' || u == u',';
    });
}

void AppendField(QString& line, const QString& field)
{
    if (!NeedsQuotes(field)) {
        line += field;
        return;
    }
    line += u'"';
    for (const QChar c : field) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

} // namespace

QString CsvTextOf(const TResultsTable& table)
{
    const int columns = table.GridColumnCount();
    // A library asked through Calil has its lending status in a column of
    // its own right after its own.
    std::vector<bool> withStatus(size_t(std::max(columns, 0)));
    for (int column = 0; column < columns; ++column)
        withStatus[size_t(column)] = table.HasLendingStatus(column);

    QString text;
    for (int column = 0; column < columns; ++column) {
        if (column > 0)
            text += u',';
        AppendField(text, table.GetHeaderText(column));
        if (withStatus[size_t(column)]) {
            text += u',';
            AppendField(text, table.GetHeaderText(column) + QStringLiteral("(状態)"));
        }
    }
    text += QStringLiteral("\r\n");
    for (int row = 1; row < table.GridRowCount(); ++row) {
        for (int column = 0; column < columns; ++column) {
            if (column > 0)
                text += u',';
            // Scraped addresses and titles come from servers: no control
            // character of theirs reaches the file or a terminal.
            AppendField(text, ReplaceControlCharacters(TrimBlanks(table.GetCellText(column, row))));
            if (withStatus[size_t(column)]) {
                const TLibraryAnswer* answer = table.GetLibraryAnswer(column, row);
                text += u',';
                if (answer != nullptr && answer->Kind == TLibraryAnswer::TKind::Found)
                    AppendField(text, ReplaceControlCharacters(TrimBlanks(answer->Status)));
            }
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

QByteArray CsvBytesOf(const TResultsTable& table, TCsvEncoding encoding)
{
    switch (encoding) {
    case TCsvEncoding::Utf8: return CsvTextOf(table).toUtf8();
    case TCsvEncoding::Utf8WithMark: return QByteArray("\xEF\xBB\xBF") + CsvTextOf(table).toUtf8();
    case TCsvEncoding::CodePage932: break;
    }
    return EncodeCodePage(CsvTextOf(table), kCodePageAnsi);
}

void SaveToCsv(const TResultsTable& table, const QString& fileName, TCsvEncoding encoding)
{
    WriteFileAtomically(fileName, CsvBytesOf(table, encoding), TNewFileAccess::Public);
}
