#include "util/multi_byte_decode.h"

#include "util/ascii_run.h"
#include "util/multi_byte_table.h"

#include <algorithm>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool InRange(quint8 b, quint8 low, quint8 high) { return b >= low && b <= high; }

// How many bytes an undecodable sequence at `at` spans; one replacement
// character stands for all of them. A well-formed pair that the table does
// not hold is one character, as Windows counts it.
qsizetype BadShiftJisLength(const quint8* at, qsizetype left)
{
    const auto lead = [](quint8 b) { return InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, 0xFC); };
    const auto trail = [](quint8 b) { return InRange(b, 0x40, 0x7E) || InRange(b, 0x80, 0xFC); };
    return left >= 2 && lead(at[0]) && trail(at[1]) ? 2 : 1;
}

qsizetype BadEucJpLength(const quint8* at, qsizetype left)
{
    const auto high = [](quint8 b) { return InRange(b, 0xA1, 0xFE); };
    if (at[0] == 0x8F && left >= 3 && high(at[1]) && high(at[2]))
        return 3;
    if (left >= 2 && (high(at[0]) || at[0] == 0x8E) && high(at[1]))
        return 2;
    return 1;
}

// The character of the sequence at `at` and its length, or length 0 when
// the table holds none there.
struct Character
{
    char16_t unit;
    qsizetype length;
};

inline Character Read(const MultiByteTable& table, const quint8* at, qsizetype left)
{
    const quint8 first = at[0];
    switch (table.kind[first]) {
    case MultiByteTable::kSingle:
        return {table.single[first], 1};
    case MultiByteTable::kPairLead:
        if (left >= 2) {
            const char16_t unit = table.pairs[table.pairRow[first] + at[1]];
            if (unit != 0)
                return {unit, 2};
        }
        return {0, 0};
    case MultiByteTable::kTripleLead:
        if (left >= 3) {
            const char16_t row = table.pairs[table.tripleRows[first] + at[1]];
            const char16_t unit = table.triples[row * 256u + at[2]];
            if (unit != 0)
                return {unit, 3};
        }
        return {0, 0};
    default:
        return {0, 0};
    }
}

QString Decode(QByteArrayView bytes, const MultiByteTable& table, qsizetype (*badLength)(const quint8*, qsizetype))
{
    if (!table.usable || bytes.isEmpty())
        return QString();
    const auto* in = reinterpret_cast<const quint8*>(bytes.data());
    const qsizetype size = bytes.size();
    // No sequence gives more UTF-16 code units than it has bytes.
    QString text(size, Qt::Uninitialized);
    char16_t* const start = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = start;
    qsizetype i = 0;
    while (i < size) {
        const quint8 first = in[i];
        if (first < 0x80 && table.asciiIsIdentity) {
            i = AsciiRun::Widen(in, i, size, out);
            continue;
        }
        // Pairs first: the bulk of Japanese text. A byte that leads no pair
        // finds a row that holds nothing.
        if (i + 1 < size) {
            const char16_t unit = table.pairs[table.pairRow[first] + in[i + 1]];
            if (unit != 0) {
                *out++ = unit;
                i += 2;
                continue;
            }
        }
        const Character c = Read(table, in + i, size - i);
        if (c.length != 0) {
            *out++ = c.unit;
            i += c.length;
        } else {
            *out++ = kReplacement;
            i += std::min(badLength(in + i, size - i), size - i);
        }
    }
    text.truncate(out - start);
    return text;
}

} // namespace

QString DecodeShiftJis(QByteArrayView bytes)
{
    return Decode(bytes, Cp932Table(), &BadShiftJisLength);
}

QString DecodeEucJp(QByteArrayView bytes, JisX0208Reading reading)
{
    return Decode(bytes, EucJpTable(reading), &BadEucJpLength);
}
