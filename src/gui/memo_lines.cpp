#include "gui/memo_lines.h"

#include <QPlainTextEdit>
#include <QTextCursor>

QStringList MemoLines(const QPlainTextEdit& memo)
{
    const QString text = memo.toPlainText();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    if (text.endsWith(u'\n'))
        lines.removeLast();
    return lines;
}

void SetMemoLines(QPlainTextEdit& memo, const QStringList& lines)
{
    QTextCursor cursor(memo.document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(lines.join(u'\n'));
}

QStringList RemoveRepeatedLines(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines) {
        const bool seen = std::any_of(kept.cbegin(), kept.cend(), [&](const QString& other) {
            return other.compare(line, Qt::CaseInsensitive) == 0;
        });
        if (!seen)
            kept.append(line);
    }
    return kept;
}
