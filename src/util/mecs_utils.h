#pragma once

#include "util/code_page.h"

#include <QByteArrayView>
#include <QString>

// Bytes of a code page to text, with the code points Windows gives. Code page
// 0 means the ANSI code page. An empty byte string or a code page without a
// conversion gives the empty text; a byte that cannot be decoded becomes a
// replacement character and the rest is still decoded.
QString AnsiToUTF16(QByteArrayView bytes, TCodePage codePage);

// Each byte as the character of the same value (the bytes read as ISO-8859-1).
QString MecsStretchElement(QByteArrayView bytes);

// The CP932 table already gives the wanted code points: the text unchanged.
QString MecsMappingFix_CP932ToUnicode(const QString& text);

// Replaces the code points that the EUC-JP and ISO-2022-JP tables give for
// eight JIS X 0208 characters (wave dash, minus sign, cent sign, ...) by those
// of the CP932 table, so that a page reads the same in every encoding.
QString MecsMappingFix_JISX0208ToUnicode(const QString& text);
