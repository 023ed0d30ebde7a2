#include "config/endpoints.h"
#include "libraries/base_lib.h"
#include "libraries/library_list.h"

#include <QSet>

#include <gtest/gtest.h>

TEST(LibraryList, GroupsTheEightCataloguesInCodeUnitOrder)
{
    const TEndpoints endpoints;
    const TLibraryList list(endpoints);
    EXPECT_EQ(list.GetPrefMap().keys(),
              QStringList({QStringLiteral("大阪府"), QStringLiteral("島根県"), QStringLiteral("東京都")}));
    EXPECT_EQ(list.GetPrefMap().value(QStringLiteral("東京都")).keys(),
              QStringList({QStringLiteral("三鷹市立図書館"), QStringLiteral("品川区立図書館"),
                           QStringLiteral("福生市立図書館"), QStringLiteral("稲城市立図書館"),
                           QStringLiteral("羽村市図書館")}));
    EXPECT_EQ(list.GetNameMap().keys(),
              QStringList({QStringLiteral("三鷹市立図書館"), QStringLiteral("品川区立図書館"),
                           QStringLiteral("大阪市立図書館"), QStringLiteral("大阪府立図書館"),
                           QStringLiteral("松江市立図書館"), QStringLiteral("福生市立図書館"),
                           QStringLiteral("稲城市立図書館"), QStringLiteral("羽村市図書館")}));

    // Both maps hold the same eight objects, each under its own name and prefecture.
    QSet<const TBaseLib*> fromPrefs;
    for (auto pref = list.GetPrefMap().cbegin(); pref != list.GetPrefMap().cend(); ++pref) {
        for (auto lib = pref->cbegin(); lib != pref->cend(); ++lib) {
            EXPECT_EQ((*lib)->GetPref(), pref.key());
            EXPECT_EQ((*lib)->GetName(), lib.key());
            EXPECT_EQ(list.GetNameMap().value(lib.key()), *lib);
            fromPrefs.insert(*lib);
        }
    }
    EXPECT_EQ(fromPrefs.size(), 8);
}

TEST(LibraryList, FindsOnlyExactDisplayNames)
{
    const TEndpoints endpoints;
    const TLibraryList list(endpoints);
    const auto& names = list.GetNameMap();
    EXPECT_TRUE(names.contains(QStringLiteral("羽村市図書館")));
    EXPECT_FALSE(names.contains(QStringLiteral("羽村市立図書館")));
    EXPECT_FALSE(names.contains(QStringLiteral("羽村市図書館 ")));
    EXPECT_FALSE(names.contains(QStringLiteral("東京都")));
}
