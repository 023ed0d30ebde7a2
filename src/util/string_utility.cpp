#include "util/string_utility.h"

#include "util/encode_detect.h"
#include "util/mecs_utils.h"

namespace {

bool StartsWithBytes(QByteArrayView bytes, QByteArrayView mark, qsizetype longerThan)
{
    return bytes.size() > longerThan && bytes.startsWith(mark);
}

bool IsUtf8Continuation(char c) { return (static_cast<quint8>(c) & 0xC0) == 0x80; }

// Where to cut `bytes` so that at most `limit` remain without ending inside
// a UTF-8 sequence: at most three continuation bytes are given back.
qsizetype CutAtCharacter(QByteArrayView bytes, qsizetype limit)
{
    if (bytes.size() <= limit)
        return bytes.size();
    qsizetype cut = limit;
    while (cut > limit - 3 && cut > 0 && IsUtf8Continuation(bytes[cut]))
        --cut;
    return IsUtf8Continuation(bytes[cut]) ? limit : cut;
}

} // namespace

QString TStringUtility::ToUnicodeDetect(QByteArrayView bytes)
{
    const TCodePage codePage = DetectCodePage(bytes);
    if (codePage == kCodePageUnknown)
        return MecsStretchElement(bytes);
    return ToUnicode(bytes, codePage);
}

QString TStringUtility::ToUnicode(QByteArrayView bytes, TCodePage codePage)
{
    switch (codePage) {
    case kCodePageUnknown:
        return MecsStretchElement(bytes);
    case kCodePageUtf8:
        return AnsiToUTF16(HasUtf8Bom(bytes) ? bytes.sliced(3) : bytes, codePage);
    case kCodePageUtf16Le:
        return DecodeCodePage(HasUtf16LeBom(bytes) ? bytes.sliced(2) : bytes, codePage);
    case kCodePageUtf16Be:
        return DecodeCodePage(HasUtf16BeBom(bytes) ? bytes.sliced(2) : bytes, codePage);
    case kCodePageUtf32Le:
        return DecodeCodePage(HasUtf32LeBom(bytes) ? bytes.sliced(4) : bytes, codePage);
    case kCodePageUtf32Be:
        return DecodeCodePage(HasUtf32BeBom(bytes) ? bytes.sliced(4) : bytes, codePage);
    case kCodePageShiftJis:
        return MecsMappingFix_CP932ToUnicode(AnsiToUTF16(bytes, codePage));
    case kCodePageEucJp:
    case kCodePageEucJpMs:
    case kCodePageIso2022Jp:
    case kCodePageIso2022JpKana:
    case kCodePageIso2022JpSoSi:
        return MecsMappingFix_JISX0208ToUnicode(AnsiToUTF16(bytes, codePage));
    default:
        return AnsiToUTF16(bytes, codePage);
    }
}

bool TStringUtility::HasUtf8Bom(QByteArrayView bytes)
{
    return StartsWithBytes(bytes, "\xEF\xBB\xBF", 2);
}

bool TStringUtility::HasUtf16LeBom(QByteArrayView bytes)
{
    return StartsWithBytes(bytes, "\xFF\xFE", 1);
}

bool TStringUtility::HasUtf16BeBom(QByteArrayView bytes)
{
    return StartsWithBytes(bytes, "\xFE\xFF", 1);
}

bool TStringUtility::HasUtf32LeBom(QByteArrayView bytes)
{
    return StartsWithBytes(bytes, QByteArrayView("\xFF\xFE\0\0", 4), 3);
}

bool TStringUtility::HasUtf32BeBom(QByteArrayView bytes)
{
    return StartsWithBytes(bytes, QByteArrayView("\0\0\xFE\xFF", 4), 3);
}

TCodePage TStringUtility::DetectCodePage(QByteArrayView bytes)
{
    const QByteArrayView judged = bytes.first(CutAtCharacter(bytes, kDetectionLimit));
    return CodePageOfEncoding(EncodeDetect::CheckEncoding(judged));
}

TCodePage TStringUtility::CodePageOfEncoding(int encoding)
{
    switch (encoding) {
    case EncodeDetect::kEncodingSjis: return kCodePageShiftJis;
    case EncodeDetect::kEncodingEuc: return kCodePageEucJp;
    case EncodeDetect::kEncodingJis: return kCodePageIso2022Jp;
    case EncodeDetect::kEncodingUtf16LeBom: return kCodePageUtf16Le;
    case EncodeDetect::kEncodingUtf16BeBom: return kCodePageUtf16Be;
    case EncodeDetect::kEncodingUtf8:
    case EncodeDetect::kEncodingUtf8Bom: return kCodePageUtf8;
    case EncodeDetect::kEncodingUtf32LeBom: return kCodePageUtf32Le;
    case EncodeDetect::kEncodingUtf32BeBom: return kCodePageUtf32Be;
    default: return kCodePageUnknown;
    }
}
