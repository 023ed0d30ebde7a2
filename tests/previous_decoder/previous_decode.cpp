// The decoders as they were: iconv for every multi-byte code page, one
// replacement character per sequence it rejects, ISO-2022-JP rewritten as
// EUC-JP first, the fix-up table as a second pass over the text.
#include "previous_decoder.h"

#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace PreviousDecoder {
namespace {


#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kNativeUtf16 = "UTF-16LE";
#else
constexpr const char* kNativeUtf16 = "UTF-16BE";
#endif

// An iconv conversion descriptor that closes itself.
class IconvHandle
{
public:
    IconvHandle(const char* to, const char* from)
    {
        cd_ = iconv_open(to, from);
    }
    ~IconvHandle()
    {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }
    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

bool InRange(quint8 b, quint8 low, quint8 high) { return b >= low && b <= high; }

bool IsSjisLead(quint8 b) { return InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, 0xFC); }
bool IsSjisTrail(quint8 b) { return InRange(b, 0x40, 0x7E) || InRange(b, 0x80, 0xFC); }

// How many bytes an undecodable sequence at `at` spans; one replacement
// character stands for all of them. A well-formed pair that the table does
// not hold is one character, as Windows counts it.
qsizetype BadSjisLength(const quint8* at, qsizetype left)
{
    return left >= 2 && IsSjisLead(at[0]) && IsSjisTrail(at[1]) ? 2 : 1;
}

qsizetype BadEucLength(const quint8* at, qsizetype left)
{
    const auto high = [](quint8 b) { return InRange(b, 0xA1, 0xFE); };
    if (at[0] == 0x8F && left >= 3 && high(at[1]) && high(at[2]))
        return 3;
    if (left >= 2 && (high(at[0]) || at[0] == 0x8E) && high(at[1]))
        return 2;
    return 1;
}

// The longest start of a well-formed UTF-8 sequence (one replacement
// character per such "maximal subpart", as Windows and browsers do).
qsizetype BadUtf8Length(const quint8* at, qsizetype left)
{
    const quint8 lead = at[0];
    int follow = 0;
    quint8 low = 0x80;
    quint8 high = 0xBF;
    if (InRange(lead, 0xC2, 0xDF)) {
        follow = 1;
    } else if (InRange(lead, 0xE0, 0xEF)) {
        follow = 2;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (InRange(lead, 0xF0, 0xF4)) {
        follow = 3;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    qsizetype length = 1;
    for (int k = 0; k < follow && length < left; ++k) {
        const quint8 b = at[length];
        if (k == 0 ? !InRange(b, low, high) : !InRange(b, 0x80, 0xBF))
            break;
        ++length;
    }
    return length;
}

// A second chance for a sequence the main table rejects: the character, or
// 0 when there is none.
class FallbackDecoder
{
public:
    virtual ~FallbackDecoder() = default;
    virtual char16_t Decode(const quint8* at, qsizetype length) = 0;
};

// The EUC-JP rows only Windows' tables hold (NEC special characters in row
// 13, NEC-selected IBM extensions in rows 89 to 92): the same JIS code
// through CP932, the way Windows' EUC-JP decoder reads them.
class EucRowsFromCp932 final : public FallbackDecoder
{
public:
    char16_t Decode(const quint8* at, qsizetype length) override
    {
        if (length != 2 || !InRange(at[0], 0xA1, 0xFE))
            return 0;
        if (!cp932_) {
            cp932_ = std::make_unique<IconvHandle>(kNativeUtf16, "CP932");
            if (!cp932_->valid())
                return 0;
        }
        const int row = at[0] & 0x7F;
        const int cell = at[1] & 0x7F;
        char sjis[2];
        sjis[0] = static_cast<char>(((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0));
        sjis[1] = static_cast<char>(cell + ((row & 1) != 0 ? (cell < 0x60 ? 0x1F : 0x20) : 0x7E));
        char* in = sjis;
        size_t inLeft = 2;
        char16_t unit = 0;
        char* out = reinterpret_cast<char*>(&unit);
        size_t outLeft = sizeof unit;
        cp932_->reset();
        if (iconv(cp932_->get(), &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || outLeft != 0)
            return 0;
        return unit;
    }

private:
    std::unique_ptr<IconvHandle> cp932_;
};

constexpr char16_t kReplacement = 0xFFFD;

// Decodes with an iconv table; each sequence it rejects becomes the fallback's
// character or U+FFFD, and decoding goes on right after it.
QString DecodeWithIconv(const char* name, QByteArrayView bytes,
                        qsizetype (*badLength)(const quint8*, qsizetype), FallbackDecoder* fallback)
{
    IconvHandle handle(kNativeUtf16, name);
    if (!handle.valid())
        return QString();

    // None of these encodings gives more UTF-16 code units than it has bytes.
    QString text(bytes.size() + 1, Qt::Uninitialized);
    qsizetype written = 0;
    auto* in = const_cast<char*>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    while (inLeft > 0) {
        if (text.size() - written < 2)
            text.resize(text.size() * 2 + 2);
        char* out = reinterpret_cast<char*>(text.data() + written);
        size_t outLeft = static_cast<size_t>(text.size() - written) * sizeof(char16_t);
        const size_t outBefore = outLeft;
        const size_t rc = iconv(handle.get(), &in, &inLeft, &out, &outLeft);
        const int error = rc == static_cast<size_t>(-1) ? errno : 0;
        written += static_cast<qsizetype>((outBefore - outLeft) / sizeof(char16_t));
        if (error == 0 || error == E2BIG)
            continue;
        // EILSEQ, or EINVAL for a sequence cut by the end of the bytes.
        const auto* at = reinterpret_cast<const quint8*>(in);
        const qsizetype length = std::min<qsizetype>(badLength(at, static_cast<qsizetype>(inLeft)),
                                                     static_cast<qsizetype>(inLeft));
        const char16_t stand = fallback != nullptr ? fallback->Decode(at, length) : 0;
        if (text.size() - written < 1)
            text.resize(text.size() * 2 + 2);
        text[written++] = QChar(stand != 0 ? stand : kReplacement);
        in += length;
        inLeft -= static_cast<size_t>(length);
    }
    text.truncate(written);
    return text;
}

QString DecodeEucJp(QByteArrayView bytes)
{
    EucRowsFromCp932 fallback;
    return DecodeWithIconv("EUC-JP", bytes, &BadEucLength, &fallback);
}

// Each pair of bytes is one code unit, whatever it holds; a last odd byte is
// ignored.
QString DecodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    const auto* b = reinterpret_cast<const uchar*>(bytes.data());
    for (qsizetype i = 0; i < text.size(); ++i) {
        text[i] = QChar(bigEndian ? qFromBigEndian<quint16>(b + 2 * i)
                                  : qFromLittleEndian<quint16>(b + 2 * i));
    }
    return text;
}

// A code point beyond Unicode or a surrogate becomes U+FFFD; a last
// incomplete unit is ignored.
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


// ISO-2022-JP to EUC-JP.


constexpr char kUnreadable = '\xFF';
constexpr quint8 kEscape = 0x1B;
constexpr quint8 kShiftOut = 0x0E;
constexpr quint8 kShiftIn = 0x0F;

enum class Mode { Ascii, Kana, Jis0208, Jis0212 };

struct Escape
{
    QByteArrayView sequence; // after the ESC
    Mode mode;
};

// Longest first where one sequence starts another.
const Escape kEscapes[] = {
    {"&@\x1B$B", Mode::Jis0208},
    {"$(B", Mode::Jis0208},
    {"$(D", Mode::Jis0212},
    {"(B", Mode::Ascii},
    {"(J", Mode::Ascii},
    {"(H", Mode::Ascii},
    {"(I", Mode::Kana},
    {"$@", Mode::Jis0208},
    {"$B", Mode::Jis0208},
};

bool IsGraphic(quint8 b) { return b >= 0x21 && b <= 0x7E; }

QByteArray Iso2022JpToEucJp(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 2);
    const auto at = [&](qsizetype i) { return static_cast<quint8>(bytes[i]); };
    const qsizetype size = bytes.size();
    Mode mode = Mode::Ascii;
    bool shiftedOut = false;

    qsizetype i = 0;
    while (i < size) {
        const quint8 b = at(i);
        if (b == kEscape) {
            const QByteArrayView rest = bytes.sliced(i + 1);
            const Escape* found = nullptr;
            for (const Escape& escape : kEscapes) {
                if (rest.startsWith(escape.sequence)) {
                    found = &escape;
                    break;
                }
            }
            if (found != nullptr) {
                mode = found->mode;
                i += 1 + found->sequence.size();
            } else {
                out.append(kUnreadable);
                ++i;
            }
            continue;
        }
        if (b == kShiftOut || b == kShiftIn) {
            shiftedOut = b == kShiftOut;
            ++i;
            continue;
        }
        if (b >= 0x80) {
            // 8-bit half-width katakana, as the JIS form of code page 50222 allows.
            if (b >= 0xA1 && b <= 0xDF) {
                out.append('\x8E');
                out.append(static_cast<char>(b));
            } else {
                out.append(kUnreadable);
            }
            ++i;
            continue;
        }
        if (!IsGraphic(b)) {
            out.append(static_cast<char>(b));
            ++i;
            continue;
        }
        if (shiftedOut || mode == Mode::Kana) {
            if (b <= 0x5F) {
                out.append('\x8E');
                out.append(static_cast<char>(b | 0x80));
            } else {
                out.append(kUnreadable);
            }
            ++i;
            continue;
        }
        if (mode == Mode::Ascii) {
            out.append(static_cast<char>(b));
            ++i;
            continue;
        }
        if (i + 1 >= size || !IsGraphic(at(i + 1))) {
            out.append(kUnreadable);
            ++i;
            continue;
        }
        if (mode == Mode::Jis0212)
            out.append('\x8F');
        out.append(static_cast<char>(b | 0x80));
        out.append(static_cast<char>(at(i + 1) | 0x80));
        i += 2;
    }
    return out;
}

QString FixJisX0208(const QString& text)
{
    QString fixed = text;
    for (QChar& c : fixed) {
        switch (c.unicode()) {
        case 0x00A2: c = QChar(0xFFE0); break;
        case 0x00A3: c = QChar(0xFFE1); break;
        case 0x00AC: c = QChar(0xFFE2); break;
        case 0x2014: c = QChar(0x2015); break;
        case 0x2016: c = QChar(0x2225); break;
        case 0x203E: c = QChar(0xFFE3); break;
        case 0x2212: c = QChar(0xFF0D); break;
        case 0x301C: c = QChar(0xFF5E); break;
        default: break;
        }
    }
    return fixed;
}

bool StartsWithBytes(QByteArrayView bytes, QByteArrayView mark, qsizetype longerThan)
{
    return bytes.size() > longerThan && bytes.startsWith(mark);
}

} // namespace

QString DecodeCodePage(QByteArrayView bytes, TCodePage codePage)
{
    if (bytes.isEmpty())
        return QString();
    switch (codePage) {
    case kCodePageShiftJis:
        return DecodeWithIconv("CP932", bytes, &BadSjisLength, nullptr);
    case kCodePageEucJp:
    case kCodePageEucJpMs:
        return DecodeEucJp(bytes);
    case kCodePageIso2022Jp:
    case kCodePageIso2022JpKana:
    case kCodePageIso2022JpSoSi:
        return DecodeEucJp(Iso2022JpToEucJp(bytes));
    case kCodePageUtf8: {
        // Qt's decoder is much faster; where it had to replace something,
        // iconv's reading decides how many replacements there are.
        QString text = QString::fromUtf8(bytes);
        if (!text.contains(QChar(kReplacement)))
            return text;
        return DecodeWithIconv("UTF-8", bytes, &BadUtf8Length, nullptr);
    }
    case kCodePageUtf16Le:
    case kCodePageUtf16Be:
        return DecodeUtf16(bytes, codePage == kCodePageUtf16Be);
    case kCodePageUtf32Le:
    case kCodePageUtf32Be:
        return DecodeUtf32(bytes, codePage == kCodePageUtf32Be);
    default:
        return QString();
    }
}

QString ToUnicode(QByteArrayView bytes, TCodePage codePage)
{
    switch (codePage) {
    case kCodePageUnknown:
        return QString::fromLatin1(bytes);
    case kCodePageUtf8:
        return PreviousDecoder::DecodeCodePage(StartsWithBytes(bytes, "\xEF\xBB\xBF", 2) ? bytes.sliced(3) : bytes, codePage);
    case kCodePageUtf16Le:
        return PreviousDecoder::DecodeCodePage(StartsWithBytes(bytes, "\xFF\xFE", 1) ? bytes.sliced(2) : bytes, codePage);
    case kCodePageUtf16Be:
        return PreviousDecoder::DecodeCodePage(StartsWithBytes(bytes, "\xFE\xFF", 1) ? bytes.sliced(2) : bytes, codePage);
    case kCodePageUtf32Le:
        return PreviousDecoder::DecodeCodePage(StartsWithBytes(bytes, QByteArrayView("\xFF\xFE\0\0", 4), 3) ? bytes.sliced(4) : bytes,
                              codePage);
    case kCodePageUtf32Be:
        return PreviousDecoder::DecodeCodePage(StartsWithBytes(bytes, QByteArrayView("\0\0\xFE\xFF", 4), 3) ? bytes.sliced(4) : bytes,
                              codePage);
    case kCodePageEucJp:
    case kCodePageEucJpMs:
    case kCodePageIso2022Jp:
    case kCodePageIso2022JpKana:
    case kCodePageIso2022JpSoSi:
        return FixJisX0208(PreviousDecoder::DecodeCodePage(bytes, codePage));
    default:
        // Code page 0 is the ANSI code page.
        return PreviousDecoder::DecodeCodePage(bytes, codePage == 0 ? kCodePageAnsi : codePage);
    }
}

QString ToUnicodeDetect(QByteArrayView bytes)
{
    const TCodePage codePage = DetectCodePage(bytes);
    if (codePage == kCodePageUnknown)
        return QString::fromLatin1(bytes);
    return ToUnicode(bytes, codePage);
}

} // namespace PreviousDecoder
