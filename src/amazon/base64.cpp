#include "amazon/base64.h"

QByteArray Base64Encode(QByteArrayView bytes)
{
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();

    QByteArray out;
    out.reserve((size + 2) / 3 * 4);
    qsizetype i = 0;
    for (; i + 3 <= size; i += 3) {
        const unsigned group = (unsigned{in[i]} << 16) | (unsigned{in[i + 1]} << 8) | in[i + 2];
        out.append(kAlphabet[(group >> 18) & 0x3F]);
        out.append(kAlphabet[(group >> 12) & 0x3F]);
        out.append(kAlphabet[(group >> 6) & 0x3F]);
        out.append(kAlphabet[group & 0x3F]);
    }
    const qsizetype rest = size - i;
    if (rest > 0) {
        const unsigned group = (unsigned{in[i]} << 16) | (rest == 2 ? unsigned{in[i + 1]} << 8 : 0u);
        out.append(kAlphabet[(group >> 18) & 0x3F]);
        out.append(kAlphabet[(group >> 12) & 0x3F]);
        out.append(rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=');
        out.append('=');
    }
    return out;
}
