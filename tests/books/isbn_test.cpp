#include "books/isbn.h"
#include "util/error.h"

#include <gtest/gtest.h>

TEST(NormalizeIsbn, KeepsOnlyDigitsAndXInTheirCase)
{
    EXPECT_EQ(NormalizeIsbn(QStringLiteral("978-4-10-101001-4")), QStringLiteral("9784101010014"));
    EXPECT_EQ(NormalizeIsbn(QStringLiteral("ISBN4-12-345678-x")), QStringLiteral("412345678x"));
    EXPECT_EQ(NormalizeIsbn(QStringLiteral(" 4\t1 0X")), QStringLiteral("410X"));
    // Full-width digits and Japanese text are not ISBN characters.
    EXPECT_EQ(NormalizeIsbn(QStringLiteral("９７８４１０１０１００１４")), QString());
    EXPECT_EQ(NormalizeIsbn(QStringLiteral("吾輩は猫である")), QString());
    EXPECT_EQ(NormalizeIsbn(QString()), QString());
}

TEST(Isbn13ToIsbn10, ComputesTheCheckCharacter)
{
    EXPECT_EQ(Isbn13ToIsbn10(QStringLiteral("9784101010014")), QStringLiteral("4101010013"));
    EXPECT_EQ(Isbn13ToIsbn10(QStringLiteral("9784000000086")), QStringLiteral("400000008X")); // c = 10
    EXPECT_EQ(Isbn13ToIsbn10(QStringLiteral("9784000000024")), QStringLiteral("4000000020")); // c = 11
    // The prefix is skipped unexamined, and only positions 4 to 12 count.
    EXPECT_EQ(Isbn13ToIsbn10(QStringLiteral("9791234567896")), QStringLiteral("123456789X"));
    EXPECT_EQ(Isbn13ToIsbn10(QStringLiteral("97840000000011234")), QStringLiteral("4000000004"));
    // An X in position 13 is ignored.
    EXPECT_EQ(Isbn13ToIsbn10(QStringLiteral("978412345678X")), QStringLiteral("4123456782"));
}

TEST(Isbn13ToIsbn10, LeavesShorterTextsAlone)
{
    EXPECT_EQ(Isbn13ToIsbn10(QStringLiteral("412345678x")), QStringLiteral("412345678x"));
    EXPECT_EQ(Isbn13ToIsbn10(QStringLiteral("123456789012")), QStringLiteral("123456789012"));
    EXPECT_EQ(Isbn13ToIsbn10(QString()), QString());
}

TEST(Isbn13ToIsbn10, RaisesTheConversionErrorForXInTheBody)
{
    for (int position = 3; position < 12; ++position) {
        QString isbn = QStringLiteral("9784101010014");
        isbn[position] = position % 2 ? u'x' : u'X';
        EXPECT_THROW(Isbn13ToIsbn10(isbn), ConversionError) << position;
    }
    try {
        Isbn13ToIsbn10(QStringLiteral("978x101010014"));
        FAIL();
    } catch (const QuillmoorError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("'x' is not a valid integer value"));
    }
}
