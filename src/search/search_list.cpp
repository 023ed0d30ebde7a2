#include "search/search_list.h"

#include "books/isbn.h"
#include "util/error.h"

#include <QSet>

namespace {

// Enough of a line to find it in the memo, not a pasted page.
constexpr qsizetype kShownLineLength = 40;

} // namespace

QString SearchKeyOfLine(const QString& line, qsizetype lineNumber)
{
    try {
        return Isbn13ToIsbn10(NormalizeIsbn(line));
    } catch (const ConversionError&) {
        const QString shown =
            line.size() > kShownLineLength ? line.left(kShownLineLength) + QStringLiteral("…") : line;
        throw ConversionError(QStringLiteral("%1行目「%2」はISBNに変換できません。").arg(lineNumber).arg(shown));
    }
}

QStringList BuildSearchList(const QStringList& memoLines)
{
    QStringList keys;
    QSet<QString> seen;
    for (qsizetype i = 0; i < memoLines.size(); ++i) {
        const QString& line = memoLines[i];
        if (line.size() <= 9 || seen.contains(line))
            continue;
        keys.append(SearchKeyOfLine(line, i + 1));
        seen.insert(line);
    }
    return keys;
}
