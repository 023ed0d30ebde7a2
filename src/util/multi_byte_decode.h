#pragma once

#include "util/jis_x0208_fixup.h"

#include <QByteArrayView>
#include <QString>

// Shift_JIS (as CP932) and EUC-JP straight to UTF-16 through the tables
// taken from glibc (with the JIS codes only Windows knows read through
// CP932). Never throws and never stops early: each undecodable sequence
// becomes one U+FFFD and decoding goes on right after it. The empty text
// when glibc has no such converter.
QString DecodeShiftJis(QByteArrayView bytes);
QString DecodeEucJp(QByteArrayView bytes, JisX0208Reading reading);
