#include "util/string_utility.h"

#include "util/encode_detect.h"
#include "util/mecs_utils.h"

namespace {

bool StartsWithBytes(QByteArrayView bytes, QByteArrayView mark, qsizetype longerThan)
{
    return bytes.size() > longerThan && bytes.startsWith(mark);
}

// The length of the UTF-8 sequence a byte starts: 0 for a continuation
// byte, 1 for a single byte or one that starts nothing.
int Utf8SequenceLength(quint8 b)
{
    if (b >= 0x80 && b <= 0xBF)
        return 0;
    if (b >= 0xC0 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF7)
        return 4;
    return 1;
}

// Where to cut `bytes` so that at most `limit` remain: before a UTF-8
// sequence that the limit would split, elsewhere at the limit.
qsizetype CutAtCharacter(QByteArrayView bytes, qsizetype limit)
{
    if (bytes.size() <= limit)
        return bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= limit; ++back) {
        const int length = Utf8SequenceLength(static_cast<quint8>(bytes[limit - back]));
        if (length != 0)
            return length > back ? limit - back : limit;
    }
    return limit;
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
        // The fix-up of MecsMappingFix_JISX0208ToUnicode, read straight from the tables.
        return DecodeCodePage(bytes, codePage, JisX0208Reading::Cp932);
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
