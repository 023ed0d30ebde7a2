#include "util/url_encoding.h"

#include <gtest/gtest.h>

TEST(HttpEncode, KeepsOnlyLettersDigitsHyphenFullStopAndLowLine)
{
    EXPECT_EQ(HTTPEncode(QByteArrayView("A-Z_a.z-09")), QByteArray("A-Z_a.z-09"));
    // Space, tilde and the Base64 characters are all encoded, hex upper-case.
    EXPECT_EQ(HTTPEncode(QByteArrayView(" ~+/=")), QByteArray("%20%7E%2B%2F%3D"));
    EXPECT_EQ(HTTPEncode(QByteArrayView("\x7F\x80\xFF")), QByteArray("%7F%80%FF"));
    EXPECT_EQ(HTTPEncode(QByteArrayView("")), QByteArray());
}

TEST(HttpEncode, EncodesEveryByteOutsideTheSetAndStopsAtZero)
{
    for (int value = 1; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        const QByteArray encoded = HTTPEncode(QByteArrayView(&byte, 1));
        const bool kept = (value >= '0' && value <= '9') || (value >= 'A' && value <= 'Z')
            || (value >= 'a' && value <= 'z') || value == '-' || value == '.' || value == '_';
        if (kept)
            EXPECT_EQ(encoded, QByteArray(1, byte)) << value;
        else
            EXPECT_EQ(encoded, QByteArray("%") + QByteArray::number(value, 16).toUpper().rightJustified(2, '0'))
                << value;
    }
    const char withZero[] = {'a', ' ', '\0', 'b'};
    EXPECT_EQ(HTTPEncode(QByteArrayView(withZero, 4)), QByteArray("a%20"));
    // The worst case: three bytes out for every byte in.
    EXPECT_EQ(HTTPEncode(QByteArray(100, '\xE6')).size(), 300);
}

TEST(UrlEncode, EncodesTheTextsOfARequest)
{
    EXPECT_EQ(UrlEncode(u"", kCodePageUtf8), QString());
    EXPECT_EQ(UrlEncode(u"ItemLookup", kCodePageUtf8), QStringLiteral("ItemLookup"));
    EXPECT_EQ(UrlEncode(u"AWSECommerceService", kCodePageUtf8), QStringLiteral("AWSECommerceService"));
    EXPECT_EQ(UrlEncode(u"2009-01-06", kCodePageUtf8), QStringLiteral("2009-01-06"));
    EXPECT_EQ(UrlEncode(u"2011-05-01T12:34:56Z", kCodePageUtf8),
              QStringLiteral("2011-05-01T12%3A34%3A56Z"));
    EXPECT_EQ(UrlEncode(u"4101010013,4000000020", kCodePageUtf8),
              QStringLiteral("4101010013%2C4000000020"));
    EXPECT_EQ(UrlEncode(u"a b~c", kCodePageUtf8), QStringLiteral("a%20b%7Ec"));
    const QString signature = QStringLiteral("ab+cd/ef0123456789ABCDEFGHIJKLMNOPQRSTUVWXY=");
    ASSERT_EQ(signature.size(), 44);
    EXPECT_EQ(UrlEncode(signature, kCodePageUtf8),
              QStringLiteral("ab%2Bcd%2Fef0123456789ABCDEFGHIJKLMNOPQRSTUVWXY%3D"));
}

TEST(UrlEncode, GoesThroughTheCodePage)
{
    EXPECT_EQ(UrlEncode(u"本", kCodePageUtf8), QStringLiteral("%E6%9C%AC"));
    EXPECT_EQ(UrlEncode(u"本", kCodePageShiftJis), QStringLiteral("%96%7B"));
    // A character beyond the basic plane is one four-byte UTF-8 sequence.
    EXPECT_EQ(UrlEncode(u"😀", kCodePageUtf8), QStringLiteral("%F0%9F%98%80"));
    // Everything after a NUL character is lost.
    EXPECT_EQ(UrlEncode(QStringView(u"ab\0cd", 5), kCodePageUtf8), QStringLiteral("ab"));
}
