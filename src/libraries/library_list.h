#pragma once

#include "libraries/library_record.h"

#include <QMap>
#include <QString>
#include <QStringList>

class TBaseLib;
class TEndpoints;

// The registry of every library the program knows. The eight built-in
// catalogues have one backend each, by display name and grouped by
// prefecture; every library, built-in or added from Calil's list, has a
// record. All maps are ordered by UTF-16 code units. The registry owns the
// backends; everybody else borrows them.
//
// Records are added on the main thread only (loading the settings, the
// library selection dialog, the command line); workers never read the
// registry: a search copies what it needs when it starts.
class TLibraryList final
{
public:
    using NameMap = QMap<QString, TBaseLib*>;
    using PrefMap = QMap<QString, NameMap>;
    using RecordMap = QMap<QString, TLibraryRecord>;

    // Creates and registers the eight backends; they reach their catalogues
    // through the given endpoints, which must outlive the registry.
    explicit TLibraryList(const TEndpoints& endpoints);
    ~TLibraryList();
    TLibraryList(const TLibraryList&) = delete;
    TLibraryList& operator=(const TLibraryList&) = delete;

    // The built-in backends.
    const PrefMap& GetPrefMap() const { return prefMap_; }
    const NameMap& GetNameMap() const { return nameMap_; }

    // Every library, built-in or not, by display name.
    const RecordMap& GetRecords() const { return records_; }
    const TLibraryRecord* FindRecord(const QString& name) const;
    // The names of every library of a prefecture, in code-unit order.
    QStringList NamesInPrefecture(const QString& prefecture) const;
    // The record whose library is asked through that Calil system, or null.
    const TLibraryRecord* FindBySystemId(const QString& systemId) const;

    // Registers a library known through Calil only. True when it is known
    // under that name afterwards; false when the name belongs to another
    // library or is no clean line of text, or the system id or the
    // prefecture is not valid.
    bool AddCalilLibrary(const QString& name, const QString& prefecture, const QString& systemId);
    // Calil's list named the system of a built-in: from now on the built-in
    // is asked under that id.
    void ConfirmCalilSystemId(const QString& name, const QString& systemId);

private:
    void Add(TBaseLib* library);

    PrefMap prefMap_;
    NameMap nameMap_;
    RecordMap records_;
};
