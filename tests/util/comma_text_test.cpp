#include "util/comma_text.h"

#include <gtest/gtest.h>

namespace {

QStringList List(std::initializer_list<const char*> items)
{
    QStringList list;
    for (const char* item : items)
        list.append(QString::fromUtf8(item));
    return list;
}

} // namespace

TEST(CommaText, WritesBareAndQuotedItems)
{
    EXPECT_EQ(ToCommaText({}), QString());
    EXPECT_EQ(ToCommaText(List({"松江市立図書館", "三鷹市立図書館"})),
              QStringLiteral("松江市立図書館,三鷹市立図書館"));
    EXPECT_EQ(ToCommaText(List({"a b", "c,d", "say \"hi\"", "tab\there"})),
              QStringLiteral("\"a b\",\"c,d\",\"say \"\"hi\"\"\",\"tab\there\""));
    // A full-width space needs no quotes.
    EXPECT_EQ(ToCommaText(List({"a　b"})), QStringLiteral("a　b"));
    EXPECT_EQ(ToCommaText(List({""})), QStringLiteral("\"\""));
}

TEST(CommaText, ReadsCommasBlanksAndQuotes)
{
    EXPECT_EQ(FromCommaText(u""), QStringList());
    EXPECT_EQ(FromCommaText(u"a,b"), List({"a", "b"}));
    // Blanks outside quotes separate items too, and surround commas freely.
    EXPECT_EQ(FromCommaText(u"  a b , c "), List({"a", "b", "c"}));
    EXPECT_EQ(FromCommaText(u"\"a b\",\"x\"\"y\""), List({"a b", "x\"y"}));
    EXPECT_EQ(FromCommaText(u"a,,b"), List({"a", "", "b"}));
    EXPECT_EQ(FromCommaText(u"a,"), List({"a", ""}));
    EXPECT_EQ(FromCommaText(u"\"unclosed"), List({"unclosed"}));
}

TEST(CommaText, RoundTripsEveryListOfKeys)
{
    const QList<QStringList> lists{
        {},
        List({""}),
        List({"", ""}),
        List({"", "4101010013"}),
        List({"4101010013", ""}),
        List({"4101010013", "", "412345678x", "4101010013"}),
        List({"with space", "with,comma", "with\"quote", "\x01", "普通"}),
    };
    for (const QStringList& list : lists)
        EXPECT_EQ(FromCommaText(ToCommaText(list)), list) << ToCommaText(list).toStdString();
}
