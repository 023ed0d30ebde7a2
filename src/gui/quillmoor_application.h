#pragma once

#include <QApplication>

#include <functional>

// The application object. An exception that escapes an event handler (a
// command, a dialog, a timer) is shown to the user in a message box, and the
// program goes on; it never unwinds through Qt's event loop.
class QuillmoorError;

class TQuillmoorApplication final : public QApplication
{
    Q_OBJECT

public:
    TQuillmoorApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // How an escaped exception's message reaches the user; a message box by
    // default. Tests replace it to record messages. Returns the display it
    // replaced.
    using ExceptionDisplay = std::function<void(const QString& message)>;
    static ExceptionDisplay SetExceptionDisplay(ExceptionDisplay display);
    static void ShowException(const QString& message);
    // Shows an error of the program's family in the words the window uses
    // for it (Japanese where the program knows the failure).
    static void ShowError(const QuillmoorError& error);
};
