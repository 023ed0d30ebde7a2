#pragma once

#include "util/ascii_run.h"
#include "util/encoding_judge.h"

#include <algorithm>
#include <array>

// The character rules of the multi-byte tests of EncodeDetect, and a
// reader that walks a buffer by them.
namespace EncodingJudge {

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

} // namespace EncodingJudge
