#include "calil/calil_library_offer.h"

#include "libraries/library_list.h"

namespace {

bool IsBuiltInSystem(const TLibraryList& libraries, const TCalilSystem& system)
{
    for (const TLibraryRecord& record : libraries.GetRecords()) {
        if (!record.IsBuiltIn())
            continue;
        if (record.CalilSystemId == system.systemId
            || (!record.CalilSystemName.isEmpty() && record.CalilSystemName == system.systemName))
            return true;
    }
    return false;
}

} // namespace

std::vector<TCalilSystem> OfferableCalilSystems(const TLibraryList& libraries,
                                                const std::vector<TCalilSystem>& systems)
{
    std::vector<TCalilSystem> offered;
    for (TCalilSystem system : systems) {
        if (IsBuiltInSystem(libraries, system))
            continue;
        if (const TLibraryRecord* known = libraries.FindBySystemId(system.systemId)) {
            system.name = known->Name;
        } else if (libraries.FindRecord(system.name) != nullptr) {
            system.name += QStringLiteral("（%1）").arg(system.systemName.isEmpty() ? system.systemId : system.systemName);
            if (libraries.FindRecord(system.name) != nullptr)
                continue; // no name left that is its own
        }
        offered.push_back(system);
    }
    return offered;
}

void ConfirmBuiltInSystemIds(TLibraryList& libraries, const std::vector<TCalilSystem>& systems)
{
    QList<std::pair<QString, QString>> confirmed; // name, system id
    for (const TLibraryRecord& record : libraries.GetRecords()) {
        if (!record.IsBuiltIn() || record.CalilSystemName.isEmpty())
            continue;
        for (const TCalilSystem& system : systems) {
            if (system.systemName == record.CalilSystemName) {
                confirmed.append({record.Name, system.systemId});
                break;
            }
        }
    }
    for (const auto& [name, systemId] : std::as_const(confirmed))
        libraries.ConfirmCalilSystemId(name, systemId);
}
