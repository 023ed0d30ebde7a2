#include "gui/help_window.h"

#include "gui/application_title.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QPointer<THelpWindow>& TheWindow()
{
    static QPointer<THelpWindow> window;
    return window;
}

QUrl PageOfContext(int context)
{
    switch (context) {
    case THelpWindow::kContextGeneralSettings: return QUrl(QStringLiteral("qrc:/help/general_settings.html"));
    case THelpWindow::kContextLibrarySelection: return QUrl(QStringLiteral("qrc:/help/library_selection.html"));
    default: return QUrl(QStringLiteral("qrc:/help/index.html"));
    }
}

THelpWindow* EnsureWindow()
{
    if (TheWindow().isNull()) {
        TheWindow() = new THelpWindow();
        // It has no parent, so that it outlives the dialog that opened it;
        // it goes when the program ends.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, TheWindow(), [] { delete TheWindow(); });
    }
    return TheWindow();
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this))
{
    setWindowTitle(ApplicationTitle() + QStringLiteral(" ヘルプ"));
    setAttribute(Qt::WA_DeleteOnClose);
    // It is the main window's companion: an open help window must not keep
    // the program running after the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    // Pages link to each other; links out of the help go to the browser.
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == u"qrc")
            ShowPage(url);
        else if (url.scheme() == u"http" || url.scheme() == u"https")
            QDesktopServices::openUrl(url);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(640, 560);
}

void THelpWindow::ShowContents() { ShowContext(0); }

void THelpWindow::ShowContext(int context)
{
    THelpWindow* window = EnsureWindow();
    window->ShowPage(PageOfContext(context));
    window->show();
    window->raise();
    window->activateWindow();
}

THelpWindow* THelpWindow::Instance() { return TheWindow(); }

QUrl THelpWindow::CurrentPage() const { return browser_->source(); }

void THelpWindow::ShowPage(const QUrl& page) { browser_->setSource(page); }
