#pragma once

#include "support/fake_calil.h"
#include "support/search_environment.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A search environment with a fake Calil beside the fake catalogues and the
// fake bookseller, and a cache folder of its own: XDG_CACHE_HOME points into
// a temporary folder while the object lives (also for programs it starts),
// so no test ever touches the user's cache.
class CalilEnvironment final
{
public:
    CalilEnvironment();
    ~CalilEnvironment();

    SearchEnvironment& search() { return search_; }
    FakeCalil& calil() { return calil_; }
    FakeCatalogue& catalogue(CatalogueKind kind) { return search_.catalogue(kind); }

    // $XDG_CACHE_HOME/quillmoor as the program sees it.
    QString cacheFolder() const;

    // The settings file of SearchEnvironment, pointing Calil at the fake,
    // with Calil's key unless told otherwise and any stored Calil libraries
    // ("systemid:prefecture:name" items of a comma text).
    QString WriteSettings(const QStringList& libraries, bool withCalilKey = true,
                          const QString& calilLibraries = QString());

private:
    QTemporaryDir cacheHome_;
    QByteArray previousCacheHome_;
    bool hadCacheHome_ = false;
    SearchEnvironment search_;
    FakeCalil calil_;
};
