#include "util/encoding_judge.h"

#include "util/ascii_run.h"
#include "util/chunk_readers.h"

#include <algorithm>

namespace EncodingJudge {
namespace {

using EncodeDetect::TIgnoreEncode;

constexpr quint8 kEsc = 0x1B;

bool StartsWith(const quint8* at, qsizetype remaining, std::initializer_list<quint8> sequence)
{
    return remaining >= static_cast<qsizetype>(sequence.size()) && std::equal(sequence.begin(), sequence.end(), at);
}

bool IsJisEscape(const quint8* at, qsizetype left)
{
    return StartsWith(at, left, {kEsc, '(', 'B'}) || StartsWith(at, left, {kEsc, '(', 'J'})
           || StartsWith(at, left, {kEsc, '(', 'I'}) || StartsWith(at, left, {kEsc, '$', '@'})
           || StartsWith(at, left, {kEsc, '$', 'B'}) || StartsWith(at, left, {kEsc, '$', '(', 'D'})
           || StartsWith(at, left, {kEsc, '&', '@', kEsc, '$', 'B'});
}

// Where the ASCII bytes at the start end (the first byte above 7F, or the
// size), and whether a JIS escape comes before it. Stops at the escape when
// there is one; with `lookForEscapes` false, only the first is found.
struct AsciiStart
{
    qsizetype end;
    bool jisEscape;
};

AsciiStart ReadAsciiStart(const quint8* bytes, qsizetype size, bool lookForEscapes)
{
    if (!lookForEscapes)
        return {AsciiRun::Skip(bytes, 0, size), false};
    using namespace AsciiRun;
    qsizetype i = 0;
    while (i < size) {
        qsizetype stop = size;
        for (; i + 8 <= size; i += 8) {
            const quint64 word = Load64(bytes + i);
            const quint64 stops = (word & kHighBits) | ZeroBytes(word ^ 0x1B1B1B1B1B1B1B1Bull);
            if (stops != 0) {
                stop = i + FirstHighByte(stops);
                break;
            }
        }
        if (stop == size) {
            while (i < size && bytes[i] < 0x80 && bytes[i] != kEsc)
                ++i;
            stop = i;
        }
        if (stop == size || bytes[stop] >= 0x80)
            return {stop, false};
        if (IsJisEscape(bytes + stop, size - stop))
            return {stop, true};
        i = stop + 1;
    }
    return {size, false};
}

// Punctuation that UTF-7 never writes as itself, and bytes above 7F.
constexpr AllowedTable kNotUtf7 = MakeAllowed([](quint8 b) {
    return b > 0x7F || InRange(b, 0x21, 0x26) || b == 0x2A || InRange(b, 0x3B, 0x3E) || b == 0x40
           || InRange(b, 0x5B, 0x60) || InRange(b, 0x7B, 0x7E);
});

constexpr AllowedTable kBase64 = MakeAllowed([](quint8 b) {
    return InRange(b, 'A', 'Z') || InRange(b, 'a', 'z') || InRange(b, '0', '9') || b == '+' || b == '/';
});

Verdict ReadUtf7(const quint8* bytes, qsizetype size)
{
    Verdict verdict{true, 0};
    bool shifted = false;
    for (qsizetype i = 0; i < size; ++i) {
        const quint8 b = bytes[i];
        if (kNotUtf7[b])
            return {false, verdict.score};
        if (b == '+' && !shifted)
            shifted = true;
        else if (b == '-' && shifted)
            shifted = false;
        if (shifted) {
            if (!kBase64[b])
                return {false, verdict.score};
            verdict.score += 2;
        }
    }
    return verdict;
}

const quint8* BytesOf(QByteArrayView buffer) { return reinterpret_cast<const quint8*>(buffer.data()); }

} // namespace

Verdicts JudgeAll(QByteArrayView buffer, EncodeDetect::TIgnoreEncodes ignore)
{
    const quint8* bytes = BytesOf(buffer);
    const qsizetype size = buffer.size();
    Verdicts verdicts;
    const AsciiStart start = ReadAsciiStart(bytes, size, !ignore.Contains(TIgnoreEncode::ieJIS));
    if (start.jisEscape) {
        verdicts.jis = true;
        return verdicts;
    }
    // UTF-7 fails at the first byte above 7F at the latest.
    if (!ignore.Contains(TIgnoreEncode::ieUTF7))
        verdicts.utf7 = ReadUtf7(bytes, std::min(start.end + 1, size));

    // Every reader starts a character at the first byte above 7F: what comes
    // before it is ASCII, a character of one byte to each.
    Reader<ShiftJisRule> sjis(bytes, size, start.end);
    Reader<EucJpRule> euc(bytes, size, start.end);
    Reader<Utf8Rule> utf8(bytes, size, start.end);
    bool sjisOn = !ignore.Contains(TIgnoreEncode::ieSJIS);
    bool eucOn = !ignore.Contains(TIgnoreEncode::ieEUC);
    bool utf8On = !ignore.Contains(TIgnoreEncode::ieUTF8);
    qsizetype at = start.end;
    // Chunk by chunk while the readers have three bytes after the chunk.
    for (; at + ChunkMasks::kSize + 3 < size && (sjisOn || eucOn || utf8On); at += ChunkMasks::kSize) {
        const ChunkMasks masks(bytes + at);
        // ASCII is a character of one byte to every reader.
        if (masks.AtLeast(0x80) == 0 && (!sjisOn || sjis.next() <= at) && (!eucOn || euc.next() <= at)
            && (!utf8On || utf8.next() <= at)) {
            const qsizetype end = at + ChunkMasks::kSize;
            sjis.Accept(end, 0);
            euc.Accept(end, 0);
            utf8.Accept(end, 0);
            continue;
        }
        sjisOn = sjisOn && ReadShiftJisChunk(sjis, masks, at);
        eucOn = eucOn && ReadEucJpChunk(euc, masks, at);
        utf8On = utf8On && ReadUtf8Chunk(utf8, masks, at);
    }
    if (sjisOn)
        sjis.ReadUpTo(size);
    if (eucOn)
        euc.ReadUpTo(size);
    if (utf8On)
        utf8.ReadUpTo(size);
    if (!ignore.Contains(TIgnoreEncode::ieSJIS))
        verdicts.sjis = sjis.verdict();
    if (!ignore.Contains(TIgnoreEncode::ieEUC))
        verdicts.euc = euc.verdict();
    if (!ignore.Contains(TIgnoreEncode::ieUTF8))
        verdicts.utf8 = utf8.verdict();
    return verdicts;
}

bool HasJisEscape(QByteArrayView buffer)
{
    return ReadAsciiStart(BytesOf(buffer), buffer.size(), true).jisEscape;
}

Verdict ReadShiftJis(QByteArrayView buffer)
{
    return Reader<ShiftJisRule>(BytesOf(buffer), buffer.size(), 0).ReadToEnd();
}

Verdict ReadEucJp(QByteArrayView buffer)
{
    return Reader<EucJpRule>(BytesOf(buffer), buffer.size(), 0).ReadToEnd();
}

Verdict ReadUtf8(QByteArrayView buffer)
{
    return Reader<Utf8Rule>(BytesOf(buffer), buffer.size(), 0).ReadToEnd();
}

Verdict ReadUtf7(QByteArrayView buffer)
{
    return ReadUtf7(BytesOf(buffer), buffer.size());
}

} // namespace EncodingJudge
