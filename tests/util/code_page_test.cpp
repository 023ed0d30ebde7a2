#include "util/code_page.h"

#include <gtest/gtest.h>

TEST(CodePage, RoundTripsJapaneseThroughShiftJis)
{
    const QString text = QStringLiteral("図書館蔵書検索 ﾗﾝｷﾝｸﾞ ×～");
    const QByteArray bytes = EncodeCodePage(text, kCodePageShiftJis);
    EXPECT_EQ(DecodeCodePage(bytes, kCodePageShiftJis), text);
    // The wave dash of code page 932 is 81 60.
    EXPECT_EQ(EncodeCodePage(QStringLiteral("～"), kCodePageShiftJis), QByteArray("\x81\x60"));
    EXPECT_EQ(EncodeCodePage(QStringLiteral("×"), kCodePageShiftJis), QByteArray("\x81\x7E"));
}

TEST(CodePage, ReplacesWhatTheCodePageCannotHold)
{
    EXPECT_EQ(EncodeCodePage(QStringLiteral("a😀b"), kCodePageShiftJis), QByteArray("a?b"));
    // An invalid byte becomes U+FFFD and the rest is still decoded.
    EXPECT_EQ(DecodeCodePage(QByteArray("a\xFF" "b\x82\xA0"), kCodePageShiftJis),
              QStringLiteral("a\uFFFDbあ"));
    // A lead byte at the very end.
    EXPECT_EQ(DecodeCodePage(QByteArray("ab\x82"), kCodePageShiftJis), QStringLiteral("ab\uFFFD"));
}

TEST(CodePage, UnknownCodePagesGiveNothing)
{
    EXPECT_EQ(DecodeCodePage(QByteArray("abc"), 1), QString());
    EXPECT_EQ(EncodeCodePage(QStringLiteral("abc"), kCodePageUnknown), QByteArray());
    EXPECT_EQ(DecodeCodePage(QByteArray(), kCodePageShiftJis), QString());
}

TEST(CodePage, EachUndecodableSequenceBecomesOneReplacementAndDecodingGoesOn)
{
    const QString r = QStringLiteral("\uFFFD");
    // Shift_JIS: a well-formed pair missing from the table is one character.
    EXPECT_EQ(DecodeCodePage("\x85\x40" "a\x82\xA0", kCodePageShiftJis), r + QStringLiteral("aあ"));
    EXPECT_EQ(DecodeCodePage("\x82\x20\x82\xA0", kCodePageShiftJis), r + QStringLiteral(" あ"));
    EXPECT_EQ(DecodeCodePage("\xA0\xFD\xFE\xFF", kCodePageShiftJis), r + r + r + r);
    // EUC-JP.
    EXPECT_EQ(DecodeCodePage("\xA9\xA1\xA4\xA2", kCodePageEucJp), r + QStringLiteral("あ"));
    EXPECT_EQ(DecodeCodePage("\xFF\xA4\xA2\xA4", kCodePageEucJp), r + QStringLiteral("あ") + r);
    // UTF-8: one replacement per broken start of a sequence.
    EXPECT_EQ(DecodeCodePage("\xE3\x81" "a", kCodePageUtf8), r + QStringLiteral("a"));
    EXPECT_EQ(DecodeCodePage("\xED\xA0\x80" "b", kCodePageUtf8), r + r + r + QStringLiteral("b")); // a surrogate
    EXPECT_EQ(DecodeCodePage("\xC0\xAF" "c", kCodePageUtf8), r + r + QStringLiteral("c"));         // overlong
    EXPECT_EQ(DecodeCodePage("\xE3\x81\x82\xF0\x9F\x98", kCodePageUtf8), QStringLiteral("あ") + r);
    // Nothing after a bad byte is lost, however long the page.
    QByteArray page = QByteArray("\xFF") + EncodeCodePage(QString(50000, QChar(0x56F3)), kCodePageShiftJis);
    EXPECT_EQ(DecodeCodePage(page, kCodePageShiftJis), r + QString(50000, QChar(0x56F3)));
}

TEST(CodePage, Iso2022JpReadsEveryModeWindowsReads)
{
    const auto jis = [](const char* bytes) { return DecodeCodePage(bytes, kCodePageIso2022Jp); };
    EXPECT_EQ(jis("\x1B$B?^=q4[\x1B(B abc"), QStringLiteral("図書館 abc"));
    EXPECT_EQ(jis("\x1B$@?^\x1B(J~\\\x1B(B"), QStringLiteral("図~\\"));      // old JIS, JIS-Roman as ASCII
    EXPECT_EQ(jis("\x1B&@\x1B$B?^\x1B(B"), QStringLiteral("図"));
    EXPECT_EQ(jis("\x1B(I18\x1B(B!"), QStringLiteral("ｱｸ!"));               // half-width katakana
    EXPECT_EQ(jis("a\x0E" "18\x0F" "b"), QStringLiteral("aｱｸb"));          // the same by SO/SI
    EXPECT_EQ(jis("a\xB1\xB8" "b"), QStringLiteral("aｱｸb"));               // and as 8-bit bytes
    EXPECT_EQ(jis("\x1B$(D\"7\x1B(B"), QStringLiteral("\uFF5E"));            // JIS X 0212
    // Line ends inside a kanji run stay line ends and keep the mode.
    EXPECT_EQ(jis("\x1B$B?^\r\n=q\x1B(B"), QStringLiteral("図\r\n書"));
}

TEST(CodePage, Iso2022JpGarbageCostsOneCharacterAndKeepsTheMode)
{
    const QString r = QStringLiteral("\uFFFD");
    const auto jis = [](QByteArray bytes) { return DecodeCodePage(bytes, kCodePageIso2022Jp); };
    EXPECT_EQ(jis("\x1B$B?^\x80=q"), QStringLiteral("図") + r + QStringLiteral("書"));
    EXPECT_EQ(jis("\x1B$B?^/!=q"), QStringLiteral("図") + r + QStringLiteral("書")); // an empty row
    EXPECT_EQ(jis("\x1B$B?^="), QStringLiteral("図") + r);                       // half a pair at the end
    EXPECT_EQ(jis("a\x1B$Zb"), QStringLiteral("a") + r + QStringLiteral("$Zb"));  // an unknown escape
    EXPECT_EQ(jis("\x1B(I`a"), r + r);                                          // not katakana
    EXPECT_EQ(jis("\x1B$B"), QString());
}

TEST(CodePage, TheRowsOnlyWindowsKnowAreRead)
{
    // NEC special characters and NEC-selected IBM extensions: ① ≒ 纊.
    const QString expected = QStringLiteral("\u2460\u2252\u7E8A");
    EXPECT_EQ(DecodeCodePage("\x87\x40\x87\x90\xED\x40", kCodePageShiftJis), expected);
    EXPECT_EQ(DecodeCodePage("\xAD\xA1\xAD\xF0\xF9\xA1", kCodePageEucJp), expected);
    EXPECT_EQ(DecodeCodePage("\x1B$B-!-py!\x1B(B", kCodePageIso2022Jp), expected);
}

TEST(CodePage, Utf16AndUtf32)
{
    EXPECT_EQ(DecodeCodePage(QByteArray("\x42\x30\x3D\xD8\x00\xDE", 6), kCodePageUtf16Le), QStringLiteral("あ\U0001F600"));
    EXPECT_EQ(DecodeCodePage(QByteArray("\x30\x42\x00", 3), kCodePageUtf16Be), QStringLiteral("あ"));
    EXPECT_EQ(DecodeCodePage(QByteArray("\x00\x01\xF6\x00\x00\x00\x30", 7), kCodePageUtf32Be), QStringLiteral("\U0001F600"));
    EXPECT_EQ(DecodeCodePage(QByteArray("\xFF\xFF\xFF\xFF", 4), kCodePageUtf32Le), QStringLiteral("\uFFFD"));
}
