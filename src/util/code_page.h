#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A Windows code page number. 0xFFFF stands for "not determined" (and, as an
// argument of a page fetch, for "detect it").
using TCodePage = quint16;

inline constexpr TCodePage kCodePageUnknown = 0xFFFF;
inline constexpr TCodePage kCodePageShiftJis = 932;   // the Windows form of Shift_JIS
inline constexpr TCodePage kCodePageEucJp = 20932;
inline constexpr TCodePage kCodePageIso2022Jp = 50220;
inline constexpr TCodePage kCodePageUtf8 = 65001;
inline constexpr TCodePage kCodePageUtf16Le = 1200;
inline constexpr TCodePage kCodePageUtf16Be = 1201;
inline constexpr TCodePage kCodePageUtf32Le = 12000;
inline constexpr TCodePage kCodePageUtf32Be = 12001;

// The code page the program writes its CSV files and mark-less settings
// files in: the ANSI code page of the Japanese systems it is made for.
inline constexpr TCodePage kCodePageAnsi = kCodePageShiftJis;

// The iconv name of a code page, or nullptr for one we cannot convert.
const char* IconvNameOfCodePage(TCodePage codePage);

// Bytes of a code page to text. Never throws and never stops early: a byte
// sequence the code page cannot decode becomes U+FFFD and decoding goes on
// after it. An unsupported code page gives the empty text.
QString DecodeCodePage(QByteArrayView bytes, TCodePage codePage);

// Text to bytes of a code page. A character the code page cannot hold
// becomes "?", the code page's default character. An unsupported code page
// gives an empty byte string.
QByteArray EncodeCodePage(QStringView text, TCodePage codePage);
