#include "config/app_config.h"
#include <QRadioButton>
#include "config/ini_file.h"
#include "gui/config_commands.h"
#include "gui/form_config_general.h"
#include "gui/form_main.h"
#include "gui/help_window.h"
#include "gui/layout_scale.h"
#include "modal_driver.h"
#include "support/temp_folder.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// Everything the dialog can change, to compare settings before and after.
struct TSettingsSeen
{
    TProxySettings proxy;
    QString keyId;
    QString secret;

    explicit TSettingsSeen(const TAppConfig& config)
        : proxy(config.GetProxySettings()), keyId(config.GetAwsKeyID()), secret(config.GetSecretAccessKey())
    {
    }
    bool operator==(const TSettingsSeen& other) const
    {
        return proxy.use == other.proxy.use && proxy.server == other.proxy.server && proxy.port == other.proxy.port
               && proxy.userName == other.proxy.userName && proxy.password == other.proxy.password
               && keyId == other.keyId && secret == other.secret;
    }
};

QString LabelOf(const QWidget* edit)
{
    for (const QLabel* label : edit->parentWidget()->findChildren<QLabel*>()) {
        if (label->buddy() == edit)
            return label->text();
    }
    return QStringLiteral("(no label)");
}

void Retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
}

class ConfigGeneralCommand : public ::testing::Test
{
protected:
    TAppConfig config;

    // Runs the command; the step plays the user in the open dialog.
    void Run(std::function<void(TFormConfigGeneral*)> step)
    {
        WhenModal<TFormConfigGeneral>(std::move(step));
        ActionConfigGeneralExecute(nullptr, config);
    }
};

} // namespace

TEST(FormConfigGeneral, ShowsItsPagesWithTheirTextsAndKeepsItsSize)
{
    TFormConfigGeneral form;
    const LayoutScale scale(&form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("全般設定"));
    EXPECT_EQ(form.minimumSize(), QSize(scale(428), scale(252)));
    EXPECT_EQ(form.maximumSize(), form.minimumSize());

    ASSERT_EQ(form.PageControl1->count(), 4);
    EXPECT_EQ(form.PageControl1->tabText(0), QStringLiteral("Amazon"));
    EXPECT_EQ(form.PageControl1->tabText(1), QStringLiteral("Proxy"));
    EXPECT_EQ(form.PageControl1->tabText(2), QStringLiteral("書誌情報"));
    EXPECT_EQ(form.PageControl1->tabText(3), QStringLiteral("カーリル"));
    EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheetAmazon);

    EXPECT_EQ(LabelOf(form.EditAwsKeyId), QStringLiteral("Amazon Access Key ID"));
    EXPECT_EQ(LabelOf(form.EditSecretAccessKey), QStringLiteral("Amazon Secret Access Key"));
    EXPECT_EQ(form.CheckBoxProxyUse->text(), QStringLiteral("Proxyを使用する"));
    EXPECT_EQ(LabelOf(form.EditProxyServer), QStringLiteral("Server"));
    EXPECT_EQ(LabelOf(form.EditProxyPort), QStringLiteral("Port"));
    EXPECT_EQ(LabelOf(form.EditProxyUserName), QStringLiteral("User Name "));
    EXPECT_EQ(LabelOf(form.EditProxyPassword), QStringLiteral("Password"));
    EXPECT_EQ(LabelOf(form.EditCalilAppKey), QStringLiteral("カーリル アプリケーションキー"));
    EXPECT_EQ(form.EditProxyPassword->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(form.BtnHelp->text(), QStringLiteral("ヘルプ(&H)"));
    EXPECT_EQ(form.BtnOk->text(), QStringLiteral("OK"));
    EXPECT_EQ(form.BitBtn2->text(), QStringLiteral("キャンセル"));

    for (const QLineEdit* edit : {form.EditAwsKeyId, form.EditSecretAccessKey, form.EditProxyServer,
                                  form.EditProxyPort, form.EditProxyUserName, form.EditProxyPassword})
        EXPECT_FALSE(edit->testAttribute(Qt::WA_InputMethodEnabled)) << LabelOf(edit).toStdString();

    QStringList memo = form.Memo1->toPlainText().split(u'\n');
    // First, where it is seen without scrolling: no new keys, and the page
    // that needs none.
    ASSERT_EQ(memo.size(), 9);
    EXPECT_TRUE(memo[0].contains(QStringLiteral("新しいキーを発行していません"))) << memo[0].toStdString();
    EXPECT_TRUE(memo[1].contains(QStringLiteral("「書誌情報」ページ"))) << memo[1].toStdString();
    memo = memo.mid(2);
    EXPECT_EQ(memo[0], QStringLiteral("Product Advertising API アカウントのAmazonのAccess Key IDとSecret Access "));
    EXPECT_EQ(memo[1], QStringLiteral("Keyを登録しないと、Amazonの検索ができません。"));
    EXPECT_EQ(memo[2], QStringLiteral("Product Advertising API アカウントの作成方法は、"));
    EXPECT_TRUE(QUrl(memo[3] + memo[4] + memo[5]).isValid());
    EXPECT_TRUE(memo[3].startsWith(QStringLiteral("https://")));
    EXPECT_EQ(memo[6], QStringLiteral("をご覧下さい。"));
    EXPECT_TRUE(form.Memo1->isReadOnly());
    EXPECT_EQ(form.Memo1->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST(FormConfigGeneral, ProxyEditsFollowTheCheckBoxAndKeepTheirTexts)
{
    TAppConfig config;  // the defaults: proxy off, 127.0.0.1:8080
    TFormConfigGeneral form;
    form.SetConfig(config);
    form.show();
    const std::array edits{form.EditProxyServer, form.EditProxyPort, form.EditProxyUserName, form.EditProxyPassword};
    EXPECT_FALSE(form.CheckBoxProxyUse->isChecked());
    for (const QLineEdit* edit : edits)
        EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ(form.EditProxyServer->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(form.EditProxyPort->text(), QStringLiteral("8080"));
    EXPECT_TRUE(form.EditProxyUserName->text().isEmpty());
    EXPECT_TRUE(form.EditProxyPassword->text().isEmpty());

    form.PageControl1->setCurrentWidget(form.TabSheetProxy);
    QTest::mouseClick(form.CheckBoxProxyUse, Qt::LeftButton);
    for (const QLineEdit* edit : edits)
        EXPECT_TRUE(edit->isEnabled());
    Retype(form.EditProxyUserName, QStringLiteral("reader"));
    QTest::mouseClick(form.CheckBoxProxyUse, Qt::LeftButton);
    for (const QLineEdit* edit : edits)
        EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ(form.EditProxyUserName->text(), QStringLiteral("reader"));

    // Filling from settings with the proxy in use enables them as well.
    config.SetProxyUse(true);
    TFormConfigGeneral second;
    second.SetConfig(config);
    for (const QLineEdit* edit : {second.EditProxyServer, second.EditProxyPort, second.EditProxyUserName,
                                  second.EditProxyPassword})
        EXPECT_TRUE(edit->isEnabled());
}

TEST(FormConfigGeneral, EnterAndEscapePressNoButtonButAFocusedButtonTakesEnter)
{
    TAppConfig config;
    TFormConfigGeneral form;
    form.SetConfig(config);
    QSignalSpy accepted(&form, &QDialog::accepted);
    QSignalSpy rejected(&form, &QDialog::rejected);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    for (const QPushButton* button : {form.BtnHelp, form.BtnOk, form.BitBtn2})
        EXPECT_FALSE(button->isDefault() || button->autoDefault());

    form.EditAwsKeyId->setFocus();
    QTest::keyClick(form.EditAwsKeyId, Qt::Key_Return);
    QTest::keyClick(form.EditAwsKeyId, Qt::Key_Enter);
    QTest::keyClick(form.EditAwsKeyId, Qt::Key_Escape);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_EQ(rejected.count(), 0);

    form.BitBtn2->setFocus();
    QTest::keyClick(form.BitBtn2, Qt::Key_Return);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_EQ(accepted.count(), 0);
}

TEST(FormConfigGeneral, TabGoesThroughThePageThenTheButtons)
{
    TAppConfig config;
    config.SetProxyUse(true);
    TFormConfigGeneral form;
    form.SetConfig(config);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    const auto walk = [&](int steps) {
        std::vector<QWidget*> seen;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.push_back(QApplication::focusWidget());
        }
        return seen;
    };
    QWidget* const tabs = form.PageControl1->focusProxy() != nullptr ? form.PageControl1->focusProxy()
                                                                      : form.PageControl1;
    tabs->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(walk(6), (std::vector<QWidget*>{form.EditAwsKeyId, form.EditSecretAccessKey, form.BtnHelp, form.BtnOk,
                                              form.BitBtn2, tabs}));

    form.PageControl1->setCurrentWidget(form.TabSheetProxy);
    tabs->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(walk(9), (std::vector<QWidget*>{form.CheckBoxProxyUse, form.EditProxyServer, form.EditProxyPort,
                                              form.EditProxyUserName, form.EditProxyPassword, form.BtnHelp,
                                              form.BtnOk, form.BitBtn2, tabs}));
}

TEST(FormConfigGeneral, HelpButtonAndF1OpenTheGeneralSettingsTopic)
{
    TFormConfigGeneral form;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QTest::mouseClick(form.BtnHelp, Qt::LeftButton);
    ASSERT_NE(THelpWindow::Instance(), nullptr);
    EXPECT_EQ(THelpWindow::Instance()->CurrentPage().fileName(), QStringLiteral("general_settings.html"));

    THelpWindow::ShowContents();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(form.EditAwsKeyId, Qt::Key_F1);
    EXPECT_EQ(THelpWindow::Instance()->CurrentPage().fileName(), QStringLiteral("general_settings.html"));
    THelpWindow::Instance()->close();
    // The window deletes itself once closed; let it go before the test ends.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ConfigGeneralCommand, StoresTrimmedKeysAndProxyTextsAsTyped)
{
    Run([](TFormConfigGeneral* form) {
        EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheetAmazon);
        Retype(form->EditAwsKeyId, QStringLiteral("  AKIAEXAMPLE \t"));
        Retype(form->EditSecretAccessKey, QStringLiteral(" secret/key+1  "));
        form->PageControl1->setCurrentWidget(form->TabSheetProxy);
        QTest::mouseClick(form->CheckBoxProxyUse, Qt::LeftButton);
        Retype(form->EditProxyServer, QStringLiteral(" proxy.example.jp "));
        Retype(form->EditProxyPort, QStringLiteral("0"));
        Retype(form->EditProxyUserName, QStringLiteral(" reader "));
        Retype(form->EditProxyPassword, QStringLiteral(" pass word "));
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
    });
    EXPECT_EQ(config.GetAwsKeyID(), QStringLiteral("AKIAEXAMPLE"));
    EXPECT_EQ(config.GetSecretAccessKey(), QStringLiteral("secret/key+1"));
    EXPECT_TRUE(config.GetProxyUse());
    EXPECT_EQ(config.GetProxyServer(), QStringLiteral(" proxy.example.jp "));
    EXPECT_EQ(config.GetProxyPort(), 0);
    EXPECT_EQ(config.GetProxyUserName(), QStringLiteral(" reader "));
    EXPECT_EQ(config.GetProxyPassword(), QStringLiteral(" pass word "));

    // No range check: a port beyond 65535 or below 0 is stored as typed.
    for (const auto& [typed, stored] : {std::pair{"70000", 70000}, std::pair{"-1", -1}}) {
        Run([typed = typed](TFormConfigGeneral* form) {
            Retype(form->EditProxyPort, QString::fromLatin1(typed));
            QTest::mouseClick(form->BtnOk, Qt::LeftButton);
        });
        EXPECT_EQ(config.GetProxyPort(), stored);
    }
}

TEST_F(ConfigGeneralCommand, PastedLineBreaksNeverReachTheSettingsFile)
{
    QApplication::clipboard()->setText(QStringLiteral("ID\r\nSecretAccessKey=INJECTED\n"));
    Run([](TFormConfigGeneral* form) {
        QTest::mouseClick(form->CheckBoxProxyUse, Qt::LeftButton);
        for (QLineEdit* edit : {form->EditAwsKeyId, form->EditSecretAccessKey, form->EditProxyServer,
                                form->EditProxyUserName, form->EditProxyPassword}) {
            edit->clear();
            edit->paste();
        }
        form->EditProxyPort->clear();
        QApplication::clipboard()->setText(QStringLiteral("3128\r\n"));
        form->EditProxyPort->paste();
        // A port warning would be a fault; close it rather than hang. The
        // timer goes with the dialog when OK closes it.
        QTimer::singleShot(200, form, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "warned: " << box->text().toStdString();
                box->accept();
            }
        });
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
    });
    const QString joined = QStringLiteral("IDSecretAccessKey=INJECTED");
    EXPECT_EQ(config.GetAwsKeys().accessKeyId, joined);
    EXPECT_EQ(config.GetProxyPassword(), joined);
    EXPECT_EQ(config.GetProxyPort(), 3128);

    TempFolder folder;
    config.Save(folder.file(QStringLiteral("q.ini")));
    const TIniFile saved = TIniFile::FromFile(folder.file(QStringLiteral("q.ini")));
    EXPECT_EQ(saved.KeyNames(QStringLiteral("AMAZON")),
              QStringList({QStringLiteral("AwsKeyID"), QStringLiteral("SecretAccessKey")}));
    for (const QString& key : saved.KeyNames(QStringLiteral("PROXY")))
        EXPECT_NE(key, QStringLiteral("SecretAccessKey"));
    EXPECT_EQ(saved.ReadString(QStringLiteral("PROXY"), QStringLiteral("Server"), QString()), joined);
}

TEST_F(ConfigGeneralCommand, PortThatIsNoNumberWarnsAndKeepsTheDialogOpen)
{
    config.SetProxyUse(true);
    const TSettingsSeen before(config);
    Run([&](TFormConfigGeneral* form) {
        Retype(form->EditAwsKeyId, QStringLiteral("KEY"));
        form->PageControl1->setCurrentWidget(form->TabSheetProxy);
        Retype(form->EditProxyPort, QStringLiteral("abc"));
        form->PageControl1->setCurrentWidget(form->TabSheetAmazon);

        int warnings = 0;
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            ++warnings;
            EXPECT_EQ(box->text(), QStringLiteral("ProxyのPortが不正です。"));
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            EXPECT_EQ(box->buttons().size(), 1);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
        EXPECT_EQ(warnings, 1);
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(TSettingsSeen(config) == before);
        // The field in fault is shown and takes the focus.
        EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheetProxy);
        EXPECT_EQ(form->focusWidget(), form->EditProxyPort);

        Retype(form->EditProxyPort, QStringLiteral("3128"));
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
    });
    EXPECT_EQ(config.GetProxyPort(), 3128);
    EXPECT_EQ(config.GetAwsKeyID(), QStringLiteral("KEY"));
}

TEST_F(ConfigGeneralCommand, PortIsCheckedAlsoWhenTheProxyIsOff)
{
    const TSettingsSeen before(config);
    Run([&](TFormConfigGeneral* form) {
        form->PageControl1->setCurrentWidget(form->TabSheetProxy);
        QTest::mouseClick(form->CheckBoxProxyUse, Qt::LeftButton);
        Retype(form->EditProxyPort, QStringLiteral("80 80"));
        QTest::mouseClick(form->CheckBoxProxyUse, Qt::LeftButton);
        form->PageControl1->setCurrentWidget(form->TabSheetAmazon);

        WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
        EXPECT_TRUE(form->isVisible());
        // The disabled port edit cannot take the focus; the check box that
        // unlocks it does.
        EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheetProxy);
        EXPECT_EQ(form->focusWidget(), form->CheckBoxProxyUse);
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    });
    EXPECT_TRUE(TSettingsSeen(config) == before);
}

TEST_F(ConfigGeneralCommand, UncheckingTheProxyKeepsItsValues)
{
    config.SetProxyUse(true);
    config.SetProxyServer(QStringLiteral("proxy.lan"));
    config.SetProxyPort(3128);
    config.SetProxyUserName(QStringLiteral("u"));
    config.SetProxyPassword(QStringLiteral("p"));
    Run([](TFormConfigGeneral* form) {
        form->PageControl1->setCurrentWidget(form->TabSheetProxy);
        QTest::mouseClick(form->CheckBoxProxyUse, Qt::LeftButton);
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
    });
    EXPECT_FALSE(config.GetProxyUse());
    EXPECT_EQ(config.GetProxyServer(), QStringLiteral("proxy.lan"));
    EXPECT_EQ(config.GetProxyPort(), 3128);
    EXPECT_EQ(config.GetProxyUserName(), QStringLiteral("u"));
    EXPECT_EQ(config.GetProxyPassword(), QStringLiteral("p"));
}

TEST_F(ConfigGeneralCommand, CancelAndTheCloseBoxChangeNothingAndTheNextOpeningShowsAmazon)
{
    config.SetAwsKeyID(QStringLiteral("OLD"));
    const TSettingsSeen before(config);
    const auto editEverything = [](TFormConfigGeneral* form) {
        Retype(form->EditAwsKeyId, QStringLiteral("NEW"));
        Retype(form->EditSecretAccessKey, QStringLiteral("NEW"));
        form->PageControl1->setCurrentWidget(form->TabSheetProxy);
        QTest::mouseClick(form->CheckBoxProxyUse, Qt::LeftButton);
        for (QLineEdit* edit : {form->EditProxyServer, form->EditProxyPort, form->EditProxyUserName,
                                form->EditProxyPassword})
            Retype(edit, QStringLiteral("1"));
    };
    Run([&](TFormConfigGeneral* form) {
        editEverything(form);
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    });
    EXPECT_TRUE(TSettingsSeen(config) == before);

    Run([&](TFormConfigGeneral* form) {
        EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheetAmazon);
        editEverything(form);
        form->close();
    });
    EXPECT_TRUE(TSettingsSeen(config) == before);
}

TEST(ConfigGeneralFromTheMainWindow, ChangesReachTheSettingsFileAtExit)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("quillmoor.ini"));
    {
        TFormMain form(file);
        EXPECT_TRUE(form.ActionConfigGeneral->isEnabled());
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        WhenModal<TFormConfigGeneral>([&](TFormConfigGeneral* dialog) {
            EXPECT_EQ(dialog->parentWidget(), &form);
            EXPECT_LE((dialog->geometry().center() - form.geometry().center()).manhattanLength(), 2);
            // The main window waits for the dialog; the help can be read.
            QTest::mouseClick(dialog->BtnHelp, Qt::LeftButton);
            ASSERT_NE(THelpWindow::Instance(), nullptr);
            EXPECT_TRUE(QTest::qWaitForWindowExposed(THelpWindow::Instance()));
            EXPECT_TRUE(TakesClicks(THelpWindow::Instance()));
            EXPECT_FALSE(TakesClicks(&form));
            THelpWindow::Instance()->close();
            Retype(dialog->EditAwsKeyId, QStringLiteral(" AKIAFILE "));
            QTest::mouseClick(dialog->BtnOk, Qt::LeftButton);
        });
        form.ActionConfigGeneral->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(form.Config().GetAwsKeyID(), QStringLiteral("AKIAFILE"));
    }
    EXPECT_TRUE(folder.read(QStringLiteral("quillmoor.ini")).contains("AwsKeyID=AKIAFILE\r\n"));
}

// Workers may read the settings while the user confirms the dialog during a
// search. Every value read must be one the user had or gave, and a proxy
// snapshot must never mix in an older value behind a newer one.
TEST(ConfigGeneralDuringASearch, ConfirmingNeverTearsWhatWorkersRead)
{
    TAppConfig config;
    TFormConfigGeneral first;
    TFormConfigGeneral second;
    const auto fill = [](TFormConfigGeneral& form, bool use, const QString& tag, const QString& port) {
        form.CheckBoxProxyUse->setChecked(use);
        form.EditAwsKeyId->setText(QStringLiteral("KEY-") + tag);
        form.EditSecretAccessKey->setText(QStringLiteral("SECRET-") + tag);
        form.EditProxyServer->setText(QStringLiteral("server-") + tag);
        form.EditProxyPort->setText(port);
        form.EditProxyUserName->setText(QStringLiteral("user-") + tag);
        form.EditProxyPassword->setText(QStringLiteral("password-") + tag);
    };
    fill(first, false, QStringLiteral("a"), QStringLiteral("1111"));
    fill(second, true, QStringLiteral("b"), QStringLiteral("2222"));
    ApplyConfigGeneral(first, config);

    // 0: a field holds the first form's value, 1: the second's, -1: neither.
    const auto sideOf = [](const QString& value) {
        return value.endsWith(u'a') ? 0 : value.endsWith(u'b') ? 1 : -1;
    };
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::atomic<long> reads{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < 3; ++w) {
        workers.emplace_back([&] {
            while (!stop.load()) {
                const TProxySettings proxy = config.GetProxySettings();
                const std::array<int, 5> sides{proxy.use ? 1 : 0, sideOf(proxy.server),
                                               proxy.port == 1111 ? 0 : proxy.port == 2222 ? 1 : -1,
                                               sideOf(proxy.userName), sideOf(proxy.password)};
                int changes = 0;
                for (std::size_t i = 0; i < sides.size(); ++i) {
                    if (sides[i] < 0)
                        ++torn;
                    if (i > 0 && sides[i] != sides[i - 1])
                        ++changes;
                }
                // A confirmed dialog stores the proxy as one value: a snapshot
                // is wholly old or wholly new.
                if (changes > 0)
                    ++torn;
                // So is the key pair a batch is signed with.
                const TAwsKeys keys = config.GetAwsKeys();
                if (sideOf(keys.accessKeyId) < 0 || sideOf(keys.accessKeyId) != sideOf(keys.secretAccessKey))
                    ++torn;
                ++reads;
            }
        });
    }
    for (int round = 0; round < 20000; ++round)
        ApplyConfigGeneral(round % 2 == 0 ? second : first, config);
    stop = true;
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(reads.load(), 0);
}

TEST(FormConfigGeneral, BookDataPageOffersThreeSourcesEachWithWhatItNeeds)
{
    TAppConfig config;
    TFormConfigGeneral form;
    form.SetConfig(config);
    form.PageControl1->setCurrentWidget(form.TabSheetBookData);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(form.RadioBookDataAmazon->isChecked());
    EXPECT_TRUE(form.RadioBookDataAmazon->text().startsWith(QStringLiteral("Amazon")));
    EXPECT_TRUE(form.LabelBookDataAmazon->text().contains(QStringLiteral("キーの登録が必要")));
    EXPECT_TRUE(form.RadioBookDataOpenBd->text().contains(QStringLiteral("openBD")));
    EXPECT_TRUE(form.RadioBookDataOpenBd->text().contains(QStringLiteral("国立国会図書館サーチ")));
    EXPECT_TRUE(form.LabelBookDataOpenBd->text().contains(QStringLiteral("キー不要")));
    EXPECT_TRUE(form.RadioBookDataNone->text().contains(QStringLiteral("図書館だけ")));
    // Every choice and its line stay inside the page, none over another.
    const QRect page = form.TabSheetBookData->rect();
    QRect previous;
    for (const QWidget* widget : {static_cast<QWidget*>(form.RadioBookDataAmazon), static_cast<QWidget*>(form.LabelBookDataAmazon),
                                  static_cast<QWidget*>(form.RadioBookDataOpenBd), static_cast<QWidget*>(form.LabelBookDataOpenBd),
                                  static_cast<QWidget*>(form.RadioBookDataNone), static_cast<QWidget*>(form.LabelBookDataNone)}) {
        EXPECT_TRUE(page.contains(widget->geometry())) << widget->metaObject()->className() << " "
            << widget->geometry().y() << "+" << widget->geometry().height() << " in " << page.height();
        EXPECT_FALSE(widget->geometry().intersects(previous)) << widget->metaObject()->className();
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
        }
        previous = widget->geometry();
    }

    config.SetBookDataSource(TBookDataSource::None);
    form.SetConfig(config);
    EXPECT_TRUE(form.RadioBookDataNone->isChecked());
    EXPECT_FALSE(form.RadioBookDataAmazon->isChecked());
}

TEST_F(ConfigGeneralCommand, TheChosenBookDataSourceIsStoredOnOkOnly)
{
    Run([](TFormConfigGeneral* form) {
        form->PageControl1->setCurrentWidget(form->TabSheetBookData);
        QTest::mouseClick(form->RadioBookDataOpenBd, Qt::LeftButton);
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    });
    EXPECT_EQ(config.GetBookDataSource(), TBookDataSource::Amazon);

    Run([](TFormConfigGeneral* form) {
        form->PageControl1->setCurrentWidget(form->TabSheetBookData);
        QTest::mouseClick(form->RadioBookDataOpenBd, Qt::LeftButton);
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
    });
    EXPECT_EQ(config.GetBookDataSource(), TBookDataSource::OpenBd);
    Run([](TFormConfigGeneral* form) {
        EXPECT_TRUE(form->RadioBookDataOpenBd->isChecked());
        QTest::mouseClick(form->BtnOk, Qt::LeftButton);
    });
    EXPECT_EQ(config.GetBookDataSource(), TBookDataSource::OpenBd);
}
