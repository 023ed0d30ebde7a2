#pragma once

#include "util/chunk_masks.h"
#include "util/sequence_reader.h"

namespace EncodingJudge {

inline constexpr quint64 kEvenBits = 0x5555555555555555ull;

// The bytes at the start of a character in runs of bytes that start a pair
// wherever they start a character: every other byte from the start of each
// run (whose first byte always starts a character).
inline quint64 PairStartsInRuns(quint64 run)
{
    const quint64 runStarts = run & ~(run << 1);
    // A carry from the first byte of a run clears the run up to its end.
    const quint64 runsFromEven = run & ~(run + (runStarts & kEvenBits));
    return (runsFromEven & kEvenBits) | (run & ~runsFromEven & ~kEvenBits);
}

// The first `count` bytes, which the reader has already taken.
inline quint64 FirstBytes(qsizetype count) { return (quint64(1) << count) - 1; }

// Without a population count instruction in the baseline instruction set,
// std::popcount calls into the compiler's library.
inline int Popcount(quint64 bits)
{
    bits -= (bits >> 1) & 0x5555555555555555ull;
    bits = (bits & 0x3333333333333333ull) + ((bits >> 2) & 0x3333333333333333ull);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((bits * 0x0101010101010101ull) >> 56);
}

// Readers of 64-byte chunks through bit masks. Each either accepts a
// whole chunk (its characters well-formed, the sequence that runs past its
// end checked too) and moves its reader past it, or leaves the chunk to the
// reader byte by byte, which finds the exact byte out of place. They need
// at least three bytes after the chunk.
inline bool ReadShiftJisChunk(Reader<ShiftJisRule>& reader, const ChunkMasks& masks, qsizetype at)
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

inline bool ReadEucJpChunk(Reader<EucJpRule>& reader, const ChunkMasks& masks, qsizetype at)
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

inline bool ReadUtf8Chunk(Reader<Utf8Rule>& reader, const ChunkMasks& masks, qsizetype at)
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

} // namespace EncodingJudge
