#pragma once

#include <QString>

// Raises FileError "Cannot create file "<name>". <reason>", the reason being
// the system's text for the error number. The one wording of every failed
// save, whichever step failed.
[[noreturn]] void ThrowCannotCreate(const QString& fileName, int errorNumber);
