#include "util/utf_decode.h"

#include "util/ascii_run.h"

#include <QtEndian>

#include <array>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

constexpr bool InRange(quint8 b, quint8 low, quint8 high) { return b >= low && b <= high; }
bool IsContinuation(quint32 b) { return (b & 0xC0) == 0x80; }

// What a byte at the start of a character begins: how long the sequence
// is (0: nothing) and the bytes its second byte may take, narrower after
// E0, ED, F0 and F4, which would otherwise begin overlong forms, surrogates
// or code points beyond Unicode.
struct Lead
{
    quint8 length = 0;
    quint8 low = 0x80;
    quint8 high = 0xBF;
};

constexpr std::array<Lead, 256> kLeads = [] {
    std::array<Lead, 256> leads{};
    for (int b = 0; b <= 0xFF; ++b) {
        const auto byte = static_cast<quint8>(b);
        leads[b].length = byte < 0x80                 ? 1
                          : InRange(byte, 0xC2, 0xDF) ? 2
                          : InRange(byte, 0xE0, 0xEF) ? 3
                          : InRange(byte, 0xF0, 0xF4) ? 4
                                                      : 0;
    }
    leads[0xE0].low = 0xA0;
    leads[0xED].high = 0x9F;
    leads[0xF0].low = 0x90;
    leads[0xF4].high = 0x8F;
    return leads;
}();

// The length of the longest start of a well-formed sequence at `at` (at
// least 1): one replacement character stands for all of it.
qsizetype BadLength(const quint8* at, qsizetype left)
{
    const Lead lead = kLeads[at[0]];
    qsizetype length = 1;
    while (length < lead.length && length < left) {
        const quint8 b = at[length];
        if (length == 1 ? !InRange(b, lead.low, lead.high) : !IsContinuation(b))
            break;
        ++length;
    }
    return length;
}

} // namespace

QString DecodeUtf8(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    const auto* in = reinterpret_cast<const quint8*>(bytes.data());
    const qsizetype size = bytes.size();
    // No sequence gives more UTF-16 code units than it has bytes.
    QString text(size, Qt::Uninitialized);
    char16_t* const start = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = start;
    bool replaced = false;
    qsizetype i = 0;
    while (i < size) {
        const quint8 lead = in[i];
        if (lead < 0x80) {
            i = AsciiRun::Widen(in, i, size, out);
            continue;
        }
        const qsizetype left = size - i;
        const Lead info = kLeads[lead];
        const quint32 second = left >= 2 ? in[i + 1] : 0;
        const quint32 third = left >= 3 ? in[i + 2] : 0;
        const bool secondFits = second >= info.low && second <= info.high;
        if (info.length == 3 && secondFits && IsContinuation(third)) {
            const auto unit = static_cast<char16_t>(((lead & 0x0Fu) << 12) | ((second & 0x3Fu) << 6) | (third & 0x3Fu));
            replaced |= unit == kReplacement;
            *out++ = unit;
            i += 3;
        } else if (info.length == 2 && secondFits) {
            *out++ = static_cast<char16_t>(((lead & 0x1Fu) << 6) | (second & 0x3Fu));
            i += 2;
        } else if (info.length == 4 && left >= 4 && secondFits && IsContinuation(third) && IsContinuation(in[i + 3])) {
            const char32_t c = ((lead & 0x07u) << 18) | ((second & 0x3Fu) << 12) | ((third & 0x3Fu) << 6)
                               | (in[i + 3] & 0x3Fu);
            *out++ = QChar::highSurrogate(c);
            *out++ = QChar::lowSurrogate(c);
            i += 4;
        } else {
            *out++ = kReplacement;
            replaced = true;
            i += BadLength(in + i, left);
        }
    }
    text.truncate(out - start);
    // Where the text came through cleanly, the decoder before this one used
    // Qt's, which drops a leading mark.
    if (!replaced && bytes.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 1);
    return text;
}

QString DecodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    if (bigEndian)
        qFromBigEndian<quint16>(bytes.data(), text.size(), text.data());
    else
        qFromLittleEndian<quint16>(bytes.data(), text.size(), text.data());
    return text;
}

QString DecodeUtf32(QByteArrayView bytes, bool bigEndian)
{
    QString text;
    text.reserve(bytes.size() / 4);
    const auto* b = reinterpret_cast<const uchar*>(bytes.data());
    for (qsizetype i = 0; i + 4 <= bytes.size(); i += 4) {
        const char32_t c = bigEndian ? qFromBigEndian<quint32>(b + i) : qFromLittleEndian<quint32>(b + i);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            text.append(QChar(kReplacement));
        else
            text.append(QChar::fromUcs4(c));
    }
    return text;
}
