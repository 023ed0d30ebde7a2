#include "gui/quillmoor_application.h"

#include "gui/application_title.h"
#include "util/error.h"

#include <QMessageBox>

#include <utility>

namespace {

TQuillmoorApplication::ExceptionDisplay& CurrentDisplay()
{
    static TQuillmoorApplication::ExceptionDisplay display = [](const QString& message) {
        QMessageBox box(QMessageBox::Critical, ApplicationTitle(), message, QMessageBox::Ok,
                        QApplication::activeWindow());
        // Messages name files and quote servers: a "<" in them is text, not markup.
        box.setTextFormat(Qt::PlainText);
        box.exec();
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
        ShowException(error.message());
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
