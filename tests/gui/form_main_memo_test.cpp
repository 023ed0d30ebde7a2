#include "gui/form_main.h"
#include "gui/help_window.h"
#include "gui/memo_lines.h"
#include "gui/quillmoor_application.h"
#include "support/temp_folder.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FormMainMemo : public ::testing::Test
{
protected:
    TempFolder folder;
    TFormMain form{folder.file(QStringLiteral("quillmoor.ini"))};

    void SetLines(const QStringList& lines) { form.MemoIsbn->setPlainText(lines.join(u'\n')); }
    QStringList Lines() const { return MemoLines(*form.MemoIsbn); }
};

} // namespace

TEST_F(FormMainMemo, PopupEnablesOnlyWhatCanBeDone)
{
    QApplication::clipboard()->clear();
    form.PopupMenuIsbnPopup();
    EXPECT_FALSE(form.ActionPopupIsbnSelectAll->isEnabled());
    EXPECT_FALSE(form.ActionPopupIsbnOverlapping->isEnabled());
    EXPECT_FALSE(form.ActionPopupIsbnCut->isEnabled());
    EXPECT_FALSE(form.ActionPopupIsbnUndo->isEnabled());
    EXPECT_FALSE(form.ActionPopupIsbnPaste->isEnabled());
    EXPECT_TRUE(form.ActionPopupIsbnChangeIsbn10->isEnabled());
    form.ActionPopupIsbnChangeIsbn10->trigger();
    EXPECT_TRUE(form.MemoIsbn->toPlainText().isEmpty());

    form.show();
    form.MemoIsbn->setFocus();
    QTest::keyClicks(form.MemoIsbn, QStringLiteral("4101010013"));
    form.PopupMenuIsbnPopup();
    form.ActionPopupIsbnSelectAll->trigger();
    QApplication::clipboard()->setText(QStringLiteral("9784101010014"));
    form.PopupMenuIsbnPopup();
    EXPECT_TRUE(form.ActionPopupIsbnUndo->isEnabled());
    EXPECT_TRUE(form.ActionPopupIsbnCut->isEnabled());
    EXPECT_TRUE(form.ActionPopupIsbnCopy->isEnabled());
    EXPECT_TRUE(form.ActionPopupIsbnDelete->isEnabled());
    EXPECT_TRUE(form.ActionPopupIsbnPaste->isEnabled());
    EXPECT_TRUE(form.ActionPopupIsbnSelectAll->isEnabled());
    EXPECT_TRUE(form.ActionPopupIsbnOverlapping->isEnabled());

    // Paste over the selection, then undo it.
    form.ActionPopupIsbnPaste->trigger();
    EXPECT_EQ(form.MemoIsbn->toPlainText(), QStringLiteral("9784101010014"));
    form.ActionPopupIsbnUndo->trigger();
    EXPECT_EQ(form.MemoIsbn->toPlainText(), QStringLiteral("4101010013"));
}

TEST_F(FormMainMemo, RemovesRepeatedLinesKeepingTheFirst)
{
    SetLines({QStringLiteral("4101010013"), QStringLiteral("4101010013"), QString(), QString(),
              QStringLiteral("412345678x"), QStringLiteral("412345678X")});
    form.ActionPopupIsbnOverlapping->trigger();
    EXPECT_EQ(Lines(), QStringList({QStringLiteral("4101010013"), QString(), QStringLiteral("412345678x")}));
    // One edit, undone at once.
    form.MemoIsbn->undo();
    EXPECT_EQ(Lines().size(), 6);
}

TEST_F(FormMainMemo, ConvertsEveryLineToIsbn10OrLeavesTheMemoAlone)
{
    SetLines({QStringLiteral("978-4-10-101001-4"), QStringLiteral("吾輩は猫である"), QStringLiteral("4-10-101001-3")});
    form.ActionPopupIsbnChangeIsbn10->trigger();
    EXPECT_EQ(Lines(), QStringList({QStringLiteral("4101010013"), QString(), QStringLiteral("4101010013")}));

    // A line that cannot be converted: the error reaches the user, the memo
    // keeps its text and the cursor comes back.
    QStringList shown;
    const auto previous =
        TQuillmoorApplication::SetExceptionDisplay([&](const QString& message) { shown.append(message); });
    const QString before = QStringLiteral("9784101010014\n978x101010014");
    form.MemoIsbn->setPlainText(before);
    form.show();
    form.PopupMenuIsbn->show();
    QTest::mouseClick(form.PopupMenuIsbn, Qt::LeftButton, {},
                      form.PopupMenuIsbn->actionGeometry(form.ActionPopupIsbnChangeIsbn10).center());
    EXPECT_EQ(form.MemoIsbn->toPlainText(), before);
    EXPECT_EQ(shown, QStringList({QStringLiteral("2行目「978x101010014」はISBNに変換できません。")}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    TQuillmoorApplication::SetExceptionDisplay(previous);
}

TEST_F(FormMainMemo, ClearEmptiesTheMemoAndF1OpensTheContents)
{
    SetLines({QStringLiteral("4101010013")});
    form.show();
    QTest::mouseClick(form.ButtonIsbnClear, Qt::LeftButton);
    EXPECT_TRUE(form.MemoIsbn->toPlainText().isEmpty());

    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.MemoIsbn->setFocus();
    QTest::keyClick(form.MemoIsbn, Qt::Key_F1);
    ASSERT_NE(THelpWindow::Instance(), nullptr);
    EXPECT_TRUE(THelpWindow::Instance()->isVisible());
    EXPECT_EQ(THelpWindow::Instance()->CurrentPage().toString(), QStringLiteral("qrc:/help/index.html"));
    delete THelpWindow::Instance();
}

TEST_F(FormMainMemo, CommandsStartEnabledWithTheirCaptionsAndHints)
{
    for (QAction* action : form.findChildren<QAction*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("図書館蔵書検索ソフト Quillmoor"));
    EXPECT_EQ(form.ButtonIsbnFind->text(), QStringLiteral("検索開始"));
    EXPECT_EQ(form.ButtonIsbnFind->toolTip(), QStringLiteral("検索を開始する"));
    EXPECT_EQ(form.ButtonIsbnFind->statusTip(), QStringLiteral("検索を開始する"));
    EXPECT_EQ(form.ActionFileSaveToCsv->property("category").toString(), QStringLiteral("ファイル"));
    const QStringList isbnPopup = [&] {
        QStringList texts;
        for (QAction* action : form.PopupMenuIsbn->actions())
            texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }();
    EXPECT_EQ(isbnPopup, QStringList({QStringLiteral("元に戻す(&U)"), QStringLiteral("-"), QStringLiteral("切り取り(&I)"),
                                      QStringLiteral("コピー(&C)"), QStringLiteral("貼り付け(&P)"),
                                      QStringLiteral("削除(&D)"), QStringLiteral("-"), QStringLiteral("すべて選択(&A)"),
                                      QStringLiteral("-"), QStringLiteral("重複削除(&X)"),
                                      QStringLiteral("ISBN10に変換する")}));
}

TEST_F(FormMainMemo, PastingWithoutTextOnTheClipboardChangesNothing)
{
    SetLines({QStringLiteral("9784101010014")});
    form.show();
    form.MemoIsbn->setFocus();
    // An empty clipboard, as on a fresh X server, and one with data but no text.
    QApplication::clipboard()->clear(QClipboard::Clipboard);
    QApplication::clipboard()->clear(QClipboard::Selection);
    QTest::keyClick(form.MemoIsbn, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(form.MemoIsbn, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::mouseClick(form.MemoIsbn->viewport(), Qt::MiddleButton);
    auto* image = new QMimeData();
    image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
    QApplication::clipboard()->setMimeData(image);
    QTest::keyClick(form.MemoIsbn, Qt::Key_V, Qt::ControlModifier);
    form.ActionPopupIsbnPaste->trigger();
    EXPECT_EQ(Lines(), QStringList({QStringLiteral("9784101010014")}));
}
