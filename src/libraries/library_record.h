#pragma once

#include <QString>

class TBaseLib;

// One library the program knows, and how it is asked. A built-in library
// has its own catalogue scraper and, beside it, the id of its system at
// Calil; a library added from Calil's list has the system id only. Adding a
// Calil library takes a record, not code.
struct TLibraryRecord
{
    // The display name: column title, settings value, key of the results.
    QString Name;
    QString Prefecture;
    // The built-in scraper, or null for a library known through Calil only.
    const TBaseLib* Scraper = nullptr;
    // The library system at Calil ("Tokyo_Mitaka"); empty when unknown.
    QString CalilSystemId;
    // For a built-in whose system id is only presumed: the system name Calil
    // lists it under ("島根県松江市"), by which Calil's list confirms the id.
    QString CalilSystemName;

    bool IsBuiltIn() const { return Scraper != nullptr; }
};
