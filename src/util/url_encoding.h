#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include "util/code_page.h"

// Percent-encoding as the bookseller's request signature expects it: only
// A-Z, a-z, 0-9, "-", "." and "_" stay as they are; every other byte becomes
// "%" and two upper-case hex digits (a space is %20, never "+"). The input
// ends at its first zero byte, if it has one.
QByteArray HTTPEncode(QByteArrayView bytes);

// The text in the given code page (65001 is UTF-8), percent-encoded by
// HTTPEncode. The result is plain ASCII.
QString UrlEncode(QStringView text, TCodePage codePage);
