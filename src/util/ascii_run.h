#pragma once

#include <QtGlobal>

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Runs of ASCII bytes taken many at a time: most of a catalogue page is
// markup.
namespace AsciiRun {

inline constexpr quint64 kHighBits = 0x8080808080808080ull;

inline quint64 Load64(const quint8* at)
{
    quint64 word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The offset of the first byte whose high bit is set in a word that has one.
inline qsizetype FirstHighByte(quint64 highBits)
{
    if constexpr (std::endian::native == std::endian::little)
        return std::countr_zero(highBits) >> 3;
    else
        return std::countl_zero(highBits) >> 3;
}

// The index of the first byte at or above 80 from `from` on, or `end`.
inline qsizetype Skip(const quint8* bytes, qsizetype from, qsizetype end)
{
    qsizetype i = from;
    while (i + 32 <= end) {
        if (((Load64(bytes + i) | Load64(bytes + i + 8) | Load64(bytes + i + 16) | Load64(bytes + i + 24))
             & kHighBits)
            != 0)
            break;
        i += 32;
    }
    while (i + 8 <= end) {
        const quint64 high = Load64(bytes + i) & kHighBits;
        if (high != 0)
            return i + FirstHighByte(high);
        i += 8;
    }
    while (i < end && bytes[i] < 0x80)
        ++i;
    return i;
}

// Writes the ASCII bytes from `from` on to `out` as UTF-16 up to the first
// byte at or above 80 (or `end`) and returns its index; `out` moves past
// what was written. `out` must have room for `end - from` units: units past
// the run may be written too, to be overwritten by what follows.
inline qsizetype Widen(const quint8* bytes, qsizetype from, qsizetype end, char16_t*& out)
{
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= end) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(chunk, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(chunk, zero));
        const int high = _mm_movemask_epi8(chunk);
        if (high != 0) {
            const int ascii = std::countr_zero(static_cast<unsigned>(high));
            out += ascii;
            return i + ascii;
        }
        i += 16;
        out += 16;
    }
#else
    while (i + 8 <= end && (Load64(bytes + i) & kHighBits) == 0) {
        for (int k = 0; k < 8; ++k)
            out[k] = bytes[i + k];
        i += 8;
        out += 8;
    }
#endif
    while (i < end && bytes[i] < 0x80)
        *out++ = bytes[i++];
    return i;
}

// Writes the bytes from `from` up to `to` to `out` as the UTF-16 units of
// the same values; `out` moves past them.
inline void WidenAll(const quint8* bytes, qsizetype from, qsizetype to, char16_t*& out)
{
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= to; i += 16, out += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(chunk, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(chunk, zero));
    }
#endif
    while (i < to)
        *out++ = bytes[i++];
}

// Each byte of the word that is zero gets its high bit set; bytes above the
// first zero byte may too, never bytes below it.
inline quint64 ZeroBytes(quint64 word)
{
    return (word - 0x0101010101010101ull) & ~word & kHighBits;
}

} // namespace AsciiRun
