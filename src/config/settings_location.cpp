#include "config/settings_location.h"

#include <QDir>
#include <QFileInfo>

QString DefaultSettingsPath(const QString& executablePath)
{
    const QString fileName = QStringLiteral("quillmoor.ini");
    const QDir executableDir = QFileInfo(executablePath).absoluteDir();
    const QString beside = executableDir.filePath(fileName);
    const bool systemFolder = executableDir.absolutePath().startsWith(QStringLiteral("/usr/"));
    if (QFileInfo::exists(beside)
        || (!systemFolder && QFileInfo(executableDir.absolutePath()).isWritable()))
        return beside;

    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty())
        configHome = QDir::home().filePath(QStringLiteral(".config"));
    const QDir folder(QDir(configHome).filePath(QStringLiteral("quillmoor")));
    folder.mkpath(QStringLiteral("."));
    return folder.filePath(fileName);
}
