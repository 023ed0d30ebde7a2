#include "util/encoding_judge.h"

#include "util/ascii_run.h"
#include "util/chunk_masks.h"

#include <algorithm>
#include <array>
#include <bit>

namespace EncodingJudge {
namespace {

using EncodeDetect::TIgnoreEncode;

constexpr quint8 kEsc = 0x1B;

constexpr bool InRange(quint8 b, quint8 low, quint8 high) { return b >= low && b <= high; }

// For each byte at a character start: how many bytes follow it (0 for a
// character of one byte), or -1 when no character starts with it.
using FollowTable = std::array<qint8, 256>;
// For each byte after a lead: whether it may stand there.
using AllowedTable = std::array<bool, 256>;

template <typename Follow>
constexpr FollowTable MakeFollow(Follow follow)
{
    FollowTable table{};
    for (int b = 0; b <= 0xFF; ++b)
        table[b] = static_cast<qint8>(follow(static_cast<quint8>(b)));
    return table;
}

template <typename Allowed>
constexpr AllowedTable MakeAllowed(Allowed allowed)
{
    AllowedTable table{};
    for (int b = 0; b <= 0xFF; ++b)
        table[b] = allowed(static_cast<quint8>(b));
    return table;
}

struct ShiftJisRule
{
    static constexpr FollowTable kFollow = MakeFollow([](quint8 b) {
        if (b <= 0x7F || InRange(b, 0xA1, 0xDF))
            return 0;
        return InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, 0xFC) ? 1 : -1;
    });
    static constexpr AllowedTable kAllowed =
        MakeAllowed([](quint8 b) { return InRange(b, 0x40, 0x7E) || InRange(b, 0x80, 0xFC); });
    static bool Allowed(quint8, quint8 b) { return kAllowed[b]; }
};

struct EucJpRule
{
    static constexpr FollowTable kFollow = MakeFollow([](quint8 b) {
        if (b <= 0x7F)
            return 0;
        if (InRange(b, 0xA1, 0xFE) || b == 0x8E)
            return 1;
        return b == 0x8F ? 2 : -1;
    });
    static bool Allowed(quint8 lead, quint8 b) { return InRange(b, 0xA1, lead == 0x8E ? 0xDF : 0xFE); }
};

struct Utf8Rule
{
    static constexpr FollowTable kFollow = MakeFollow([](quint8 b) {
        if (b <= 0x7F)
            return 0;
        if (InRange(b, 0xC0, 0xDF))
            return 1;
        if (InRange(b, 0xE0, 0xEF))
            return 2;
        return InRange(b, 0xF0, 0xF7) ? 3 : -1;
    });
    static bool Allowed(quint8, quint8 b) { return (b & 0xC0) == 0x80; }
};

// Reads a buffer character by character, and can stop at any point and go
// on later. A sequence cut by the end of the buffer scores nothing and its
// next byte is read as a character start again.
template <typename Rule>
class Reader final
{
public:
    Reader(const quint8* bytes, qsizetype size, qsizetype from) : bytes_(bytes), size_(size), next_(from) {}

    // Reads the characters that start before `limit`; false at the first
    // byte out of place, and from then on.
    bool ReadUpTo(qsizetype limit)
    {
        if (!verdict_.passed)
            return false;
        qsizetype i = next_;
        while (i < limit) {
            const quint8 lead = bytes_[i];
            if (lead < 0x80) {
                i = AsciiRun::Skip(bytes_, i, limit);
                continue;
            }
            const int follow = Rule::kFollow[lead];
            if (follow == 0) {
                ++i;
                continue;
            }
            if (follow < 0)
                return verdict_.passed = false;
            const qsizetype end = i + 1 + follow;
            const qsizetype inside = std::min(end, size_);
            for (qsizetype j = i + 1; j < inside; ++j) {
                if (!Rule::Allowed(lead, bytes_[j]))
                    return verdict_.passed = false;
            }
            if (end <= size_) {
                verdict_.score += 1 + follow;
                i = end;
            } else {
                ++i;
            }
        }
        next_ = i;
        return true;
    }

    Verdict ReadToEnd()
    {
        ReadUpTo(size_);
        return verdict_;
    }
    const Verdict& verdict() const { return verdict_; }

    // Where the next character starts.
    qsizetype next() const { return next_; }
    const quint8* bytes() const { return bytes_; }
    // Takes the characters up to `next` as read, with their score.
    void Accept(qsizetype next, int score)
    {
        next_ = next;
        verdict_.score += score;
    }

private:
    const quint8* bytes_;
    qsizetype size_;
    qsizetype next_;
    Verdict verdict_{true, 0};
};

// Readers of 64-byte chunks through bit masks. Each either accepts a
// whole chunk (its characters well-formed, the sequence that runs past its
// end checked too) and moves its reader past it, or leaves the chunk to the
// reader byte by byte, which finds the exact byte out of place. They need
// at least three bytes after the chunk.

constexpr quint64 kEvenBits = 0x5555555555555555ull;

// The bytes at the start of a character in runs of bytes that start a pair
// wherever they start a character: every other byte from the start of each
// run (whose first byte always starts a character).
quint64 PairStartsInRuns(quint64 run)
{
    const quint64 runStarts = run & ~(run << 1);
    // A carry from the first byte of a run clears the run up to its end.
    const quint64 runsFromEven = run & ~(run + (runStarts & kEvenBits));
    return (runsFromEven & kEvenBits) | (run & ~runsFromEven & ~kEvenBits);
}

// The first `count` bytes, which the reader has already taken.
quint64 FirstBytes(qsizetype count) { return (quint64(1) << count) - 1; }

// Without a population count instruction in the baseline instruction set,
// std::popcount calls into the compiler's library.
int Popcount(quint64 bits)
{
    bits -= (bits >> 1) & 0x5555555555555555ull;
    bits = (bits & 0x3333333333333333ull) + ((bits >> 2) & 0x3333333333333333ull);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((bits * 0x0101010101010101ull) >> 56);
}

bool ReadShiftJisChunk(Reader<ShiftJisRule>& reader, const ChunkMasks& masks, qsizetype at)
{
    const qsizetype taken = reader.next() - at;
    const quint64 high = masks.AtLeast(0x80);
    const quint64 ge81 = masks.AtLeast(0x81), geA0 = masks.AtLeast(0xA0), geE0 = masks.AtLeast(0xE0),
                  geFD = masks.AtLeast(0xFD);
    const quint64 leadBytes = (ge81 & ~geA0) | (geE0 & ~geFD);
    const quint64 neverStart = (high & ~ge81) | (geA0 & ~masks.AtLeast(0xA1)) | geFD;
    const quint64 neverTrail = ~masks.AtLeast(0x40) | (masks.AtLeast(0x7F) & ~high) | geFD;
    const quint64 leads = PairStartsInRuns(leadBytes & ~FirstBytes(taken));
    const quint64 trails = leads << 1;
    const quint64 starts = ~trails & ~FirstBytes(taken);
    const qsizetype end = at + ChunkMasks::kSize;
    const bool pastEnd = (leads >> 63) != 0;
    if ((starts & neverStart) != 0 || (trails & neverTrail) != 0
        || (pastEnd && !ShiftJisRule::kAllowed[reader.bytes()[end]]))
        return reader.ReadUpTo(end);
    reader.Accept(end + (pastEnd ? 1 : 0), 2 * Popcount(leads));
    return true;
}

bool ReadEucJpChunk(Reader<EucJpRule>& reader, const ChunkMasks& masks, qsizetype at)
{
    const qsizetype taken = reader.next() - at;
    const qsizetype end = at + ChunkMasks::kSize;
    // JIS X 0212 (three bytes) is rare: byte by byte.
    if (masks.Between(0x8F, 0x8F) != 0)
        return reader.ReadUpTo(end);
    const quint64 high = masks.AtLeast(0x80);
    const quint64 single2 = masks.Between(0x8E, 0x8E);
    const quint64 jisBytes = masks.Between(0xA1, 0xFE);
    const quint64 leads = PairStartsInRuns(high & ~FirstBytes(taken));
    const quint64 trails = leads << 1;
    const quint64 kanaAbove = ((leads & single2) << 1) & masks.AtLeast(0xE0);
    const bool pastEnd = (leads >> 63) != 0;
    if ((leads & ~(jisBytes | single2)) != 0 || (trails & ~jisBytes) != 0 || kanaAbove != 0
        || (pastEnd && !EucJpRule::Allowed(reader.bytes()[end - 1], reader.bytes()[end])))
        return reader.ReadUpTo(end);
    reader.Accept(end + (pastEnd ? 1 : 0), 2 * Popcount(leads));
    return true;
}

bool ReadUtf8Chunk(Reader<Utf8Rule>& reader, const ChunkMasks& masks, qsizetype at)
{
    const qsizetype taken = reader.next() - at;
    const qsizetype end = at + ChunkMasks::kSize;
    const quint64 high = masks.AtLeast(0x80);
    const quint64 geC0 = masks.AtLeast(0xC0), geE0 = masks.AtLeast(0xE0), geF0 = masks.AtLeast(0xF0);
    const quint64 lead2 = geC0 & ~geE0, lead3 = geE0 & ~geF0, lead4 = geF0;
    // Every byte after a lead must continue it, and every continuation byte
    // must follow a lead: then the characters are well-formed.
    const quint64 continuation = high & ~geC0 & ~FirstBytes(taken);
    const quint64 needed = (lead2 << 1) | (lead3 << 1) | (lead3 << 2) | (lead4 << 1) | (lead4 << 2) | (lead4 << 3);
    const quint64 neededPastEnd =
        (lead2 >> 63) | (lead3 >> 63) | (lead3 >> 62) | (lead4 >> 63) | (lead4 >> 62) | (lead4 >> 61);
    const qsizetype pastEnd = Popcount(neededPastEnd);
    bool wellFormed = masks.AtLeast(0xF8) == 0 && needed == continuation && neededPastEnd == FirstBytes(pastEnd);
    for (qsizetype k = 0; k < pastEnd && wellFormed; ++k)
        wellFormed = Utf8Rule::Allowed(0, reader.bytes()[end + k]);
    if (!wellFormed)
        return reader.ReadUpTo(end);
    reader.Accept(end + pastEnd, Popcount(high & ~FirstBytes(taken)) + static_cast<int>(pastEnd));
    return true;
}

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
