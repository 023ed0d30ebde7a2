#include "cache/lookup_cache.h"
#include "gui/cache_page.h"
#include "gui/form_main.h"
#include "gui/grid_books.h"
#include "search/search_driver.h"
#include "support/scoped_cache_home.h"
#include "support/search_environment.h"
#include "support/wait_until.h"

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(FormMainCache, RememberedCellsTellTheirDateAndF5AsksEverythingAgain)
{
    ScopedCacheHome cacheHome;
    SearchEnvironment env;
    env.bookseller().AddBooks(FakeBookseller::SampleBooks());
    const QString kokoro = QStringLiteral("4101010137");
    env.catalogue(CatalogueKind::Matsue).Hold(kokoro, {QStringLiteral("1234567")});
    TFormMain form(env.WriteSettings({QStringLiteral("松江市立図書館")}));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const auto search = [&](QAction* command) {
        form.MemoIsbn->setPlainText(kokoro);
        command->trigger();
        ASSERT_TRUE(WaitUntil([&] { return !form.SearchDriver().IsSearching(); }));
    };

    search(form.ActionIsbnFind);
    EXPECT_EQ(form.GridBooks->CellTip(5, 1), QString());
    search(form.ActionIsbnFind);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 1);
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(form.GridBooks->CellTip(5, 1), today + QStringLiteral(" 取得"));
    EXPECT_EQ(form.GridBooks->CellTip(1, 1), today + QStringLiteral(" 取得"));

    // 「最新の情報を取得」 (F5) asks again, and what it gets is new.
    EXPECT_EQ(form.ActionIsbnRefresh->text(), QStringLiteral("最新の情報を取得"));
    EXPECT_EQ(form.ActionIsbnRefresh->shortcut(), QKeySequence(Qt::Key_F5));
    search(form.ActionIsbnRefresh);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 2);
    EXPECT_EQ(env.bookseller().RequestCount(), 2);
    EXPECT_EQ(form.GridBooks->CellTip(5, 1), QString());

    // The settings page empties it.
    ASSERT_NE(form.LookupCache(), nullptr);
    TCachePage page(*form.LookupCache());
    EXPECT_TRUE(page.LabelSize->text().startsWith(QStringLiteral("キャッシュの大きさ: ")));
    QTest::mouseClick(page.BtnClear, Qt::LeftButton);
    search(form.ActionIsbnFind);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 3);
}
