#include "libraries/library_list.h"

#include "libraries/fussa_lib.h"
#include "libraries/hamura_lib.h"
#include "libraries/inagi_lib.h"
#include "libraries/matsue_lib.h"
#include "libraries/mitaka_lib.h"
#include "libraries/osakafu_lib.h"
#include "libraries/osakashi_lib.h"
#include "libraries/shinagawa_lib.h"

TLibraryList::TLibraryList(const TEndpoints& endpoints)
{
    Add(new TFussaLib(endpoints));
    Add(new THamuraLib(endpoints));
    Add(new TInagiLib(endpoints));
    Add(new TMatsueLib(endpoints));
    Add(new TMitakaLib(endpoints));
    Add(new TOsakafuLib(endpoints));
    Add(new TOsakashiLib(endpoints));
    Add(new TShinagawaLib(endpoints));
}

TLibraryList::~TLibraryList()
{
    for (TBaseLib* library : std::as_const(nameMap_))
        delete library;
    nameMap_.clear();
    prefMap_.clear();
}

void TLibraryList::Add(TBaseLib* library)
{
    const QString name = library->GetName();
    const QString pref = library->GetPref();
    // A second backend under the same name replaces the first; the registry
    // still owns and frees the one it replaced.
    if (TBaseLib* previous = nameMap_.value(name); previous != nullptr && previous != library)
        delete previous;
    prefMap_[pref][name] = library;
    nameMap_[name] = library;
}
