#pragma once

#include <QString>

// Where the settings file lives when no --config FILE is given. The file
// "quillmoor.ini" beside the executable (portable use; the window and the
// command line share it) when it exists, or when that folder is writable and
// is not a system folder under /usr; otherwise
// $XDG_CONFIG_HOME/quillmoor/quillmoor.ini, its folder created if needed.
QString DefaultSettingsPath(const QString& executablePath);
