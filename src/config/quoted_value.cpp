#include "config/quoted_value.h"

#include "util/text_trim.h"

namespace {

bool IsQuoted(const QString& value)
{
    return value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"');
}

} // namespace

QString QuotedIfTrimmed(const QString& value)
{
    if (TrimBlanks(value) != value || IsQuoted(value))
        return u'"' + value + u'"';
    return value;
}

QString Unquoted(const QString& value)
{
    return IsQuoted(value) ? value.mid(1, value.size() - 2) : value;
}
