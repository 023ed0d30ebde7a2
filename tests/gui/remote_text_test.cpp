#include "gui/gui_search_front_end.h"
#include "gui/modal_driver.h"
#include "gui/plain_message_box.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

// A status line as a hostile server could send it.
const QString kHostile = QStringLiteral("HTTP 500 <a href=\"file:///etc/passwd\">click</a>");

// Every label of the box, as the user would see it, with no markup at work.
void ExpectPlain(QMessageBox* box)
{
    bool sawText = false;
    for (QLabel* label : box->findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
        sawText = sawText || label->text() == kHostile;
    }
    EXPECT_TRUE(sawText);
}

} // namespace

TEST(RemoteText, ServerTextInAFailureBoxOrAnErrorBoxIsNeverMarkup)
{
    QMainWindow window;
    TGuiSearchFrontEnd frontEnd(&window);
    bool answered = false;
    frontEnd.ShowCatalogueError(kHostile, kHostile, [&](TCatalogueErrorChoice) { answered = true; });
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    ExpectPlain(box);
    box->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(answered);

    WhenModal<QMessageBox>([](QMessageBox* shown) {
        ExpectPlain(shown);
        shown->button(QMessageBox::Ok)->click();
    });
    // The box of the application's error display and of the warnings.
    ShowPlainMessage(QMessageBox::Critical, &window, QStringLiteral("title"), kHostile);
}
