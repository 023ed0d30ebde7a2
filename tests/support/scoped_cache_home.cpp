#include "support/scoped_cache_home.h"

#include <QDir>
#include <QFile>

ScopedCacheHome::ScopedCacheHome()
    : previous_(qgetenv("XDG_CACHE_HOME")), hadPrevious_(qEnvironmentVariableIsSet("XDG_CACHE_HOME"))
{
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home_.path()));
}

ScopedCacheHome::~ScopedCacheHome()
{
    if (hadPrevious_)
        qputenv("XDG_CACHE_HOME", previous_);
    else
        qunsetenv("XDG_CACHE_HOME");
}

QString ScopedCacheHome::folder() const { return QDir(home_.path()).filePath(QStringLiteral("quillmoor")); }

QString ScopedCacheHome::lookupCacheFile() const { return QDir(folder()).filePath(QStringLiteral("lookups.sqlite")); }
