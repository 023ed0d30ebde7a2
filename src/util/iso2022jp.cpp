#include "util/iso2022jp.h"

namespace {

constexpr char kUnreadable = '\xFF';
constexpr quint8 kEsc = 0x1B;
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

} // namespace

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
        if (b == kEsc) {
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
