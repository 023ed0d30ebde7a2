#include "config/settings_file_refused.h"

namespace {

QString MessageFor(const QString& fileName, SettingsFileRefused::Reason reason)
{
    const QString why = reason == SettingsFileRefused::Reason::TooLarge
                            ? QStringLiteral("Settings file \"%1\" is larger than 1 MiB.")
                            : QStringLiteral("\"%1\" is not a settings file: it has no [SECTION] line.");
    return why.arg(fileName) + QStringLiteral(" It is not read, and it is not written over.");
}

} // namespace

SettingsFileRefused::SettingsFileRefused(const QString& fileName, Reason reason)
    : FileError(MessageFor(fileName, reason)), fileName_(fileName), reason_(reason)
{
}
