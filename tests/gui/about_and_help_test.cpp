#include "gui/form_about_box.h"
#include "gui/help_window.h"
#include "gui/url_capture.h"

#include <QLabel>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

TEST(AboutBox, ShowsTitleVersionAndCopyrightAndOpensTheHomePage)
{
    TFormAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(box.ProductName->text(), QStringLiteral("図書館蔵書検索ソフト Quillmoor"));
    EXPECT_EQ(box.Version->text(), QStringLiteral("0.3.7.0"));
    EXPECT_TRUE(box.Copyright->text().startsWith(QStringLiteral("Copyright")));

    UrlCapture capture;
    box.show();
    QTest::mouseClick(box.LabelUrl, Qt::LeftButton);
    EXPECT_EQ(capture.urls(), QStringList({TFormAboutBox::kHomePage}));
}

TEST(HelpWindow, OpensTheContentsAndTheTopicsOfTheDialogs)
{
    THelpWindow::ShowContents();
    ASSERT_NE(THelpWindow::Instance(), nullptr);
    EXPECT_EQ(THelpWindow::Instance()->CurrentPage().toString(), QStringLiteral("qrc:/help/index.html"));
    const auto* browser = THelpWindow::Instance()->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("目次")));

    THelpWindow::ShowContext(THelpWindow::kContextGeneralSettings);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("ProxyのPortが不正です。")));
    THelpWindow::ShowContext(THelpWindow::kContextLibrarySelection);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("松江市立図書館")));
    delete THelpWindow::Instance();
}
