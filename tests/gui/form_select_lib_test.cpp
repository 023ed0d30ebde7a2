#include "config/app_config.h"
#include "gui/config_commands.h"
#include "gui/form_main.h"
#include "gui/form_select_lib.h"
#include "gui/help_window.h"
#include "gui/layout_scale.h"
#include "modal_driver.h"
#include "support/temp_folder.h"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QString kMatsue = QStringLiteral("松江市立図書館");
const QString kShinagawa = QStringLiteral("品川区立図書館");
const QString kOsakaPref = QStringLiteral("大阪府立図書館");

const QStringList kAllInOrder = {
    QStringLiteral("松江市立図書館"), QStringLiteral("大阪市立図書館"), QStringLiteral("大阪府立図書館"),
    QStringLiteral("三鷹市立図書館"), QStringLiteral("品川区立図書館"), QStringLiteral("福生市立図書館"),
    QStringLiteral("稲城市立図書館"), QStringLiteral("羽村市図書館"),
};

QStringList ItemTexts(const QListWidget* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->item(i)->text());
    return texts;
}

QStringList CheckedTexts(const QListWidget* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) {
        if (box->item(i)->checkState() == Qt::Checked)
            texts.append(box->item(i)->text());
    }
    return texts;
}

QTreeWidgetItem* Node(const QTreeWidget* tree, const QString& text)
{
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QString SelectedText(const QTreeWidget* tree)
{
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.size() == 1 ? selected.first()->text(0) : QStringLiteral("(%1 selected)").arg(selected.size());
}

// The one check list on show; null when none or more than one is.
const QListWidget* VisibleList(const TFormSelectLib& form)
{
    const QListWidget* visible = nullptr;
    for (const QListWidget* box : form.PrefListBoxes()) {
        if (box->isVisible()) {
            if (visible != nullptr)
                return nullptr;
            visible = box;
        }
    }
    return visible;
}

void ClickNode(QTreeWidget* tree, const QString& text, Qt::KeyboardModifiers modifiers = {})
{
    QTreeWidgetItem* node = Node(tree, text);
    ASSERT_NE(node, nullptr) << text.toStdString();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, modifiers, tree->visualItemRect(node).center());
}

void CheckAll(TFormSelectLib* form)
{
    for (QListWidget* box : form->PrefListBoxes()) {
        for (int i = 0; i < box->count(); ++i)
            box->item(i)->setCheckState(Qt::Checked);
    }
}

class SelectLib : public ::testing::Test
{
protected:
    TAppConfig config;
    TFormSelectLib form;

    void Open()
    {
        form.SetConfig(&config);
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

class SelectLibCommand : public ::testing::Test
{
protected:
    TAppConfig config;

    bool Run(std::function<void(TFormSelectLib*)> step)
    {
        WhenModal<TFormSelectLib>(std::move(step));
        return ActionConfigLibraryExecute(nullptr, config);
    }
};

} // namespace

TEST_F(SelectLib, OffersTheEightLibrariesUnderTheirRegionsWithShimaneSelected)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    const LayoutScale scale(&form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("図書館選択"));
    EXPECT_EQ(form.size(), QSize(scale(426), scale(293)));
    EXPECT_NE(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.GroupBox1->title(), QStringLiteral("都道府県選択"));
    EXPECT_EQ(form.GroupBoxLibrary->title(), QStringLiteral("図書館選択"));
    EXPECT_EQ(form.TreeViewPref->indentation(), scale(19));
    EXPECT_EQ(form.BitBtn1->text(), QStringLiteral("ヘルプ(&H)"));
    EXPECT_EQ(form.BtnCancel->text(), QStringLiteral("キャンセル"));
    EXPECT_TRUE(form.BtnOk->isDefault());

    // Regions by code unit, each with its prefecture, all expanded.
    const QTreeWidget* tree = form.TreeViewPref;
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    const QStringList regions = {QStringLiteral("中国地方"), QStringLiteral("近畿地方"), QStringLiteral("関東地方")};
    const QStringList prefectures = {QStringLiteral("島根県"), QStringLiteral("大阪府"), QStringLiteral("東京都")};
    for (int i = 0; i < 3; ++i) {
        const QTreeWidgetItem* region = tree->topLevelItem(i);
        EXPECT_EQ(region->text(0), regions[i]);
        EXPECT_TRUE(region->isExpanded());
        ASSERT_EQ(region->childCount(), 1);
        EXPECT_EQ(region->child(0)->text(0), prefectures[i]);
        EXPECT_EQ(form.RegionPrefs().value(regions[i]), QStringList{prefectures[i]});
    }

    ASSERT_EQ(form.PrefListBoxes().keys(), QStringList({QStringLiteral("大阪府"), QStringLiteral("島根県"),
                                                        QStringLiteral("東京都")}));
    EXPECT_EQ(ItemTexts(form.PrefListBoxes().value(QStringLiteral("島根県"))), QStringList{kMatsue});
    EXPECT_EQ(ItemTexts(form.PrefListBoxes().value(QStringLiteral("大阪府"))), kAllInOrder.mid(1, 2));
    EXPECT_EQ(ItemTexts(form.PrefListBoxes().value(QStringLiteral("東京都"))), kAllInOrder.mid(3));
    for (const QListWidget* box : form.PrefListBoxes()) {
        EXPECT_TRUE(CheckedTexts(box).isEmpty());
        EXPECT_EQ(box->parentWidget(), form.GroupBoxLibrary);
    }

    EXPECT_EQ(SelectedText(tree), QStringLiteral("島根県"));
    EXPECT_EQ(VisibleList(form), form.PrefListBoxes().value(QStringLiteral("島根県")));
    EXPECT_EQ(form.StatusBar1->height(), scale(19));
    EXPECT_TRUE(form.StatusBar1->currentMessage().isEmpty());
}

TEST_F(SelectLib, RegionsExpandAndCollapseButNeverTakeTheSelection)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    QTreeWidget* tree = form.TreeViewPref;
    QTreeWidgetItem* kinki = Node(tree, QStringLiteral("近畿地方"));
    const QListWidget* shimane = form.PrefListBoxes().value(QStringLiteral("島根県"));

    ClickNode(tree, QStringLiteral("近畿地方"));
    EXPECT_EQ(SelectedText(tree), QStringLiteral("島根県"));
    EXPECT_EQ(VisibleList(form), shimane);

    // The clicked region can still be folded and unfolded from the keyboard
    // and by double-clicking.
    EXPECT_EQ(tree->currentItem(), kinki);
    QTest::keyClick(tree, Qt::Key_Left);
    EXPECT_FALSE(kinki->isExpanded());
    QTest::keyClick(tree, Qt::Key_Right);
    EXPECT_TRUE(kinki->isExpanded());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(kinki).center());
    EXPECT_FALSE(kinki->isExpanded());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(kinki).center());
    EXPECT_TRUE(kinki->isExpanded());
    EXPECT_EQ(SelectedText(tree), QStringLiteral("島根県"));

    // Moving down from the region reaches its prefecture.
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(SelectedText(tree), QStringLiteral("大阪府"));
    EXPECT_EQ(VisibleList(form), form.PrefListBoxes().value(QStringLiteral("大阪府")));

    // Neither a control-click on the selected node nor a click below the
    // nodes leaves the tree without a selection.
    ClickNode(tree, QStringLiteral("大阪府"), Qt::ControlModifier);
    EXPECT_EQ(SelectedText(tree), QStringLiteral("大阪府"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(5, tree->viewport()->height() - 3));
    EXPECT_EQ(SelectedText(tree), QStringLiteral("大阪府"));
    EXPECT_EQ(VisibleList(form), form.PrefListBoxes().value(QStringLiteral("大阪府")));
}

TEST_F(SelectLib, ChecksSurviveSwitchingPrefectures)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ClickNode(form.TreeViewPref, QStringLiteral("大阪府"));
    QListWidget* osaka = form.PrefListBoxes().value(QStringLiteral("大阪府"));
    ASSERT_EQ(VisibleList(form), osaka);
    osaka->setFocus();
    osaka->setCurrentRow(1);
    QTest::keyClick(osaka, Qt::Key_Space);
    EXPECT_EQ(CheckedTexts(osaka), QStringList{kOsakaPref});

    ClickNode(form.TreeViewPref, QStringLiteral("東京都"));
    EXPECT_EQ(VisibleList(form), form.PrefListBoxes().value(QStringLiteral("東京都")));
    ClickNode(form.TreeViewPref, QStringLiteral("大阪府"));
    EXPECT_EQ(VisibleList(form), osaka);
    EXPECT_EQ(CheckedTexts(osaka), QStringList{kOsakaPref});

    QTest::mouseClick(form.BtnOk, Qt::LeftButton);
    EXPECT_EQ(config.GetLibraryNames(), QStringList{kOsakaPref});
}

TEST_F(SelectLib, HelpButtonAndF1OpenTheLibrarySelectionTopic)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    ASSERT_NE(THelpWindow::Instance(), nullptr);
    EXPECT_EQ(THelpWindow::Instance()->CurrentPage().fileName(), QStringLiteral("library_selection.html"));

    THelpWindow::ShowContents();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(form.TreeViewPref, Qt::Key_F1);
    EXPECT_EQ(THelpWindow::Instance()->CurrentPage().fileName(), QStringLiteral("library_selection.html"));
    THelpWindow::Instance()->close();
    // The window deletes itself once closed; let it go before the test ends.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(SelectLibCommand, OkWithEverythingCheckedStoresPrefecturesInTreeOrder)
{
    EXPECT_TRUE(Run([](TFormSelectLib* form) {
        CheckAll(form);
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(config.GetLibraryNames(), kAllInOrder);

    // Unchecking everything is a valid choice: Amazon only.
    EXPECT_TRUE(Run([](TFormSelectLib* form) {
        for (QListWidget* box : form->PrefListBoxes()) {
            EXPECT_EQ(CheckedTexts(box), ItemTexts(box));
            for (int i = 0; i < box->count(); ++i)
                box->item(i)->setCheckState(Qt::Unchecked);
        }
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
    }));
    EXPECT_TRUE(config.GetLibraryNames().isEmpty());
}

TEST_F(SelectLibCommand, OkWithoutChangesPutsTheSelectionInTreeOrder)
{
    config.SetLibraryNames({kShinagawa, kMatsue});
    EXPECT_TRUE(Run([](TFormSelectLib* form) {
        EXPECT_EQ(CheckedTexts(form->PrefListBoxes().value(QStringLiteral("島根県"))), QStringList{kMatsue});
        EXPECT_EQ(CheckedTexts(form->PrefListBoxes().value(QStringLiteral("東京都"))), QStringList{kShinagawa});
        // Enter presses OK wherever the focus is.
        form->TreeViewPref->setFocus();
        QTest::keyClick(form->TreeViewPref, Qt::Key_Return);
    }));
    EXPECT_EQ(config.GetLibraryNames(), QStringList({kMatsue, kShinagawa}));
}

TEST_F(SelectLibCommand, CancelEscapeAndTheCloseBoxChangeNothing)
{
    config.SetLibraryNames({kShinagawa, kMatsue});
    EXPECT_FALSE(Run([](TFormSelectLib* form) {
        CheckAll(form);
        QTest::mouseClick(form->BtnCancel, Qt::LeftButton);
    }));
    EXPECT_FALSE(Run([](TFormSelectLib* form) {
        CheckAll(form);
        QTest::keyClick(form->TreeViewPref, Qt::Key_Escape);
    }));
    EXPECT_FALSE(Run([](TFormSelectLib* form) {
        CheckAll(form);
        form->close();
    }));
    EXPECT_EQ(config.GetLibraryNames(), QStringList({kShinagawa, kMatsue}));
}

TEST(SelectLibFromTheMainWindow, ColumnsFollowOkNotCancelAndTheChoiceReachesTheFile)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("quillmoor.ini"));
    {
        TFormMain form(file);
        QSignalSpy columnsRebuilt(&form, &TFormMain::LibrarySelectionChanged);

        WhenModal<TFormSelectLib>([](TFormSelectLib* dialog) {
            CheckAll(dialog);
            QTest::mouseClick(dialog->BtnCancel, Qt::LeftButton);
        });
        form.ActionConfigLibrary->trigger();
        EXPECT_EQ(columnsRebuilt.count(), 0);
        EXPECT_TRUE(form.Config().GetLibraryNames().isEmpty());

        // OK rebuilds the columns even when nothing was changed. While the
        // dialog is open the main window waits, but the help can be read.
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        WhenModal<TFormSelectLib>([&](TFormSelectLib* dialog) {
            EXPECT_EQ(dialog->parentWidget(), &form);
            QTest::mouseClick(dialog->BitBtn1, Qt::LeftButton);
            ASSERT_NE(THelpWindow::Instance(), nullptr);
            EXPECT_TRUE(QTest::qWaitForWindowExposed(THelpWindow::Instance()));
            EXPECT_TRUE(TakesClicks(THelpWindow::Instance()));
            EXPECT_FALSE(TakesClicks(&form));
            THelpWindow::Instance()->close();
            QTest::mouseClick(dialog->BtnOk, Qt::LeftButton);
        });
        form.ActionConfigLibrary->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(columnsRebuilt.count(), 1);

        WhenModal<TFormSelectLib>([](TFormSelectLib* dialog) {
            dialog->PrefListBoxes().value(QStringLiteral("島根県"))->item(0)->setCheckState(Qt::Checked);
            QTest::mouseClick(dialog->BtnOk, Qt::LeftButton);
        });
        form.ActionConfigLibrary->trigger();
        EXPECT_EQ(columnsRebuilt.count(), 2);
        EXPECT_EQ(form.Config().GetLibraryNames(), QStringList{kMatsue});
    }
    EXPECT_TRUE(folder.read(QStringLiteral("quillmoor.ini")).contains("LibraryNames="));
    TAppConfig reloaded;
    reloaded.Load(file);
    EXPECT_EQ(reloaded.GetLibraryNames(), QStringList{kMatsue});
}
