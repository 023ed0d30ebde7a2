#include "gui/form_main.h"
#include "gui/grid_books.h"
#include "search/search_driver.h"
#include "support/search_environment.h"
#include "support/wait_until.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

// Not part of the suite (disabled): scripts/screenshot runs it under Xvfb to
// picture the main window after a search against the fake servers, written
// to the PNG named by QUILLMOOR_SCREENSHOT.
TEST(Screenshot, DISABLED_MainWindowAfterASearch)
{
    const QString output = qEnvironmentVariable("QUILLMOOR_SCREENSHOT");
    ASSERT_FALSE(output.isEmpty()) << "QUILLMOOR_SCREENSHOT names the PNG to write";

    SearchEnvironment env;
    env.bookseller().AddBooks(FakeBookseller::SampleBooks());
    env.catalogue(CatalogueKind::Matsue).Hold(QStringLiteral("4101010137"), {QStringLiteral("1234567")});
    env.catalogue(CatalogueKind::Matsue).Hold(QStringLiteral("4000000020"), {QStringLiteral("7654321")});
    env.catalogue(CatalogueKind::Mitaka).Hold(QStringLiteral("4003101014"), {QStringLiteral("NUM=42&CTG=1")});
    env.catalogue(CatalogueKind::Osakashi).Hold(QStringLiteral("4101010137"), {QStringLiteral("ID=9&amp;KEY=1")});
    TFormMain form(env.WriteSettings({LibraryNameOf(CatalogueKind::Matsue), LibraryNameOf(CatalogueKind::Mitaka),
                                      LibraryNameOf(CatalogueKind::Osakashi)}));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    form.MemoIsbn->setPlainText(QStringLiteral("978-4-10-101013-7\n4-00-310101-4\n4061313592\n"
                                               "ISBN4-87311-565-5\n4000000020\n4-7741-4237-X"));
    form.ActionIsbnFind->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !form.SearchDriver().IsSearching(); }));
    form.GridBooks->setFocus();
    form.GridBooks->SetCurrentCell(2, 2);
    QTest::qWait(200);
    ASSERT_TRUE(form.grab().save(output, "PNG"));
}
