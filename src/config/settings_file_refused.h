#pragma once

#include "util/error.h"

// A file named as the settings file that cannot be one: too large, or text
// without a single [SECTION] line (an ISBN list, a device). It is not read,
// and since nothing says it holds settings, the program never writes over
// it. The message (English) is for the command line; the window words its
// own from the reason.
class SettingsFileRefused final : public FileError
{
public:
    enum class Reason { TooLarge, NoSection };

    SettingsFileRefused(const QString& fileName, Reason reason);

    const QString& fileName() const { return fileName_; }
    Reason reason() const { return reason_; }

private:
    QString fileName_;
    Reason reason_;
};

// The largest settings file read: far beyond any real one, and small enough
// that reading a device without end cannot exhaust memory.
inline constexpr qsizetype kLargestSettingsFile = 1024 * 1024;
