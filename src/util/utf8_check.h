#pragma once

#include <QByteArrayView>

// True when the bytes are well-formed UTF-8 as Unicode defines it: no
// overlong forms, no surrogates, nothing above U+10FFFF, no sequence cut
// short, the end included. Unlike the scoring tests of the encoding
// detection, one bad byte is enough to say no.
bool IsWellFormedUtf8(QByteArrayView bytes);
