#pragma once

#include <QString>

// Removes every code unit up to U+0020 (blanks and control characters) from
// both ends. Unlike QString::trimmed() it keeps U+3000 and other Unicode
// spaces, and it does remove control characters.
QString TrimBlanks(const QString& text);
