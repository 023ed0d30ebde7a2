#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Rewrites ISO-2022-JP bytes as EUC-JP bytes so that one stateless EUC-JP
// decoder reads both. Understood, as Windows' decoders understand them:
// ESC ( B and ESC ( J (both read as ASCII), ESC ( I, SO/SI and 8-bit A1 to
// DF (half-width katakana), ESC $ @, ESC $ B, ESC $ ( B and ESC & @ ESC $ B
// (JIS X 0208), ESC $ ( D (JIS X 0212). Control bytes pass through in every
// mode. Whatever cannot be read (an unknown escape, a byte out of place, a
// lone half of a pair) becomes the byte FF, which no EUC-JP character starts
// with, so the decoder puts one replacement character in its place.
QByteArray Iso2022JpToEucJp(QByteArrayView bytes);
