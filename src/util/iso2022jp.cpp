#include "util/iso2022jp.h"

#include "util/ascii_run.h"
#include "util/multi_byte_table.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr quint8 kEsc = 0x1B;
constexpr quint8 kShiftOut = 0x0E;
constexpr quint8 kShiftIn = 0x0F;

enum class Mode { Ascii, Kana, Jis0208, Jis0212 };

// The mode an escape sequence switches to and how many bytes follow the
// ESC, or 0 bytes when the ESC starts none that is understood.
struct Escape
{
    qsizetype length = 0;
    Mode mode = Mode::Ascii;
};

Escape EscapeAt(const quint8* after, qsizetype left)
{
    const auto at = [&](qsizetype i) { return i < left ? after[i] : quint8(0); };
    switch (at(0)) {
    case '(':
        switch (at(1)) {
        case 'B':
        case 'J':
        case 'H': return {2, Mode::Ascii};
        case 'I': return {2, Mode::Kana};
        default: return {};
        }
    case '$':
        switch (at(1)) {
        case '@':
        case 'B': return {2, Mode::Jis0208};
        case '(':
            if (at(2) == 'B')
                return {3, Mode::Jis0208};
            if (at(2) == 'D')
                return {3, Mode::Jis0212};
            return {};
        default: return {};
        }
    case '&':
        if (at(1) == '@' && at(2) == kEsc && at(3) == '$' && at(4) == 'B')
            return {5, Mode::Jis0208};
        return {};
    default: return {};
    }
}

bool IsGraphic(quint8 b) { return b >= 0x21 && b <= 0x7E; }

// The end of the run of ASCII bytes from `i` on that change no mode: no
// ESC, SO or SI.
qsizetype PlainRunEnd(const quint8* in, qsizetype i, qsizetype size)
{
    using namespace AsciiRun;
    for (; i + 8 <= size; i += 8) {
        const quint64 word = Load64(in + i);
        const quint64 stops = ZeroBytes(word ^ 0x1B1B1B1B1B1B1B1Bull)
                              | ZeroBytes((word ^ 0x0E0E0E0E0E0E0E0Eull) & 0xFEFEFEFEFEFEFEFEull) | (word & kHighBits);
        if (stops != 0)
            return i + FirstHighByte(stops);
    }
    while (i < size && in[i] < 0x80 && in[i] != kEsc && in[i] != kShiftOut && in[i] != kShiftIn)
        ++i;
    return i;
}

class Reader final
{
public:
    Reader(QByteArrayView bytes, const MultiByteTable& euc, char16_t* out)
        : in_(reinterpret_cast<const quint8*>(bytes.data())), size_(bytes.size()), euc_(euc), out_(out)
    {
    }

    // Reads everything; returns the end of what was written.
    char16_t* Run()
    {
        while (i_ < size_) {
            if (mode_ == Mode::Ascii && !shiftedOut_ && euc_.asciiIsIdentity) {
                const qsizetype end = PlainRunEnd(in_, i_, size_);
                AsciiRun::WidenAll(in_, i_, end, out_);
                i_ = end;
                if (i_ == size_)
                    break;
            } else if ((mode_ == Mode::Jis0208 || mode_ == Mode::Jis0212) && !shiftedOut_) {
                ReadKanji();
                if (i_ == size_)
                    break;
            }
            ReadOne();
        }
        return out_;
    }

private:
    // Pairs of graphic bytes, as long as they come.
    void ReadKanji()
    {
        while (i_ + 1 < size_ && IsGraphic(in_[i_]) && IsGraphic(in_[i_ + 1])) {
            const quint8 first = in_[i_] | 0x80;
            const quint8 second = in_[i_ + 1] | 0x80;
            *out_++ = mode_ == Mode::Jis0208 ? Pair(first, second) : Triple(first, second);
            i_ += 2;
        }
    }

    void ReadOne()
    {
        const quint8 b = in_[i_];
        if (b == kEsc) {
            ReadEscape();
            return;
        }
        ++i_;
        if (b == kShiftOut || b == kShiftIn) {
            shiftedOut_ = b == kShiftOut;
        } else if (b >= 0x80) {
            // 8-bit half-width katakana, as the JIS form of code page 50222 allows.
            *out_++ = b >= 0xA1 && b <= 0xDF ? Pair(0x8E, b) : kReplacement;
        } else if (!IsGraphic(b) || (mode_ == Mode::Ascii && !shiftedOut_)) {
            *out_++ = Single(b);
        } else if (shiftedOut_ || mode_ == Mode::Kana) {
            *out_++ = b <= 0x5F ? Pair(0x8E, b | 0x80) : kReplacement;
        } else {
            // The first half of a pair without its second.
            *out_++ = kReplacement;
        }
    }

    void ReadEscape()
    {
        const Escape escape = EscapeAt(in_ + i_ + 1, size_ - i_ - 1);
        if (escape.length == 0) {
            *out_++ = kReplacement;
            ++i_;
            return;
        }
        mode_ = escape.mode;
        i_ += 1 + escape.length;
    }

    char16_t Single(quint8 b) const
    {
        return euc_.kind[b] == MultiByteTable::kSingle ? euc_.single[b] : kReplacement;
    }

    char16_t Pair(quint8 lead, quint8 second) const
    {
        const char16_t unit = euc_.pairs[euc_.pairRow[lead] + second];
        return unit != 0 ? unit : kReplacement;
    }

    char16_t Triple(quint8 second, quint8 third) const
    {
        if (euc_.kind[0x8F] != MultiByteTable::kTripleLead)
            return kReplacement;
        const char16_t row = euc_.pairs[euc_.tripleRows[0x8F] + second];
        const char16_t unit = euc_.triples[row * 256u + third];
        return unit != 0 ? unit : kReplacement;
    }

    const quint8* in_;
    qsizetype size_;
    const MultiByteTable& euc_;
    char16_t* out_;
    qsizetype i_ = 0;
    Mode mode_ = Mode::Ascii;
    bool shiftedOut_ = false;
};

} // namespace

QString DecodeIso2022Jp(QByteArrayView bytes, JisX0208Reading reading)
{
    const MultiByteTable& euc = EucJpTable(reading);
    if (!euc.usable || bytes.isEmpty())
        return QString();
    // Every byte gives at most one UTF-16 code unit.
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* const start = reinterpret_cast<char16_t*>(text.data());
    text.truncate(Reader(bytes, euc, start).Run() - start);
    return text;
}
