#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// While it lives, XDG_CACHE_HOME points into a fresh temporary folder (also
// for the programs a test starts), so no test touches the user's cache or
// another test's.
class ScopedCacheHome final
{
public:
    ScopedCacheHome();
    ~ScopedCacheHome();
    ScopedCacheHome(const ScopedCacheHome&) = delete;
    ScopedCacheHome& operator=(const ScopedCacheHome&) = delete;

    // $XDG_CACHE_HOME/quillmoor as the program sees it.
    QString folder() const;
    // The lookup cache's file in it.
    QString lookupCacheFile() const;

private:
    QTemporaryDir home_;
    QByteArray previous_;
    bool hadPrevious_ = false;
};
