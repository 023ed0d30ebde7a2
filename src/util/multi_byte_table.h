#pragma once

#include "util/jis_x0208_fixup.h"

#include <QtGlobal>

#include <array>
#include <vector>

// How a multi-byte code page without shift states reads into UTF-16: what
// each byte is by itself, what each lead byte and each byte after it are,
// and, for a lead of three bytes (EUC-JP's JIS X 0212), what each third byte
// completes. Taken once from glibc's converter, so that pages decode to the
// code points glibc gives without calling it for every character.
struct MultiByteTable final
{
    enum Kind : quint8 { kNothing, kSingle, kPairLead, kTripleLead };

    std::array<quint8, 256> kind{};
    std::array<char16_t, 256> single{};
    // Where the row of 256 of each lead of two bytes starts in `pairs`; 0
    // (a row that holds nothing) for every other byte.
    std::array<quint32, 256> pairRow{};
    // The same for leads of three bytes: their row in `pairs` holds, for each
    // second byte, the number of a row in `triples`.
    std::array<quint32, 256> tripleRows{};
    // Rows of 256; 0 means no character (no sequence reads as U+0000). Row
    // 0 of each holds nothing.
    std::vector<char16_t> pairs;
    std::vector<char16_t> triples;
    // Each byte below 80 is the ASCII character of its value.
    bool asciiIsIdentity = false;
    // False when glibc has no such converter or reads something a table of
    // this shape cannot hold: nothing is decoded then.
    bool usable = false;
};

// The table of glibc's converter of that name.
MultiByteTable MultiByteTableFromIconv(const char* name);

// EUC-JP as Windows reads it: glibc's table, with the JIS codes only
// Windows knows (NEC special characters in row 13, NEC-selected IBM
// extensions in rows 89 to 92) read through CP932.
MultiByteTable EucJpTableFromIconv(JisX0208Reading reading, const MultiByteTable& cp932);

// The tables the decoders use, built on first use by whichever thread comes
// first.
const MultiByteTable& Cp932Table();
const MultiByteTable& EucJpTable(JisX0208Reading reading);
