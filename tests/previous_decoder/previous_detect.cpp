// The detector as it was: four separate passes, one per test.
#include "previous_decoder.h"

#include "util/string_utility.h"

namespace PreviousDecoder {

using EncodeDetect::TBOMType;
using EncodeDetect::TIgnoreEncode;
using EncodeDetect::TIgnoreEncodes;
using EncodeDetect::IsASCII;

namespace {

constexpr int kInvalid = -1;
constexpr quint8 kEsc = 0x1B;

constexpr bool InRange(quint8 byte, quint8 low, quint8 high) { return byte >= low && byte <= high; }

// Walks the buffer character by character. Rule::FollowCount(lead) gives the
// number of bytes that follow a character's first byte (0 for a single byte,
// kInvalid for a byte no character starts with); Rule::Allowed(lead, byte)
// whether a following byte fits. A sequence cut by the end of the buffer
// scores nothing and its next byte is read as a character start again.
template <typename Rule>
bool WalkSequences(QByteArrayView buffer, int& score)
{
    const auto* bytes = reinterpret_cast<const quint8*>(buffer.data());
    const qsizetype size = buffer.size();
    qsizetype i = 0;
    while (i < size) {
        const quint8 lead = bytes[i];
        const int follow = Rule::FollowCount(lead);
        if (follow == kInvalid)
            return false;
        if (follow == 0) {
            ++i;
            continue;
        }
        const qsizetype end = i + 1 + follow;
        const qsizetype inside = end <= size ? end : size;
        for (qsizetype j = i + 1; j < inside; ++j) {
            if (!Rule::Allowed(lead, bytes[j]))
                return false;
        }
        if (end <= size) {
            score += 1 + follow;
            i = end;
        } else {
            ++i;
        }
    }
    return true;
}

struct SjisRule
{
    static int FollowCount(quint8 b)
    {
        if (b <= 0x7F || InRange(b, 0xA1, 0xDF))
            return 0;
        if (InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, 0xFC))
            return 1;
        return kInvalid;
    }
    static bool Allowed(quint8, quint8 b) { return InRange(b, 0x40, 0x7E) || InRange(b, 0x80, 0xFC); }
};

struct EucRule
{
    static int FollowCount(quint8 b)
    {
        if (b <= 0x7F)
            return 0;
        if (InRange(b, 0xA1, 0xFE) || b == 0x8E)
            return 1;
        if (b == 0x8F)
            return 2;
        return kInvalid;
    }
    static bool Allowed(quint8 lead, quint8 b)
    {
        return lead == 0x8E ? InRange(b, 0xA1, 0xDF) : InRange(b, 0xA1, 0xFE);
    }
};

struct Utf8Rule
{
    static int FollowCount(quint8 b)
    {
        if (b <= 0x7F)
            return 0;
        if (InRange(b, 0xC0, 0xDF))
            return 1;
        if (InRange(b, 0xE0, 0xEF))
            return 2;
        if (InRange(b, 0xF0, 0xF7))
            return 3;
        return kInvalid;
    }
    static bool Allowed(quint8, quint8 b) { return InRange(b, 0x80, 0xBF); }
};

// Punctuation that UTF-7 never writes as itself.
bool IsUtf7Excluded(quint8 b)
{
    return InRange(b, 0x21, 0x26) || b == 0x2A || InRange(b, 0x3B, 0x3E) || b == 0x40
           || InRange(b, 0x5B, 0x60) || InRange(b, 0x7B, 0x7E);
}

bool IsBase64(quint8 b)
{
    return InRange(b, 'A', 'Z') || InRange(b, 'a', 'z') || InRange(b, '0', '9') || b == '+' || b == '/';
}

bool StartsWith(const quint8* at, qsizetype remaining, std::initializer_list<quint8> sequence)
{
    if (remaining < static_cast<qsizetype>(sequence.size()))
        return false;
    qsizetype i = 0;
    for (const quint8 b : sequence) {
        if (at[i++] != b)
            return false;
    }
    return true;
}

EncodeDetect::TBOMType OldBOMCheck(QByteArrayView buffer, TIgnoreEncodes ignore)
{
    if (ignore.Contains(TIgnoreEncode::ieBOM))
        return TBOMType::btNone;
    const auto* b = reinterpret_cast<const quint8*>(buffer.data());
    const qsizetype n = buffer.size();
    if (StartsWith(b, n, {0xFF, 0xFE, 0x00, 0x00}))
        return TBOMType::bt32LE;
    if (StartsWith(b, n, {0x00, 0x00, 0xFE, 0xFF}))
        return TBOMType::bt32BE;
    if (StartsWith(b, n, {0xFF, 0xFE}))
        return TBOMType::bt16LE;
    if (StartsWith(b, n, {0xFE, 0xFF}))
        return TBOMType::bt16BE;
    if (StartsWith(b, n, {0xEF, 0xBB, 0xBF}))
        return TBOMType::btUTF8;
    return TBOMType::btNone;
}

bool OldIsJIS(QByteArrayView buffer, TIgnoreEncodes ignore)
{
    if (ignore.Contains(TIgnoreEncode::ieJIS))
        return false;
    const auto* b = reinterpret_cast<const quint8*>(buffer.data());
    const qsizetype n = buffer.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (!IsASCII(b[i]))
            return false;
        if (b[i] != kEsc)
            continue;
        const quint8* at = b + i;
        const qsizetype left = n - i;
        if (StartsWith(at, left, {kEsc, '(', 'B'}) || StartsWith(at, left, {kEsc, '(', 'J'})
            || StartsWith(at, left, {kEsc, '(', 'I'}) || StartsWith(at, left, {kEsc, '$', '@'})
            || StartsWith(at, left, {kEsc, '$', 'B'}) || StartsWith(at, left, {kEsc, '$', '(', 'D'})
            || StartsWith(at, left, {kEsc, '&', '@', kEsc, '$', 'B'}))
            return true;
    }
    return false;
}

bool OldIsSJIS(QByteArrayView buffer, int& score, TIgnoreEncodes ignore)
{
    return !ignore.Contains(TIgnoreEncode::ieSJIS) && WalkSequences<SjisRule>(buffer, score);
}

bool OldIsEUC(QByteArrayView buffer, int& score, TIgnoreEncodes ignore)
{
    return !ignore.Contains(TIgnoreEncode::ieEUC) && WalkSequences<EucRule>(buffer, score);
}

bool OldIsUTF8(QByteArrayView buffer, int& score, TIgnoreEncodes ignore)
{
    return !ignore.Contains(TIgnoreEncode::ieUTF8) && WalkSequences<Utf8Rule>(buffer, score);
}

bool OldIsUTF7(QByteArrayView buffer, int& score, TIgnoreEncodes ignore)
{
    if (ignore.Contains(TIgnoreEncode::ieUTF7))
        return false;
    bool shifted = false;
    for (const char c : buffer) {
        const auto b = static_cast<quint8>(c);
        if (!IsASCII(b) || IsUtf7Excluded(b))
            return false;
        if (b == '+' && !shifted)
            shifted = true;
        else if (b == '-' && shifted)
            shifted = false;
        if (shifted) {
            if (!IsBase64(b))
                return false;
            score += 2;
        }
    }
    return true;
}

} // namespace

int CheckEncoding(QByteArrayView buffer, TIgnoreEncodes ignore)
{
    if (buffer.isEmpty())
        return EncodeDetect::kEncodingUndetermined;

    switch (OldBOMCheck(buffer, ignore)) {
    case TBOMType::btUTF8: return EncodeDetect::kEncodingUtf8Bom;
    case TBOMType::bt16LE: return EncodeDetect::kEncodingUtf16LeBom;
    case TBOMType::bt16BE: return EncodeDetect::kEncodingUtf16BeBom;
    case TBOMType::bt32LE: return EncodeDetect::kEncodingUtf32LeBom;
    case TBOMType::bt32BE: return EncodeDetect::kEncodingUtf32BeBom;
    case TBOMType::btNone: break;
    }
    if (OldIsJIS(buffer, ignore))
        return EncodeDetect::kEncodingJis;

    struct Candidate
    {
        int code;
        bool passed;
        int score;
    };
    Candidate candidates[4] = {{EncodeDetect::kEncodingSjis, false, 0},
                               {EncodeDetect::kEncodingEuc, false, 0},
                               {EncodeDetect::kEncodingUtf8, false, 0},
                               {EncodeDetect::kEncodingUtf7, false, 0}};
    candidates[0].passed = OldIsSJIS(buffer, candidates[0].score, ignore);
    candidates[1].passed = OldIsEUC(buffer, candidates[1].score, ignore);
    candidates[2].passed = OldIsUTF8(buffer, candidates[2].score, ignore);
    candidates[3].passed = OldIsUTF7(buffer, candidates[3].score, ignore);

    // A winner must have passed and outscore every other test, failed or not.
    for (const Candidate& candidate : candidates) {
        if (!candidate.passed)
            continue;
        bool beatsAll = true;
        for (const Candidate& other : candidates) {
            if (&other != &candidate && other.score >= candidate.score)
                beatsAll = false;
        }
        if (beatsAll)
            return candidate.code;
    }
    return EncodeDetect::kEncodingUndetermined;
}


namespace {

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

bool IsJIS(QByteArrayView buffer)
{
    return OldIsJIS(buffer, {});
}

bool IsSJIS(QByteArrayView buffer, int& score)
{
    return OldIsSJIS(buffer, score, {});
}

bool IsEUC(QByteArrayView buffer, int& score)
{
    return OldIsEUC(buffer, score, {});
}

bool IsUTF8(QByteArrayView buffer, int& score)
{
    return OldIsUTF8(buffer, score, {});
}

bool IsUTF7(QByteArrayView buffer, int& score)
{
    return OldIsUTF7(buffer, score, {});
}

TCodePage DetectCodePage(QByteArrayView bytes)
{
    const QByteArrayView judged = bytes.first(CutAtCharacter(bytes, 102400));
    return TStringUtility::CodePageOfEncoding(CheckEncoding(judged));
}

} // namespace PreviousDecoder
