#include "gui/form_about_box.h"
#include "gui/form_main.h"
#include "gui/help_window.h"
#include "gui/url_capture.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <memory>

TEST(AboutBox, ShowsTitleVersionAndCopyrightAndOpensTheHomePage)
{
    TFormAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(box.ProductName->text(), QStringLiteral("図書館蔵書検索ソフト Quillmoor"));
    EXPECT_EQ(box.Version->text(), QStringLiteral("0.3.7.0"));
    EXPECT_TRUE(box.Copyright->text().startsWith(QStringLiteral("Copyright")));
    // Every line is shown whole, in the font the box has.
    for (const QLabel* label : {box.ProductName, box.Version, box.Copyright, box.LabelUrl, box.LabelCalil})
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
            << label->text().toStdString();

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

TEST(HelpWindow, AnOpenHelpWindowDoesNotKeepTheProgramRunning)
{
    TempFolder folder;
    auto form = std::make_unique<TFormMain>(folder.file(QStringLiteral("quillmoor.ini")));
    form->show();
    THelpWindow::ShowContents();
    // The program's own loop, ended only by the last window closing, or by
    // the guard when the help window keeps it alive.
    bool stuck = false;
    QTimer::singleShot(0, form.get(), &QWidget::close);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        stuck = true;
        QApplication::quit();
    });
    guard.start(3000);
    QApplication::exec();
    EXPECT_FALSE(stuck);
    // The settings are saved when the main window goes.
    form.reset();
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("quillmoor.ini"))));
    delete THelpWindow::Instance();
}
