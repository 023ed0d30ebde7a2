#pragma once

#include <QString>

// Removes every code unit up to U+0020 (blanks and control characters) from
// both ends. Unlike QString::trimmed() it keeps U+3000 and other Unicode
// spaces, and it does remove control characters.
QString TrimBlanks(const QString& text);

// The text with every line break taken out (CR, LF, and the other breaks
// Unicode knows: VT, FF, NEL, U+2028, U+2029). For values of one-line
// fields: pasted into an edit, "ID\r\nSECRET" would otherwise reach the
// settings file as two lines, the second one a key of its own.
QString WithoutLineBreaks(const QString& text);
