#include "util/error.h"
#include "util/integer_text.h"
#include "util/text_trim.h"

#include <gtest/gtest.h>

TEST(TrimBlanks, RemovesBlanksAndControlsButNotIdeographicSpace)
{
    EXPECT_EQ(TrimBlanks(QStringLiteral("  1500 ")), QStringLiteral("1500"));
    EXPECT_EQ(TrimBlanks(QStringLiteral("\t\r\n\x01x\x1f")), QStringLiteral("x"));
    EXPECT_EQ(TrimBlanks(QStringLiteral("　本　")), QStringLiteral("　本　"));
    EXPECT_EQ(TrimBlanks(QStringLiteral(" ")), QString());
    EXPECT_EQ(TrimBlanks(QString()), QString());
}

TEST(ParseInt32, AcceptsSignedDecimalsInRangeOnly)
{
    EXPECT_EQ(ParseInt32(u"0"), 0);
    EXPECT_EQ(ParseInt32(u"-12"), -12);
    EXPECT_EQ(ParseInt32(u"+7"), 7);
    EXPECT_EQ(ParseInt32(u"2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32(u"-2147483648"), std::numeric_limits<qint32>::min());
    for (const char16_t* bad : {u"", u"-", u"+", u"2147483648", u"-2147483649", u"1,234", u" 1",
                                u"1 ", u"0x10", u"12a", u"１２", u"99999999999999999999"})
        EXPECT_FALSE(ParseInt32(bad).has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST(StrToInt, RaisesConversionErrorNamingTheText)
{
    EXPECT_EQ(StrToInt(u"42"), 42);
    try {
        StrToInt(u"abc");
        FAIL();
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("'abc' is not a valid integer value"));
        EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
    }
}
