#pragma once

#include <QString>

// The settings reader trims every value, so a value whose blanks at either
// end belong to it (a proxy password that begins with a space) is written
// in double quotes. A value that stands in quotes itself is quoted once
// more, so it reads back with its own quotes.
QString QuotedIfTrimmed(const QString& value);

// A value as written by QuotedIfTrimmed: one pair of enclosing double quotes
// is taken off; any other value is returned as it is.
QString Unquoted(const QString& value);
