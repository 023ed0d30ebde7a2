#include "calil/calil_budget.h"
#include "calil/calil_clock.h"
#include "config/app_config.h"
#include "gui/config_commands.h"
#include "gui/form_about_box.h"
#include "gui/form_config_general.h"
#include "gui/form_main.h"
#include "gui/form_select_lib.h"
#include "gui/grid_books.h"
#include "gui/help_window.h"
#include "gui/url_capture.h"
#include "libraries/library_list.h"
#include "search/search_driver.h"
#include "support/calil_environment.h"
#include "support/wait_until.h"
#include "util/code_page.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QString kKokoro = QStringLiteral("4101010137");
const QString kBotchan = QStringLiteral("4003101014");
const QString kMitaka = QStringLiteral("三鷹市立図書館");
const QString kChofu = QStringLiteral("調布市立中央図書館");
const QString kChofuStored = QStringLiteral("Tokyo_Chofu:東京都:調布市立中央図書館");
const QString kMitakaUrl = QStringLiteral("https://opac.example.mitaka/detail?id=0001");
const QString kChofuUrl = QStringLiteral("https://opac.example.chofu/1");

QStringList ItemTexts(const QListWidget* box)
{
    QStringList texts;
    for (int i = 0; box != nullptr && i < box->count(); ++i)
        texts.append(box->item(i)->text());
    return texts;
}

QListWidgetItem* Item(const QListWidget* box, const QString& text)
{
    for (int i = 0; box != nullptr && i < box->count(); ++i) {
        if (box->item(i)->text() == text)
            return box->item(i);
    }
    return nullptr;
}

} // namespace

TEST(CalilSettingsPage, TakesTheKeyWithoutSurroundingBlanksAndSaysWhereToGetOne)
{
    TAppConfig config;
    config.SetCalilAppKey(QStringLiteral("old"));
    TFormConfigGeneral form;
    form.SetConfig(config);
    EXPECT_EQ(form.PageControl1->tabText(form.PageControl1->indexOf(form.TabSheetCalil)), QStringLiteral("カーリル"));
    EXPECT_EQ(form.EditCalilAppKey->text(), QStringLiteral("old"));
    EXPECT_TRUE(form.LabelCalilKeyHelp->text().contains(QStringLiteral("https://calil.jp/api/dashboard/")));
    form.EditCalilAppKey->setText(QStringLiteral("  new-key\t"));
    ApplyConfigGeneral(form, config);
    EXPECT_EQ(config.GetCalilAppKey(), QStringLiteral("new-key"));
}

class CalilLibraryChoice : public ::testing::Test
{
protected:
    CalilEnvironment env;
    TAppConfig config;

    void SetUp() override
    {
        FakeCalil& calil = env.calil();
        const QString tokyo = QStringLiteral("東京都");
        calil.AddBuilding(tokyo, QStringLiteral("Tokyo_Mitaka"), QStringLiteral("東京都三鷹市"), kMitaka, true);
        calil.AddBuilding(tokyo, QStringLiteral("Tokyo_Chofu"), QStringLiteral("東京都調布市"),
                          QStringLiteral("調布市立深大寺図書館"), false);
        calil.AddBuilding(tokyo, QStringLiteral("Tokyo_Chofu"), QStringLiteral("東京都調布市"), kChofu, true);
        config.Load(env.WriteSettings({kMitaka}));
    }
    static QListWidget* Tokyo(const TFormSelectLib& form) { return form.PrefListBoxes().value(QStringLiteral("東京都")); }
};

TEST_F(CalilLibraryChoice, ListsCalilsSystemsBesideTheBuiltInsAndKeepsTheChoice)
{
    {
        TFormSelectLib form;
        form.SetConfig(&config);
        form.show();
        // Every prefecture can be chosen; the one of the chosen library is shown.
        int prefectures = 0;
        for (int r = 0; r < form.TreeViewPref->topLevelItemCount(); ++r)
            prefectures += form.TreeViewPref->topLevelItem(r)->childCount();
        EXPECT_EQ(prefectures, 47);
        EXPECT_EQ(form.TreeViewPref->currentItem()->text(0), QStringLiteral("東京都"));
        EXPECT_TRUE(form.ButtonRefreshCalil->isVisible());

        // Fetched in the background; the built-in appears once, under its own name.
        ASSERT_TRUE(WaitUntil([&] { return Item(Tokyo(form), kChofu) != nullptr; }));
        EXPECT_EQ(ItemTexts(Tokyo(form)),
                  QStringList({kMitaka, QStringLiteral("品川区立図書館"), QStringLiteral("福生市立図書館"),
                               QStringLiteral("稲城市立図書館"), QStringLiteral("羽村市図書館"), kChofu}));
        EXPECT_EQ(Item(Tokyo(form), kMitaka)->checkState(), Qt::Checked);
        Item(Tokyo(form), kChofu)->setCheckState(Qt::Checked);
        QTest::mouseClick(form.BtnOk, Qt::LeftButton);
    }
    EXPECT_EQ(config.GetLibraryNames(), QStringList({kMitaka, kChofu}));
    const TLibraryRecord* chofu = config.GetLibraryList()->FindRecord(kChofu);
    ASSERT_NE(chofu, nullptr);
    EXPECT_EQ(chofu->CalilSystemId, QStringLiteral("Tokyo_Chofu"));
    EXPECT_TRUE(QFile::exists(QDir(env.cacheFolder()).filePath(QStringLiteral("calil-libraries/13.json"))));
    EXPECT_EQ(env.calil().libraryRequests(), QStringList({QStringLiteral("東京都")}));

    // Next time the kept list serves, until the reader asks for a new one.
    TFormSelectLib again;
    again.SetConfig(&config);
    again.show();
    EXPECT_EQ(Item(Tokyo(again), kChofu)->checkState(), Qt::Checked);
    EXPECT_EQ(env.calil().libraryRequests().size(), 1);
    QTest::mouseClick(again.ButtonRefreshCalil, Qt::LeftButton);
    EXPECT_FALSE(again.ButtonRefreshCalil->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return env.calil().libraryRequests().size() == 2 && again.ButtonRefreshCalil->isEnabled(); }));
    EXPECT_EQ(ItemTexts(Tokyo(again)).count(kChofu), 1);
}

class CalilWindow : public ::testing::Test
{
protected:
    CalilEnvironment env;
    std::unique_ptr<TFormMain> form;

    void Open(double factor)
    {
        env.search().bookseller().AddBooks(FakeBookseller::SampleBooks());
        form = std::make_unique<TFormMain>(env.WriteSettings({kMitaka, kChofu}, true, kChofuStored));
        clock = factor == 1 ? std::make_shared<TCalilClock>() : TCalilClock::Accelerated(factor);
        form->SearchDriver().SetCalilClock(clock);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void Find(const QStringList& lines)
    {
        form->MemoIsbn->setPlainText(lines.join(u'\n'));
        QTest::mouseClick(form->ButtonIsbnFind, Qt::LeftButton);
    }
    TGridBooks& grid() { return *form->GridBooks; }
    QColor Background(int column, int row)
    {
        const QImage picture = grid().viewport()->grab().toImage();
        const QRect rect = grid().CellRect(column, row);
        return picture.pixelColor(rect.right() - 1, rect.bottom() - 1);
    }

    std::shared_ptr<const TCalilClock> clock;
};

TEST_F(CalilWindow, ShowsStatusesAtAGlanceKeepsTheAddressesAndLinksToCalil)
{
    env.calil().Hold(kKokoro, QStringLiteral("Tokyo_Mitaka"), kMitakaUrl,
                     {{QStringLiteral("本館"), QStringLiteral("貸出中")}, {QStringLiteral("三鷹駅前"), QStringLiteral("貸出可")}});
    env.calil().Hold(kKokoro, QStringLiteral("Tokyo_Chofu"), kChofuUrl, {{QStringLiteral("中央"), QStringLiteral("予約中")}});
    Open(50);
    Find({kKokoro, kBotchan});
    ASSERT_TRUE(WaitUntil([&] { return !form->SearchDriver().IsSearching(); }));
    EXPECT_EQ(env.catalogue(CatalogueKind::Mitaka).requestCount(), 0);

    EXPECT_EQ(grid().GetCellDisplayText(5, 1), QStringLiteral("貸出可"));
    EXPECT_EQ(grid().GetCellDisplayText(6, 1), QStringLiteral("予約中"));
    EXPECT_EQ(grid().GetCellText(5, 1), kMitakaUrl); // what copy and open use
    EXPECT_EQ(grid().GetCellDisplayText(5, 2), QStringLiteral("×"));
    EXPECT_EQ(Background(5, 1), TGridBooks::kOnShelfCellColor);
    EXPECT_EQ(Background(6, 1), TGridBooks::kOutCellColor);
    EXPECT_EQ(Background(5, 2), grid().palette().color(QPalette::Base));

    UrlCapture browser;
    ASSERT_TRUE(grid().SetCurrentCell(6, 1));
    Q_EMIT form->PopupMenuGrid->aboutToShow();
    ASSERT_TRUE(form->PopupMenuGrid->actions().contains(form->ActionGridOpenCalil));
    EXPECT_TRUE(form->ActionGridOpenCalil->isEnabled());
    form->ActionGridOpenCalil->trigger();
    form->ActionGridOpenUrl->trigger();
    EXPECT_EQ(browser.urls(), QStringList({QStringLiteral("https://calil.jp/book/4101010137"), kChofuUrl}));
    ASSERT_TRUE(grid().SetCurrentCell(2, 1));
    Q_EMIT form->PopupMenuGrid->aboutToShow();
    EXPECT_FALSE(form->ActionGridOpenCalil->isEnabled());

    const QString csvFile = QDir(env.cacheFolder()).filePath(QStringLiteral("../out.csv"));
    grid().SaveToCsv(csvFile);
    QFile csv(csvFile);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = DecodeCodePage(csv.readAll(), kCodePageShiftJis).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(",三鷹市立図書館,三鷹市立図書館(状態),調布市立中央図書館,調布市立中央図書館(状態)")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",%1,貸出可,%2,予約中").arg(kMitakaUrl, kChofuUrl))) << lines[1].toStdString();
}

TEST_F(CalilWindow, TheStatusBarSaysUntilWhenTheBudgetHoldsTheSearchBack)
{
    Open(1);
    TCalilBudget(QDir(env.cacheFolder()).filePath(QStringLiteral("calil-budget")), FakeCalil::kAppKey, clock)
        .Spend([](int left) { return left; });
    Find({kKokoro});
    ASSERT_TRUE(WaitUntil([&] { return form->SearchNotice->isVisible(); }));
    EXPECT_TRUE(form->SearchNotice->text().startsWith(QStringLiteral("カーリルの上限のため ")));
    EXPECT_TRUE(form->SearchNotice->text().endsWith(QStringLiteral(" まで待機中")));
    QTest::mouseClick(form->ButtonIsbnSearchCancel, Qt::LeftButton);
    EXPECT_FALSE(form->SearchNotice->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return !form->SearchDriver().IsSearching(); }, 2000));
    EXPECT_EQ(env.calil().checkRequestCount(), 0);
}

TEST(CalilCredit, TheAboutBoxAndTheHelpNameCalilAsTheSourceOfHoldings)
{
    TFormAboutBox box;
    EXPECT_TRUE(box.LabelCalil->text().contains(QStringLiteral("カーリル")));
    UrlCapture browser;
    box.show();
    QTest::mouseClick(box.LabelCalil, Qt::LeftButton);
    EXPECT_EQ(browser.urls(), QStringList({QStringLiteral("https://calil.jp/")}));

    THelpWindow::ShowContents();
    const auto* page = THelpWindow::Instance()->findChild<QTextBrowser*>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("カーリル")));
    delete THelpWindow::Instance();
}
