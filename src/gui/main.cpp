#include "config/settings_location.h"
#include "gui/application_title.h"
#include "gui/form_main.h"
#include "gui/quillmoor_application.h"
#include "util/error.h"

namespace {

// --config FILE names the settings file; otherwise the default place.
QString SettingsFileFromArguments(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--config"));
    if (at >= 0 && at + 1 < arguments.size())
        return arguments[at + 1];
    return DefaultSettingsPath(QCoreApplication::applicationFilePath());
}

} // namespace

int main(int argc, char** argv)
{
    TQuillmoorApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillmoor"));
    QApplication::setApplicationDisplayName(ApplicationTitle());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillmoor.svg")));
    QApplication::setDesktopFileName(QStringLiteral("quillmoor"));
    try {
        TFormMain window(SettingsFileFromArguments(QApplication::arguments()));
        window.show();
        QApplication::exec();
    } catch (const QuillmoorError& error) {
        TQuillmoorApplication::ShowException(error.message());
    } catch (const std::exception& error) {
        TQuillmoorApplication::ShowException(QString::fromUtf8(error.what()));
    }
    // The program ends with status 0, also after a start-up error it showed.
    return 0;
}
