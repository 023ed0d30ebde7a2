#pragma once

#include <QMap>
#include <QString>

class TBaseLib;
class TEndpoints;

// The registry of every supported catalogue: one backend per library, by
// display name and grouped by prefecture. Both maps are ordered by UTF-16
// code units. The registry owns the backends; everybody else borrows them.
class TLibraryList final
{
public:
    using NameMap = QMap<QString, TBaseLib*>;
    using PrefMap = QMap<QString, NameMap>;

    // Creates and registers the eight backends; they reach their catalogues
    // through the given endpoints, which must outlive the registry.
    explicit TLibraryList(const TEndpoints& endpoints);
    ~TLibraryList();
    TLibraryList(const TLibraryList&) = delete;
    TLibraryList& operator=(const TLibraryList&) = delete;

    const PrefMap& GetPrefMap() const { return prefMap_; }
    const NameMap& GetNameMap() const { return nameMap_; }

private:
    void Add(TBaseLib* library);

    PrefMap prefMap_;
    NameMap nameMap_;
};
