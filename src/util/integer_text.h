#pragma once

#include <QString>

#include <optional>

// A signed 32-bit decimal integer: an optional "+" or "-" followed by one or
// more ASCII digits, nothing else, within the 32-bit range.
std::optional<qint32> ParseInt32(QStringView text);

// As ParseInt32, but a text that is no such integer raises ConversionError
// with the message "'<text>' is not a valid integer value".
qint32 StrToInt(QStringView text);
