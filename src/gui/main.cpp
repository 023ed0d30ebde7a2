#include "config/settings_location.h"
#include "gui/form_main.h"
#include "gui/quillmoor_application.h"
#include "util/error.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The program speaks Japanese whatever the user's locale: so do Qt's own
// dialogs (the save dialog, the buttons of message boxes) where Qt's
// translations are installed.
void InstallJapaneseQtTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

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
    // No display name: the desktop would append it to every dialog's title.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillmoor.svg")));
    QApplication::setDesktopFileName(QStringLiteral("org.example.quillmoor.Quillmoor"));
    InstallJapaneseQtTranslations(app);
    try {
        TFormMain window(SettingsFileFromArguments(QApplication::arguments()));
        window.show();
        QApplication::exec();
    } catch (const QuillmoorError& error) {
        TQuillmoorApplication::ShowError(error);
    } catch (const std::exception& error) {
        TQuillmoorApplication::ShowException(QString::fromUtf8(error.what()));
    }
    // The program ends with status 0, also after a start-up error it showed.
    return 0;
}
