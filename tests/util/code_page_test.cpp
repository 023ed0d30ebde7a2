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
