#include "gui/form_config_general.h"
#include "gui/form_main.h"
#include "gui/grid_books.h"
#include "gui/modal_driver.h"
#include "search/search_driver.h"
#include "support/search_environment.h"
#include "support/wait_until.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// The settings commands stay usable while a search runs. What the dialog
// stores reaches the search only where it should: the bookseller's keys at
// its next batch, the proxy not before the next search.
TEST(SettingsDuringASearch, NewKeysReachTheNextBatchAndTheProxyWaitsForTheNextSearch)
{
    SearchEnvironment env;
    QStringList memo;
    for (int i = 0; i < 12; ++i) {
        const QString key = QStringLiteral("41000000%1").arg(i, 2, 10, QChar(u'0'));
        memo.append(key);
        env.bookseller().AddBook({key, QStringLiteral("本"), QStringLiteral("100"), QStringLiteral("2020"),
                                  QStringLiteral("1"), QString()});
    }
    env.bookseller().SetAnswerDelay(std::chrono::milliseconds(1500));
    FakeCatalogue& matsue = env.catalogue(CatalogueKind::Matsue);
    matsue.StallRequests();
    TFormMain form(env.WriteSettings({matsue.libraryName()}));
    form.show();

    form.MemoIsbn->setPlainText(memo.join(u'\n'));
    QTest::mouseClick(form.ButtonIsbnFind, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return env.bookseller().RequestCount() == 1 && matsue.requestCount() == 1; }));

    // While the first batch is on its way: a wrong secret key, and a proxy
    // that does not exist.
    ASSERT_TRUE(form.ActionConfigGeneral->isEnabled());
    WhenModal<TFormConfigGeneral>([](TFormConfigGeneral* dialog) {
        dialog->EditSecretAccessKey->setText(QStringLiteral("not the secret"));
        dialog->CheckBoxProxyUse->setChecked(true);
        dialog->EditProxyServer->setText(QStringLiteral("127.0.0.1"));
        dialog->EditProxyPort->setText(QStringLiteral("1"));
        QTest::mouseClick(dialog->BtnOk, Qt::LeftButton);
    });
    form.ActionConfigGeneral->trigger();
    EXPECT_EQ(form.Config().GetSecretAccessKey(), QStringLiteral("not the secret"));
    EXPECT_TRUE(form.Config().GetProxyUse());
    env.bookseller().SetAnswerDelay(std::chrono::milliseconds(0));

    matsue.ReleaseStalled();
    ASSERT_TRUE(WaitUntil([&] { return !form.SearchDriver().IsSearching(); }, 30000));

    // The first batch went out with the old keys; the second with the new
    // pair, which the service refuses three times.
    QList<int> statuses;
    for (const auto& request : env.bookseller().Requests())
        statuses.append(request.status);
    EXPECT_EQ(statuses, QList<int>({200, 403, 403, 403}));
    EXPECT_EQ(form.GridBooks->GetCellText(2, 10), QStringLiteral("100 "));
    EXPECT_EQ(form.GridBooks->GetCellText(2, 11), QString());
    // The library worker kept the direct connection it started with.
    for (int row = 1; row <= 12; ++row)
        EXPECT_EQ(form.GridBooks->GetCellText(5, row), QStringLiteral("×")) << row;
    EXPECT_EQ(matsue.requestCount(), 12);
}
