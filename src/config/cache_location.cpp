#include "config/cache_location.h"

#include <QDir>

QString DefaultCacheFolder()
{
    QString cacheHome = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cacheHome.isEmpty() || QDir::isRelativePath(cacheHome))
        cacheHome = QDir::home().filePath(QStringLiteral(".cache"));
    return QDir(cacheHome).filePath(QStringLiteral("quillmoor"));
}
