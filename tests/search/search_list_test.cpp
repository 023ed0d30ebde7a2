#include "search/search_list.h"
#include "util/error.h"

#include <gtest/gtest.h>

TEST(SearchList, SkipsShortLinesAndRawRepeats)
{
    EXPECT_TRUE(BuildSearchList({}).isEmpty());
    EXPECT_TRUE(BuildSearchList({QString(), QStringLiteral("410101001"), QStringLiteral("4-10-1010")}).isEmpty());
    EXPECT_EQ(BuildSearchList({QStringLiteral("4101010013"), QStringLiteral("4101010013")}),
              QStringList({QStringLiteral("4101010013")}));
    // Repeats are recognised on the line as typed: two spellings, two keys.
    EXPECT_EQ(BuildSearchList({QStringLiteral("978-4-10-101001-4"), QStringLiteral("9784101010014")}),
              QStringList({QStringLiteral("4101010013"), QStringLiteral("4101010013")}));
}

TEST(SearchList, KeysAreIsbn10FormsOrTheNormalisedText)
{
    EXPECT_EQ(BuildSearchList({QStringLiteral("ISBN4-12-345678-x")}), QStringList({QStringLiteral("412345678x")}));
    // Ten characters without an ISBN character give an empty key, searched
    // like any other.
    EXPECT_EQ(BuildSearchList({QStringLiteral("吾輩は猫である。名前はまだ無い")}), QStringList({QString()}));
    EXPECT_THROW(BuildSearchList({QStringLiteral("4101010013"), QStringLiteral("978x101010014")}), ConversionError);
}
