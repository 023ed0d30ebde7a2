#pragma once

#include <QString>

class SettingsFileRefused;

// What the window tells the user when the file named as the settings file
// cannot be one: which file, why, and that this run neither reads nor
// overwrites it.
QString RefusedSettingsMessage(const SettingsFileRefused& refused);
