#pragma once

#include "calil/calil_library_directory.h"

#include <vector>

class TLibraryList;

// Calil's list of a prefecture as the program offers it beside the
// libraries it knows. A system that is a built-in's (by its id, or by the
// system name that confirms a presumed id) is that built-in and is left
// out; a system known already keeps the name it is known by; a name that
// another library bears gets the system name in brackets.
std::vector<TCalilSystem> OfferableCalilSystems(const TLibraryList& libraries,
                                                const std::vector<TCalilSystem>& systems);

// Takes the ids that Calil's list gives the built-ins whose ids are only
// presumed (松江市立図書館 as "島根県松江市").
void ConfirmBuiltInSystemIds(TLibraryList& libraries, const std::vector<TCalilSystem>& systems);
