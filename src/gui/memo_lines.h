#pragma once

#include <QStringList>

class QPlainTextEdit;

// The ISBN memo seen as lines, the way the user sees them: a final line
// break ends the last line and does not open an empty one.
QStringList MemoLines(const QPlainTextEdit& memo);

// Replaces the memo's whole text with the lines as one edit the user can
// undo.
void SetMemoLines(QPlainTextEdit& memo, const QStringList& lines);

// The lines without repeats, compared whole and without regard to letter
// case; the first occurrence of each stays, in order. Empty lines count.
QStringList RemoveRepeatedLines(const QStringList& lines);
