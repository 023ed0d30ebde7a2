#include "util/character_references.h"

#include <gtest/gtest.h>

TEST(CharacterReferences, DecodesWhatABrowserDecodesInALink)
{
    EXPECT_EQ(DecodeCharacterReferences(u"a=1&amp;b=&lt;&gt;&quot;&apos;&#39;&#x41;&#X42;&#0067;"),
              QStringLiteral("a=1&b=<>\"''ABC"));
    // Outside the basic plane: a surrogate pair.
    EXPECT_EQ(DecodeCharacterReferences(u"&#x1F4DA;&#128218;"), QStringLiteral("\U0001F4DA\U0001F4DA"));
    // One pass: an escaped reference stays a reference.
    EXPECT_EQ(DecodeCharacterReferences(u"&amp;amp;"), QStringLiteral("&amp;"));
}

TEST(CharacterReferences, LeavesEverythingElseAsWritten)
{
    for (const char16_t* kept : {u"a&b", u"&", u"&amp", u"&copy;", u"&AMP;", u"&#;", u"&#x;",
                                 u"&#12a;", u"&#xG1;", u"&#0;", u"&#xD800;", u"&#x110000;",
                                 u"&#99999999999;", u"&           amp;", u"&;"})
        EXPECT_EQ(DecodeCharacterReferences(kept), QString::fromUtf16(kept)) << QString::fromUtf16(kept).toStdString();
    EXPECT_EQ(DecodeCharacterReferences(u"&&amp;&"), QStringLiteral("&&&"));
    EXPECT_EQ(DecodeCharacterReferences(u""), QString());
}
