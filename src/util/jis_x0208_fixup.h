#pragma once

// Which code points the JIS X 0208 characters of EUC-JP and ISO-2022-JP get:
// those of glibc's converters, or those of CP932, as a Windows program reads
// a page.
enum class JisX0208Reading { Converter, Cp932 };

// The code point CP932 gives a JIS X 0208 character where glibc's EUC-JP and
// ISO-2022-JP tables give another (wave dash, minus sign, cent sign, ...);
// every other code point unchanged. A page then reads the same in every
// Japanese encoding.
constexpr char16_t JisX0208AsCp932(char16_t unit)
{
    switch (unit) {
    case 0x00A2: return 0xFFE0; // cent sign
    case 0x00A3: return 0xFFE1; // pound sign
    case 0x00AC: return 0xFFE2; // not sign
    case 0x2014: return 0x2015; // em dash
    case 0x2016: return 0x2225; // double vertical line
    case 0x203E: return 0xFFE3; // overline
    case 0x2212: return 0xFF0D; // minus sign
    case 0x301C: return 0xFF5E; // wave dash
    default: return unit;
    }
}
