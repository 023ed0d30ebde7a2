#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Base64 with the standard alphabet and "=" padding (RFC 4648, section 4),
// without line breaks.
QByteArray Base64Encode(QByteArrayView bytes);
