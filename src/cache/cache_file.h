#pragma once

#include <QString>

// The lookup cache's file: lookups.sqlite in the program's cache folder
// ($XDG_CACHE_HOME/quillmoor).
QString DefaultLookupCachePath();
