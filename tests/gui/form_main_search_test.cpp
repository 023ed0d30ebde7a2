#include "config/app_config.h"
#include "gui/form_config_general.h"
#include "gui/form_main.h"
#include "gui/grid_books.h"
#include "gui/modal_driver.h"
#include "gui/quillmoor_application.h"
#include "gui/search_progress.h"
#include "search/search_driver.h"
#include "support/search_environment.h"
#include "support/wait_until.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kKokoro = QStringLiteral("4101010137");
const QString kBotchan = QStringLiteral("4003101014");
const QString kMatsue = QStringLiteral("松江市立図書館");
const QString kMitaka = QStringLiteral("三鷹市立図書館");

class FormMainSearch : public ::testing::Test
{
protected:
    void SetUp() override { env.bookseller().AddBooks(FakeBookseller::SampleBooks()); }

    void Open(const QStringList& libraries, bool withKey = true)
    {
        settingsFile = env.WriteSettings(libraries, withKey);
        form = std::make_unique<TFormMain>(settingsFile);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void Find(const QStringList& lines)
    {
        form->MemoIsbn->setPlainText(lines.join(u'\n'));
        QTest::mouseClick(form->ButtonIsbnFind, Qt::LeftButton);
    }
    bool Finished() { return WaitUntil([this] { return !form->SearchDriver().IsSearching(); }); }

    // find, clear, cancel: the commands and the buttons that show them.
    std::tuple<bool, bool, bool> Commands() const
    {
        EXPECT_EQ(form->ButtonIsbnFind->isEnabled(), form->ActionIsbnFind->isEnabled());
        EXPECT_EQ(form->ButtonIsbnSearchCancel->isEnabled(), form->ActionIsbnSearchCancel->isEnabled());
        return {form->ActionIsbnFind->isEnabled(), form->ActionIsbnClear->isEnabled(),
                form->ActionIsbnSearchCancel->isEnabled()};
    }
    static constexpr std::tuple<bool, bool, bool> kAtStart{true, true, true};
    static constexpr std::tuple<bool, bool, bool> kAtRest{true, true, false};
    static constexpr std::tuple<bool, bool, bool> kSearching{false, false, true};

    SearchEnvironment env;
    QString settingsFile;
    std::unique_ptr<TFormMain> form; // last: goes before the fakes
};

} // namespace

TEST_F(FormMainSearch, CommandsAndProgressFollowAWholeSearch)
{
    env.catalogue(CatalogueKind::Matsue).Hold(kKokoro, {QStringLiteral("1234567")});
    env.catalogue(CatalogueKind::Matsue).SetDelay(std::chrono::milliseconds(150));
    Open({kMatsue, kMitaka});
    EXPECT_EQ(Commands(), kAtStart);
    EXPECT_FALSE(form->SearchProgress->isVisible());

    Find({QStringLiteral("978-4-10-101013-7"), QStringLiteral("4-00-310101-4"), QStringLiteral("short")});
    EXPECT_EQ(Commands(), kSearching);
    EXPECT_TRUE(form->SearchProgress->isVisible());
    EXPECT_EQ(form->SearchProgress->BarMaximum(), 3 * 2);
    EXPECT_EQ(form->GridBooks->RowCount(), 3);

    ASSERT_TRUE(Finished());
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_FALSE(form->SearchProgress->isVisible());
    EXPECT_EQ(form->SearchProgress->CountText(), QStringLiteral("6/6"));
    EXPECT_EQ(form->GridBooks->GetCellText(1, 1), QStringLiteral("こころ (新潮文庫) "));
    EXPECT_EQ(form->GridBooks->GetCellText(5, 1), env.catalogue(CatalogueKind::Matsue).DetailUrlFor(kKokoro));
    EXPECT_EQ(form->GridBooks->GetCellText(5, 2), QStringLiteral("×"));
    EXPECT_EQ(form->GridBooks->GetCellText(6, 2), QStringLiteral("×"));
}

TEST_F(FormMainSearch, CancelRestoresTheCommandsAtOnceAndLateAnswersStayOut)
{
    // Before any search, cancelling only disables itself.
    Open({kMatsue});
    form->ActionIsbnSearchCancel->trigger();
    EXPECT_EQ(Commands(), kAtRest);

    env.catalogue(CatalogueKind::Matsue).Hold(kKokoro, {QStringLiteral("1")});
    env.catalogue(CatalogueKind::Matsue).StallRequests();
    Find({kKokoro, kBotchan});
    ASSERT_TRUE(env.catalogue(CatalogueKind::Matsue).WaitForRequests(1, std::chrono::seconds(5)));
    EXPECT_EQ(Commands(), kSearching);
    QTest::mouseClick(form->ButtonIsbnSearchCancel, Qt::LeftButton);
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_FALSE(form->SearchProgress->isVisible());

    env.catalogue(CatalogueKind::Matsue).ReleaseStalled();
    ASSERT_TRUE(Finished());
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_EQ(form->GridBooks->GetCellText(5, 1), QString());
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 1);
}

TEST_F(FormMainSearch, WithoutAnAccessKeyIdAWarningWithOneButtonAndNoRequest)
{
    Open({kMatsue}, /*withKey=*/false);
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    Find({kKokoro, kBotchan});
    EXPECT_EQ(text, QStringLiteral("Amazon Access Key IDを登録しないと、Amazonの検索ができません。"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_FALSE(form->SearchDriver().IsSearching());
    // The rows are there, empty; nobody was asked.
    EXPECT_EQ(form->GridBooks->RowCount(), 3);
    EXPECT_EQ(env.bookseller().RequestCount(), 0);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 0);
}

TEST_F(FormMainSearch, AReaderWithoutAKeyChoosesOpenBdAndGetsTheBookColumnsWithoutAWarning)
{
    env.openBd().AddBooks(FakeOpenBd::SampleBooks());
    env.ndl().AddBooks(FakeNdl::SampleBooks());
    Open({kMatsue}, /*withKey=*/false);
    const auto chooseInTheDialog = [&](QRadioButton* TFormConfigGeneral::*choice) {
        WhenModal<TFormConfigGeneral>([choice](TFormConfigGeneral* dialog) {
            dialog->PageControl1->setCurrentWidget(dialog->TabSheetBookData);
            QTest::mouseClick(dialog->*choice, Qt::LeftButton);
            QTest::mouseClick(dialog->BtnOk, Qt::LeftButton);
        });
        form->ActionConfigGeneral->trigger();
    };
    EXPECT_EQ(form->GridBooks->GetHeaderText(1), QStringLiteral("書名(Amazon)"));
    chooseInTheDialog(&TFormConfigGeneral::RadioBookDataOpenBd);
    EXPECT_EQ(form->GridBooks->GetHeaderText(1), QStringLiteral("書名(openBD/NDL)"));

    // Any box would be the missing-key warning: count and close it.
    int boxes = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxes;
            box->reject();
        }
    });
    watch.start(5);
    Find({kKokoro, kBotchan});
    ASSERT_TRUE(Finished());
    watch.stop();
    EXPECT_EQ(boxes, 0);
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_EQ(env.bookseller().RequestCount(), 0);
    EXPECT_EQ(form->GridBooks->GetCellText(1, 1), QStringLiteral("こころ "));
    EXPECT_EQ(form->GridBooks->GetCellText(2, 2), QStringLiteral("518 "));
    EXPECT_EQ(form->GridBooks->GetCellText(3, 2), QStringLiteral("1989-05 "));
    EXPECT_EQ(form->GridBooks->GetCellText(5, 1), QStringLiteral("×"));

    // The header names who filled the rows, whatever is chosen afterwards.
    chooseInTheDialog(&TFormConfigGeneral::RadioBookDataAmazon);
    EXPECT_EQ(form->Config().GetBookDataSource(), TBookDataSource::Amazon);
    EXPECT_EQ(form->GridBooks->GetHeaderText(1), QStringLiteral("書名(openBD/NDL)"));
}

TEST_F(FormMainSearch, ACatalogueFailureIsShownInACriticalBoxWhileTheSearchGoesOn)
{
    env.catalogue(CatalogueKind::Mitaka).AnswerStatus(500);
    Open({kMitaka});
    QStringList shown;
    const std::function<void(QMessageBox*)> confirm = [&](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        shown.append(box->text());
        box->button(QMessageBox::Ok)->click();
        if (shown.size() < 2)
            WhenModal<QMessageBox>(confirm);
    };
    WhenModal<QMessageBox>(confirm);
    Find({kKokoro, kBotchan});
    ASSERT_TRUE(Finished());
    EXPECT_EQ(shown, QStringList(2, QStringLiteral("HTTP 500 Internal Server Error")));
    EXPECT_EQ(form->GridBooks->GetCellText(5, 1), QStringLiteral("エラー"));
    EXPECT_EQ(Commands(), kAtRest);
}

TEST_F(FormMainSearch, TheFailureBoxOffersAWayOutOfTheSearch)
{
    // Three dead catalogues, two ISBNs: without a way out the user would
    // have to answer six boxes one after the other.
    const QList<CatalogueKind> dead{CatalogueKind::Matsue, CatalogueKind::Mitaka, CatalogueKind::Inagi};
    QStringList names;
    for (const CatalogueKind kind : dead) {
        env.catalogue(kind).AnswerStatus(503);
        names.append(LibraryNameOf(kind));
    }
    Open(names);
    int boxes = 0;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        ++boxes;
        ASSERT_NE(box->checkBox(), nullptr);
        EXPECT_EQ(box->checkBox()->text(), QStringLiteral("この図書館のエラーを今回の検索では表示しない"));
        const auto buttons = box->buttons();
        const auto cancel = std::find_if(buttons.begin(), buttons.end(), [](QAbstractButton* button) {
            return button->text() == QStringLiteral("検索中止");
        });
        ASSERT_NE(cancel, buttons.end());
        (*cancel)->click();
    });
    Find({kKokoro, kBotchan});
    ASSERT_TRUE(Finished());
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(Commands(), kAtRest);
    // Nobody went on to the second ISBN, and no box is left open.
    for (const CatalogueKind kind : dead)
        EXPECT_LE(env.catalogue(kind).requestCount(), 1) << ShortNameOf(kind);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(FormMainSearch, ALineThatCannotBeConvertedIsReportedAndTheCommandsRest)
{
    Open({kMatsue});
    QStringList shown;
    const auto previous =
        TQuillmoorApplication::SetExceptionDisplay([&](const QString& message) { shown.append(message); });
    Find({kKokoro, QStringLiteral("978x101010137")});
    TQuillmoorApplication::SetExceptionDisplay(previous);
    EXPECT_EQ(shown, QStringList({QStringLiteral("2行目「978x101010137」はISBNに変換できません。")}));
    EXPECT_EQ(Commands(), kAtRest);
    EXPECT_FALSE(form->SearchDriver().IsSearching());
}

TEST_F(FormMainSearch, ClosingDuringAStalledSearchIsPromptAndStillSavesTheSettings)
{
    QStringList all;
    for (const CatalogueKind kind : AllCatalogueKinds()) {
        env.catalogue(kind).StallRequests();
        all.append(LibraryNameOf(kind));
    }
    env.bookseller().SetAnswerDelay(std::chrono::seconds(30));
    Open(all);
    Find({kKokoro, kBotchan});
    for (const CatalogueKind kind : AllCatalogueKinds())
        ASSERT_TRUE(env.catalogue(kind).WaitForRequests(1, std::chrono::seconds(5)));
    form->Config().SetProxyServer(QStringLiteral("proxy.example"));

    QElapsedTimer clock;
    clock.start();
    form->close();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(form->SearchDriver().IsSearching());
    for (int column = 1; column < form->GridBooks->ColCount(); ++column)
        EXPECT_EQ(form->GridBooks->GetCellText(column, 1), QString()) << column;
    form.reset();
    EXPECT_LT(clock.elapsed(), 2000);
    TAppConfig saved;
    saved.Load(settingsFile);
    EXPECT_EQ(saved.GetProxyServer(), QStringLiteral("proxy.example"));
    EXPECT_EQ(saved.GetLibraryNames(), all);
}
