#include "util/multi_byte_table.h"

#include <cerrno>
#include <iconv.h>

namespace {

// What the converter makes of a few bytes from their start.
struct Reading
{
    enum What { kCharacter, kIncomplete, kInvalid, kUnexpected } what;
    char16_t unit = 0;
};

class Prober final
{
public:
    // glibc's wide characters are UCS-4: one conversion step, no byte order.
    explicit Prober(const char* name) : cd_(iconv_open("WCHAR_T", name)) {}
    ~Prober()
    {
        if (valid())
            iconv_close(cd_);
    }
    Prober(const Prober&) = delete;
    Prober& operator=(const Prober&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    Reading Read(std::initializer_list<quint8> bytes)
    {
        char in[4];
        size_t inLeft = 0;
        for (const quint8 b : bytes)
            in[inLeft++] = static_cast<char>(b);
        const size_t length = inLeft;
        wchar_t out[2];
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        const bool ok = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
        const int error = ok ? 0 : errno;
        const size_t produced = (sizeof out - outLeft) / sizeof(wchar_t);
        if (!ok && inLeft == length && produced == 0) {
            if (error == EINVAL)
                return {Reading::kIncomplete};
            return {error == EILSEQ ? Reading::kInvalid : Reading::kUnexpected};
        }
        // One character of the basic plane, not U+0000 in a sequence, and
        // nothing of the input left over.
        const auto c = static_cast<char32_t>(out[0]);
        if (!ok || produced != 1 || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF) || (c == 0 && length > 1))
            return {Reading::kUnexpected};
        return {Reading::kCharacter, static_cast<char16_t>(c)};
    }

private:
    iconv_t cd_;
};

// Appends a row of 256 that holds nothing; returns its number.
char16_t NewRow(std::vector<char16_t>& rows)
{
    rows.resize(rows.size() + 256, 0);
    return static_cast<char16_t>(rows.size() / 256 - 1);
}

// The row of a lead byte: each second byte read with it. False when the
// converter reads something no table of this shape holds.
bool ReadLeadRow(Prober& prober, quint8 lead, MultiByteTable& table)
{
    const quint32 row = NewRow(table.pairs) * 256u;
    bool pairs = false;
    bool triples = false;
    for (int second = 0; second <= 0xFF; ++second) {
        const Reading pair = prober.Read({lead, static_cast<quint8>(second)});
        if (pair.what == Reading::kCharacter) {
            table.pairs[row + second] = pair.unit;
            pairs = true;
        } else if (pair.what == Reading::kIncomplete) {
            if (table.triples.empty())
                NewRow(table.triples);
            if (table.triples.size() / 256 > 0xFFFF)
                return false;
            const char16_t tripleRow = NewRow(table.triples);
            table.pairs[row + second] = tripleRow;
            for (int third = 0; third <= 0xFF; ++third) {
                const Reading triple = prober.Read({lead, static_cast<quint8>(second), static_cast<quint8>(third)});
                if (triple.what == Reading::kCharacter)
                    table.triples[tripleRow * 256u + third] = triple.unit;
                else if (triple.what != Reading::kInvalid)
                    return false;
            }
            triples = true;
        } else if (pair.what != Reading::kInvalid) {
            return false;
        }
    }
    // A lead that is sometimes two bytes long and sometimes three.
    if (pairs && triples)
        return false;
    table.kind[lead] = triples ? MultiByteTable::kTripleLead : MultiByteTable::kPairLead;
    (triples ? table.tripleRows : table.pairRow)[lead] = row;
    return true;
}

// The Shift_JIS pair of a JIS X 0208 code.
std::pair<quint8, quint8> ShiftJisOfJis(int row, int cell)
{
    const int lead = ((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0);
    const int trail = cell + ((row & 1) != 0 ? (cell < 0x60 ? 0x1F : 0x20) : 0x7E);
    return {static_cast<quint8>(lead), static_cast<quint8>(trail)};
}

char16_t PairOf(const MultiByteTable& table, quint8 lead, quint8 second)
{
    return table.kind[lead] == MultiByteTable::kPairLead ? table.pairs[table.pairRow[lead] + second] : 0;
}

void ReadJisX0208AsCp932(MultiByteTable& table)
{
    for (char16_t& unit : table.single)
        unit = JisX0208AsCp932(unit);
    for (int lead = 0; lead <= 0xFF; ++lead) {
        if (table.kind[lead] != MultiByteTable::kPairLead)
            continue;
        for (quint32 i = table.pairRow[lead]; i < table.pairRow[lead] + 256; ++i)
            table.pairs[i] = JisX0208AsCp932(table.pairs[i]);
    }
    for (char16_t& unit : table.triples)
        unit = JisX0208AsCp932(unit);
}

} // namespace

MultiByteTable MultiByteTableFromIconv(const char* name)
{
    MultiByteTable table;
    Prober prober(name);
    if (!prober.valid())
        return table;
    NewRow(table.pairs);
    for (int b = 0; b <= 0xFF; ++b) {
        const auto byte = static_cast<quint8>(b);
        const Reading alone = prober.Read({byte});
        if (alone.what == Reading::kCharacter) {
            table.kind[byte] = MultiByteTable::kSingle;
            table.single[byte] = alone.unit;
        } else if (alone.what == Reading::kIncomplete) {
            if (!ReadLeadRow(prober, byte, table))
                return MultiByteTable();
        } else if (alone.what != Reading::kInvalid) {
            return MultiByteTable();
        }
    }
    table.asciiIsIdentity = true;
    for (int b = 0; b < 0x80; ++b)
        table.asciiIsIdentity &= table.kind[b] == MultiByteTable::kSingle && table.single[b] == b;
    table.usable = true;
    return table;
}

MultiByteTable EucJpTableFromIconv(JisX0208Reading reading, const MultiByteTable& cp932)
{
    MultiByteTable table = MultiByteTableFromIconv("EUC-JP");
    if (!table.usable || !cp932.usable)
        return MultiByteTable();
    for (int lead = 0xA1; lead <= 0xFE; ++lead) {
        if (table.kind[lead] == MultiByteTable::kNothing) {
            table.kind[lead] = MultiByteTable::kPairLead;
            table.pairRow[lead] = NewRow(table.pairs) * 256u;
        }
        if (table.kind[lead] != MultiByteTable::kPairLead)
            continue;
        for (int second = 0xA1; second <= 0xFE; ++second) {
            char16_t& unit = table.pairs[table.pairRow[lead] + second];
            if (unit == 0) {
                const auto [sjisLead, sjisTrail] = ShiftJisOfJis(lead & 0x7F, second & 0x7F);
                unit = PairOf(cp932, sjisLead, sjisTrail);
            }
        }
    }
    if (reading == JisX0208Reading::Cp932)
        ReadJisX0208AsCp932(table);
    return table;
}

const MultiByteTable& Cp932Table()
{
    static const MultiByteTable table = MultiByteTableFromIconv("CP932");
    return table;
}

const MultiByteTable& EucJpTable(JisX0208Reading reading)
{
    if (reading == JisX0208Reading::Cp932) {
        static const MultiByteTable table = EucJpTableFromIconv(JisX0208Reading::Cp932, Cp932Table());
        return table;
    }
    static const MultiByteTable table = EucJpTableFromIconv(JisX0208Reading::Converter, Cp932Table());
    return table;
}
