#pragma once

#include <QString>

// Where the program keeps what it can fetch again (Calil's library lists,
// Calil's request count): $XDG_CACHE_HOME/quillmoor, or ~/.cache/quillmoor
// when that variable is unset or not an absolute path. Not created here.
QString DefaultCacheFolder();
