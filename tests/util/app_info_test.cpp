#include "util/app_info.h"
#include "util/error.h"
#include "version_table.h"

#include <gtest/gtest.h>

TEST(AppInfo, ReadsTheCompiledTableByIndex)
{
    const TkAppInfo info;
    EXPECT_EQ(info.GetValue(3), QStringLiteral("0.3.7.0"));
    EXPECT_EQ(info.GetValue(2), QStringLiteral("図書館の蔵書を検索する"));
    EXPECT_EQ(info.GetValue(9), QStringLiteral("図書館蔵書検索ソフト Quillmoor"));
    EXPECT_EQ(info.GetValue(10), QStringLiteral("1.0.0.0"));
    EXPECT_FALSE(info.GetValue(5).isEmpty());
    // The table spells it "LegalTrademarks", the reader asks for
    // "LegalTradeMarks": keys match exactly, so there is nothing there.
    EXPECT_EQ(info.GetValue(6), QString());
    EXPECT_EQ(info.GetValue(8), QString());
    EXPECT_EQ(info.GetValue(11), QString());
    EXPECT_EQ(info.GetValue(-1), QString());
}

TEST(AppInfo, AddressesStringsThroughTheFirstTranslation)
{
    const VersionTable::Translation translations[] = {{0x0409, 1252}, {0x0411, 932}};
    const VersionTable::String strings[] = {{u"\\StringFileInfo\\040904E4\\FileVersion", u"9.9"},
                                            {u"\\StringFileInfo\\041103A4\\FileVersion", u"1.2"}};
    EXPECT_EQ(TkAppInfo(translations, strings).GetValue(3), QStringLiteral("9.9"));
}

TEST(AppInfo, AMissingTableCannotBeRead)
{
    try {
        TkAppInfo info({}, {});
        FAIL();
    } catch (const QuillmoorError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("バージョン情報を取得できません"));
    }
}
