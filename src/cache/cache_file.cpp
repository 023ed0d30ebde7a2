#include "cache/cache_file.h"

#include "config/cache_location.h"

#include <QDir>

QString DefaultLookupCachePath()
{
    return QDir(DefaultCacheFolder()).filePath(QStringLiteral("lookups.sqlite"));
}
