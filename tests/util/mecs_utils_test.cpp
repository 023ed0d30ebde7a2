#include "util/mecs_utils.h"
#include "util/string_utility.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>

namespace {

// Every JIS X 0208 code (94 rows of 94 cells), in three encodings, in the
// same order: one character each.
struct JisTable
{
    QByteArray sjis, euc, iso2022jp;
};

JisTable AllJisCodes()
{
    JisTable table;
    table.iso2022jp = "\x1B$B";
    for (int row = 0x21; row <= 0x7E; ++row) {
        for (int cell = 0x21; cell <= 0x7E; ++cell) {
            table.iso2022jp += static_cast<char>(row);
            table.iso2022jp += static_cast<char>(cell);
            table.euc += static_cast<char>(row | 0x80);
            table.euc += static_cast<char>(cell | 0x80);
            table.sjis += static_cast<char>(((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0));
            table.sjis += static_cast<char>(cell + ((row & 1) != 0 ? (cell < 0x60 ? 0x1F : 0x20) : 0x7E));
        }
    }
    table.iso2022jp += "\x1B(B";
    return table;
}

// glibc's own ISO-2022-JP-3 reading of one code, or the empty text when it
// has none.
QString GlibcIso2022Jp3(int row, int cell)
{
    const char bytes[] = {'\x1B', '$', 'B', static_cast<char>(row), static_cast<char>(cell), '\x1B', '(', 'B'};
    iconv_t cd = iconv_open("UTF-16LE", "ISO-2022-JP-3");
    char16_t out[4] = {};
    char* in = const_cast<char*>(bytes);
    size_t inLeft = sizeof bytes;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    const bool ok = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    const auto units = static_cast<qsizetype>((sizeof out - outLeft) / 2);
    return ok ? QString(reinterpret_cast<const QChar*>(out), units) : QString();
}

TEST(MecsUtils, EveryJisCodeReadsAsCp932ReadsIt)
{
    const JisTable table = AllJisCodes();
    const QString sjis = TStringUtility::ToUnicode(table.sjis, 932);
    const QString euc = TStringUtility::ToUnicode(table.euc, 20932);
    const QString jis = TStringUtility::ToUnicode(table.iso2022jp, 50220);
    ASSERT_EQ(sjis.size(), 94 * 94);
    ASSERT_EQ(euc.size(), 94 * 94);
    ASSERT_EQ(jis.size(), 94 * 94);

    int decoded = 0;
    int glibcAgrees = 0;
    for (int i = 0; i < sjis.size(); ++i) {
        const int row = 0x21 + i / 94;
        const int cell = 0x21 + i % 94;
        SCOPED_TRACE(testing::Message() << std::hex << row << cell);
        EXPECT_EQ(euc[i], sjis[i]);
        EXPECT_EQ(jis[i], sjis[i]);
        if (sjis[i] != QChar(0xFFFD))
            ++decoded;
        // glibc's ISO-2022-JP-3 table with the fix-up gives the same wherever
        // it reads a code at all.
        const QString glibc = GlibcIso2022Jp3(row, cell);
        if (!glibc.isEmpty()) {
            EXPECT_EQ(MecsMappingFix_JISX0208ToUnicode(glibc), QString(sjis[i]));
            ++glibcAgrees;
        }
    }
    // JIS X 0208 holds 6879 characters; CP932 adds 83 NEC and 374 IBM ones.
    EXPECT_EQ(decoded, 6879 + 83 + 374);
    EXPECT_EQ(glibcAgrees, 6879);
}

TEST(MecsUtils, TheFixUpTouchesItsEightCharactersOnly)
{
    QString everything;
    for (int unit = 0; unit <= 0xFFFF; ++unit)
        everything += QChar(static_cast<char16_t>(unit));
    const QString fixed = MecsMappingFix_JISX0208ToUnicode(everything);
    const std::pair<char16_t, char16_t> table[] = {{0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2},
                                                   {0x2014, 0x2015}, {0x2016, 0x2225}, {0x203E, 0xFFE3},
                                                   {0x2212, 0xFF0D}, {0x301C, 0xFF5E}};
    int changed = 0;
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        if (fixed[unit] != everything[unit])
            ++changed;
    }
    EXPECT_EQ(changed, 8);
    for (const auto& [found, replaced] : table)
        EXPECT_EQ(fixed[found].unicode(), replaced);
    EXPECT_EQ(MecsMappingFix_CP932ToUnicode(everything), everything);
}

TEST(MecsUtils, StretchingAndTheAnsiCodePage)
{
    QByteArray bytes;
    for (int b = 0; b <= 0xFF; ++b)
        bytes += static_cast<char>(b);
    const QString stretched = MecsStretchElement(bytes);
    ASSERT_EQ(stretched.size(), 256);
    for (int b = 0; b <= 0xFF; ++b)
        EXPECT_EQ(stretched[b].unicode(), b);
    EXPECT_EQ(AnsiToUTF16("\x82\xA0", 0), QStringLiteral("あ"));
    EXPECT_EQ(AnsiToUTF16(QByteArray(), 932), QString());
    EXPECT_EQ(AnsiToUTF16("abc", 437), QString());
}

} // namespace
