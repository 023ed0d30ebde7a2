#pragma once

#include "util/code_page.h"

#include <QByteArrayView>
#include <QString>

// Turning the bytes of a page into text. Nothing here throws or keeps state.
class TStringUtility final
{
public:
    TStringUtility() = delete;

    // How many leading bytes DetectCodePage judges.
    static constexpr qsizetype kDetectionLimit = 102400;

    // Detects the encoding and decodes; bytes of no known encoding come back
    // one character per byte.
    static QString ToUnicodeDetect(QByteArrayView bytes);
    // Decodes in the code page, dropping the byte-order mark of a UTF page.
    static QString ToUnicode(QByteArrayView bytes, TCodePage codePage);

    static bool HasUtf8Bom(QByteArrayView bytes);
    static bool HasUtf16LeBom(QByteArrayView bytes);
    static bool HasUtf16BeBom(QByteArrayView bytes);
    static bool HasUtf32LeBom(QByteArrayView bytes);
    static bool HasUtf32BeBom(QByteArrayView bytes);

    // The code page of the first kDetectionLimit bytes, kCodePageUnknown when
    // undetermined. A cut that would split a UTF-8 character is moved back to
    // the character's start.
    static TCodePage DetectCodePage(QByteArrayView bytes);
    // The code page of one of EncodeDetect's encoding codes.
    static TCodePage CodePageOfEncoding(int encoding);
};
