#pragma once

#include <QByteArrayView>
#include <QtGlobal>

class QIODevice;

// Guesses the encoding of a Japanese text from its bytes alone. Every test
// reads only inside the buffer it is given, keeps no state between calls and
// makes one forward pass that stops at its first violation.
namespace EncodeDetect {

// The byte-order mark a buffer begins with.
enum class TBOMType : quint8 { btNone, btUTF8, bt16LE, bt16BE, bt32LE, bt32BE };

// A test the caller can switch off; a switched-off test answers false (or
// btNone) at once and leaves its score alone.
enum class TIgnoreEncode : quint8 { ieSJIS, ieEUC, ieUTF8, ieJIS, ieBOM, ieUTF7 };

// A set of switched-off tests: bit n stands for the TIgnoreEncode of value n.
class TIgnoreEncodes final
{
public:
    constexpr TIgnoreEncodes() = default;
    constexpr TIgnoreEncodes(TIgnoreEncode e) : bits_(Bit(e)) {}

    constexpr bool Contains(TIgnoreEncode e) const { return (bits_ & Bit(e)) != 0; }
    constexpr TIgnoreEncodes operator|(TIgnoreEncodes other) const
    {
        TIgnoreEncodes both;
        both.bits_ = static_cast<quint8>(bits_ | other.bits_);
        return both;
    }
    constexpr quint8 Bits() const { return bits_; }

private:
    static constexpr quint8 Bit(TIgnoreEncode e) { return static_cast<quint8>(1u << static_cast<unsigned>(e)); }
    quint8 bits_ = 0;
};

constexpr TIgnoreEncodes operator|(TIgnoreEncode a, TIgnoreEncode b)
{
    return TIgnoreEncodes(a) | TIgnoreEncodes(b);
}

// The answers of CheckEncoding.
inline constexpr int kEncodingUndetermined = -1;
inline constexpr int kEncodingSjis = 0;
inline constexpr int kEncodingEuc = 1;
inline constexpr int kEncodingJis = 2;
inline constexpr int kEncodingUtf16LeBom = 3;
inline constexpr int kEncodingUtf16BeBom = 4;
inline constexpr int kEncodingUtf8 = 5;
inline constexpr int kEncodingUtf8Bom = 6;
inline constexpr int kEncodingUtf32LeBom = 7;
inline constexpr int kEncodingUtf32BeBom = 8;
inline constexpr int kEncodingUtf7 = 9;

TBOMType BOMCheck(QByteArrayView buffer, TIgnoreEncodes ignore = {});

constexpr bool IsASCII(quint8 byte) { return byte <= 0x7F; }

// True when a JIS escape sequence comes before any byte above 7F.
bool IsJIS(QByteArrayView buffer, TIgnoreEncodes ignore = {});

// The four scoring tests: each adds the length of every complete multi-byte
// sequence it accepts to `score` (never resetting it) and answers whether
// the whole buffer is valid. A sequence cut by the end of the buffer scores
// nothing and its following bytes are read as character starts.
bool IsSJIS(QByteArrayView buffer, int& score, TIgnoreEncodes ignore = {});
bool IsEUC(QByteArrayView buffer, int& score, TIgnoreEncodes ignore = {});
bool IsUTF8(QByteArrayView buffer, int& score, TIgnoreEncodes ignore = {});
bool IsUTF7(QByteArrayView buffer, int& score, TIgnoreEncodes ignore = {});

// One of the kEncoding codes for the buffer. The tests run together in one
// pass over it.
int CheckEncoding(QByteArrayView buffer, TIgnoreEncodes ignore = {});

// Judges the first `maximumCount` bytes of a readable device from its start
// (the whole device when the count is 0 or beyond its size). The device is
// left positioned after the bytes read.
int CheckEncoding(QIODevice& stream, qint64 maximumCount, TIgnoreEncodes ignore = {});

} // namespace EncodeDetect
