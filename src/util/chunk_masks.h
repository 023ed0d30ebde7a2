#pragma once

#include <QtGlobal>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// 64 bytes seen as bit masks, bit i for byte i: a whole run of bytes
// classified with a few vector compares and no branch on the bytes.
class ChunkMasks final
{
public:
    static constexpr qsizetype kSize = 64;

    explicit ChunkMasks(const quint8* bytes)
    {
#if defined(__SSE2__)
        const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
        for (int k = 0; k < 4; ++k)
            biased_[k] = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * k)), bias);
#else
        bytes_ = bytes;
#endif
    }

    // The bytes at or above `threshold`.
    quint64 AtLeast(quint8 threshold) const
    {
        if (threshold == 0)
            return ~quint64(0);
#if defined(__SSE2__)
        // Unsigned order through the signed compare: both sides biased by 80.
        const __m128i below = _mm_set1_epi8(static_cast<char>((threshold - 1) ^ 0x80));
        quint64 mask = 0;
        for (int k = 0; k < 4; ++k) {
            const auto bits = static_cast<quint16>(_mm_movemask_epi8(_mm_cmpgt_epi8(biased_[k], below)));
            mask |= quint64(bits) << (16 * k);
        }
        return mask;
#else
        quint64 mask = 0;
        for (int i = 0; i < kSize; ++i)
            mask |= quint64(bytes_[i] >= threshold) << i;
        return mask;
#endif
    }

    // The bytes from `low` to `high`.
    quint64 Between(quint8 low, quint8 high) const
    {
        return high == 0xFF ? AtLeast(low) : AtLeast(low) & ~AtLeast(static_cast<quint8>(high + 1));
    }

private:
#if defined(__SSE2__)
    __m128i biased_[4];
#else
    const quint8* bytes_;
#endif
};
