#pragma once

#include "support/fake_calil.h"
#include "support/scoped_cache_home.h"
#include "support/search_environment.h"

#include <QString>
#include <QStringList>

// A search environment with a fake Calil beside the fake catalogues and the
// fake bookseller, and a cache folder of its own: XDG_CACHE_HOME points into
// a temporary folder while the object lives (also for programs it starts),
// so no test ever touches the user's cache.
class CalilEnvironment final
{
public:
    CalilEnvironment() = default;


    SearchEnvironment& search() { return search_; }
    FakeCalil& calil() { return calil_; }
    FakeCatalogue& catalogue(CatalogueKind kind) { return search_.catalogue(kind); }

    // $XDG_CACHE_HOME/quillmoor as the program sees it.
    QString cacheFolder() const { return cacheHome_.folder(); }

    // The settings file of SearchEnvironment, pointing Calil at the fake,
    // with Calil's key unless told otherwise and any stored Calil libraries
    // ("systemid:prefecture:name" items of a comma text).
    QString WriteSettings(const QStringList& libraries, bool withCalilKey = true,
                          const QString& calilLibraries = QString());

private:
    ScopedCacheHome cacheHome_;
    SearchEnvironment search_;
    FakeCalil calil_;
};
