#pragma once

#include <QByteArrayView>
#include <QString>

// The bookseller's answer as text. Its encoding is detected as for any page;
// when the detection cannot tell (typically because the bytes it judges are
// all ASCII and the first title comes later), the answer is read in the
// encoding its XML declaration names, UTF-8 when it names none, as every
// XML reader does (UTF-16 when the "<?" of the declaration comes with zero
// bytes between; a name of no code page known here counts as UTF-8).
// Never throws.
QString DecodeBooksellerAnswer(QByteArrayView bytes);

