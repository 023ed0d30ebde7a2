#pragma once

#include <QDialog>

class QTextBrowser;

// The help pages shipped inside the program, shown in a window of their own
// that stays open beside the main window. One window serves the whole run.
class THelpWindow final : public QDialog
{
    Q_OBJECT

public:
    // Help context numbers of the topics the dialogs open.
    static constexpr int kContextGeneralSettings = 4;
    static constexpr int kContextLibrarySelection = 5;

    // Shows the table of contents, or the topic of a context number (an
    // unknown number shows the contents).
    static void ShowContents();
    static void ShowContext(int context);

    // The window, once it has been shown; for tests.
    static THelpWindow* Instance();
    QUrl CurrentPage() const;

    explicit THelpWindow(QWidget* parent = nullptr);

private:
    void ShowPage(const QUrl& page);

    QTextBrowser* browser_;
};
