#pragma once

#include <QString>

// Whether a text can be a Calil system id ("Tokyo_Mitaka"): 1 to 64 of the
// characters A-Z, a-z, 0-9 and "_". Ids come from Calil's answers, the
// settings file and the cache, all of them text from outside; only valid
// ones are put into a request.
bool IsValidCalilSystemId(const QString& systemId);
