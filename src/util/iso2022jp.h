#pragma once

#include "util/jis_x0208_fixup.h"

#include <QByteArrayView>
#include <QString>

// ISO-2022-JP straight to UTF-16, reading what Windows' decoders read:
// ESC ( B and ESC ( J (both as ASCII), ESC ( I, SO/SI and 8-bit A1 to DF
// (half-width katakana), ESC $ @, ESC $ B, ESC $ ( B and ESC & @ ESC $ B
// (JIS X 0208), ESC $ ( D (JIS X 0212). Characters come from the EUC-JP
// table, so both encodings give the same code points. Control bytes pass
// through in every mode. Whatever cannot be read (an unknown escape, a byte
// out of place, a lone half of a pair, a code without a character) becomes
// one U+FFFD and reading goes on after it, in the same mode. The empty text
// when glibc has no EUC-JP converter.
QString DecodeIso2022Jp(QByteArrayView bytes, JisX0208Reading reading);
