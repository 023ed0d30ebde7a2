#pragma once

#include <QByteArrayView>
#include <QString>

// The Unicode forms to UTF-16. None throws or stops early.

// UTF-8 as glibc reads it (no surrogates, nothing above U+10FFFF, no
// overlong forms): one U+FFFD for each longest start of a well-formed
// sequence that does not go on, as Windows and browsers count them. A
// leading mark is dropped only when nothing was replaced and no U+FFFD was
// read, the way the decoder before this one behaved.
QString DecodeUtf8(QByteArrayView bytes);

// Each pair of bytes is one code unit, whatever it holds; a last odd byte is
// ignored. A mark is a character like any other here.
QString DecodeUtf16(QByteArrayView bytes, bool bigEndian);

// A code point beyond Unicode or a surrogate becomes U+FFFD; a last
// incomplete unit is ignored.
QString DecodeUtf32(QByteArrayView bytes, bool bigEndian);
