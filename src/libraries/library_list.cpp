#include "libraries/library_list.h"

#include "calil/calil_system_id.h"
#include "libraries/fussa_lib.h"
#include "libraries/hamura_lib.h"
#include "libraries/inagi_lib.h"
#include "libraries/matsue_lib.h"
#include "libraries/mitaka_lib.h"
#include "libraries/osakafu_lib.h"
#include "libraries/osakashi_lib.h"
#include "libraries/prefectures.h"
#include "libraries/shinagawa_lib.h"
#include "util/control_characters.h"
#include "util/text_trim.h"

namespace {

// The systems Calil asks for the eight built-ins. Matsue's id is presumed;
// Calil's list of 島根県 confirms it by the system name.
struct TBuiltInSystem
{
    const char16_t* name;
    const char* systemId;
    const char16_t* systemNameToConfirm;
};

const TBuiltInSystem kBuiltInSystems[] = {
    {u"福生市立図書館", "Tokyo_Fussa", nullptr},
    {u"羽村市図書館", "Tokyo_Hamura", nullptr},
    {u"稲城市立図書館", "Tokyo_Inagi", nullptr},
    {u"品川区立図書館", "Tokyo_Shinagawa", nullptr},
    {u"三鷹市立図書館", "Tokyo_Mitaka", nullptr},
    {u"大阪府立図書館", "Osaka_Pref", nullptr},
    {u"大阪市立図書館", "Osaka_Osaka", nullptr},
    {u"松江市立図書館", "Shimane_Matsue", u"島根県松江市"},
};

} // namespace

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
    for (const TBuiltInSystem& system : kBuiltInSystems) {
        const auto record = records_.find(QString::fromUtf16(system.name));
        if (record == records_.end())
            continue;
        record->CalilSystemId = QString::fromLatin1(system.systemId);
        if (system.systemNameToConfirm != nullptr)
            record->CalilSystemName = QString::fromUtf16(system.systemNameToConfirm);
    }
}

TLibraryList::~TLibraryList()
{
    for (TBaseLib* library : std::as_const(nameMap_))
        delete library;
    nameMap_.clear();
    prefMap_.clear();
    records_.clear();
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
    TLibraryRecord& record = records_[name];
    record.Name = name;
    record.Prefecture = pref;
    record.Scraper = library;
}

const TLibraryRecord* TLibraryList::FindRecord(const QString& name) const
{
    const auto found = records_.constFind(name);
    return found != records_.cend() ? &found.value() : nullptr;
}

QStringList TLibraryList::NamesInPrefecture(const QString& prefecture) const
{
    QStringList names;
    for (const TLibraryRecord& record : records_) {
        if (record.Prefecture == prefecture)
            names.append(record.Name);
    }
    return names;
}

const TLibraryRecord* TLibraryList::FindBySystemId(const QString& systemId) const
{
    for (const TLibraryRecord& record : records_) {
        if (!systemId.isEmpty() && record.CalilSystemId == systemId)
            return &record;
    }
    return nullptr;
}

bool TLibraryList::AddCalilLibrary(const QString& name, const QString& prefecture, const QString& systemId)
{
    // The name comes from Calil or from the settings file: it becomes a
    // column title and a CSV field, so it must be one clean line.
    if (name.isEmpty() || TrimBlanks(name) != name || ReplaceControlCharacters(name) != name
        || !IsValidCalilSystemId(systemId) || FindPrefecture(prefecture) == nullptr)
        return false;
    if (const TLibraryRecord* known = FindRecord(name))
        return !known->IsBuiltIn() && known->CalilSystemId == systemId;
    // One system, one column: a system known under another name (a built-in's
    // among them) is not added a second time.
    if (FindBySystemId(systemId) != nullptr)
        return false;
    records_.insert(name, TLibraryRecord{name, prefecture, nullptr, systemId, {}});
    return true;
}

void TLibraryList::ConfirmCalilSystemId(const QString& name, const QString& systemId)
{
    const auto record = records_.find(name);
    if (record != records_.end() && record->IsBuiltIn() && IsValidCalilSystemId(systemId))
        record->CalilSystemId = systemId;
}
