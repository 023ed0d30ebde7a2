#include "util/utf8_check.h"

bool IsWellFormedUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p++;
        if (lead < 0x80)
            continue;
        int following;
        unsigned char low = 0x80; // range of the first following byte
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            following = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            following = 2;
            if (lead == 0xE0)
                low = 0xA0; // overlong below U+0800
            else if (lead == 0xED)
                high = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            following = 3;
            if (lead == 0xF0)
                low = 0x90; // overlong below U+10000
            else if (lead == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (end - p < following || *p < low || *p > high)
            return false;
        for (int i = 1; i < following; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        }
        p += following;
    }
    return true;
}
