#include "config/settings_location.h"
#include "gui/application_title.h"
#include "gui/form_main.h"
#include "util/error.h"

#include <QApplication>
#include <QMessageBox>

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
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setApplicationDisplayName(ApplicationTitle());
    try {
        TFormMain window(SettingsFileFromArguments(QApplication::arguments()));
        window.show();
        QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, ApplicationTitle(), QString::fromUtf8(error.what()));
    }
    // The program ends with status 0 also after a start-up error it showed.
    return 0;
}
