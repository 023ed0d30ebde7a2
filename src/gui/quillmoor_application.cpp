#include "gui/quillmoor_application.h"

#include "gui/application_title.h"
#include "gui/plain_message_box.h"
#include "gui/user_message.h"
#include "util/error.h"


#include <utility>

namespace {

TQuillmoorApplication::ExceptionDisplay& CurrentDisplay()
{
    static TQuillmoorApplication::ExceptionDisplay display = [](const QString& message) {
        ShowPlainMessage(QMessageBox::Critical, QApplication::activeWindow(), ApplicationTitle(), message);
    };
    return display;
}

} // namespace

TQuillmoorApplication::TQuillmoorApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQuillmoorApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const QuillmoorError& error) {
        ShowError(error);
    } catch (const std::exception& error) {
        ShowException(QString::fromUtf8(error.what()));
    }
    return false;
}

TQuillmoorApplication::ExceptionDisplay TQuillmoorApplication::SetExceptionDisplay(ExceptionDisplay display)
{
    return std::exchange(CurrentDisplay(), std::move(display));
}

void TQuillmoorApplication::ShowException(const QString& message)
{
    CurrentDisplay()(message);
}

void TQuillmoorApplication::ShowError(const QuillmoorError& error)
{
    ShowException(UserMessageOf(error));
}
