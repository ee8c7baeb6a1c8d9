// Where the run index of a data folder lives: the user's cache folder, never the data folder.
#pragma once

#include <string>

#include "data_folder.h"

namespace lapdex {

// $XDG_CACHE_HOME/Lapdex/ (or ~/.cache/Lapdex/ when it is unset or not absolute), ending in '/';
// "" when neither can be named.
std::string indexCacheFolder(const EnvironmentLookup& environment);

// The database file of `canonicalDataFolder` in `cacheFolder`: one per data folder, named after a
// hash of the folder's path.
std::string indexDatabasePath(const std::string& cacheFolder,
                              const std::string& canonicalDataFolder);

}  // namespace lapdex
