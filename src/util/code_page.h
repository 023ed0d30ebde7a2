#pragma once

#include "util/jis_x0208_fixup.h"

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

// The other numbers of the two Japanese families that decode like the above.
inline constexpr TCodePage kCodePageEucJpMs = 51932;
inline constexpr TCodePage kCodePageIso2022JpKana = 50221;
inline constexpr TCodePage kCodePageIso2022JpSoSi = 50222;

// The iconv name of a code page, or nullptr for one we cannot convert.
const char* IconvNameOfCodePage(TCodePage codePage);

// Bytes of a code page to text, with the code points Windows gives, through
// tables taken once from glibc's converters: CP932 from "CP932"; EUC-JP
// from "EUC-JP", with the rows only Windows knows (NEC special characters,
// NEC-selected IBM extensions) taken from CP932; ISO-2022-JP (all three
// numbers, every escape Windows accepts, half-width katakana by ESC ( I,
// SO/SI or 8-bit bytes) through the EUC-JP table. The JIS X 0208 characters
// of EUC-JP and ISO-2022-JP get glibc's code points, or with
// JisX0208Reading::Cp932 those of CP932.
//
// Never throws and never stops early: each undecodable sequence becomes one
// U+FFFD and decoding goes on after it. UTF-16 and UTF-32 keep a leading
// mark as U+FEFF and ignore a last incomplete code unit. An unsupported code
// page gives the empty text.
QString DecodeCodePage(QByteArrayView bytes, TCodePage codePage,
                       JisX0208Reading reading = JisX0208Reading::Converter);

// Text to bytes of a code page. A character the code page cannot hold
// becomes "?", the code page's default character. An unsupported code page
// gives an empty byte string.
QByteArray EncodeCodePage(QStringView text, TCodePage codePage);
