// A data folder as the program leaves it: Lapdex.dat with stopwatches registered and their
// folders made, for tests that then write run files into it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "configuration.h"
#include "file_system.h"

namespace lapdex::testing {

struct RegisteredStopwatch {
    const char* serial;
    const char* name;
};

// Creates the data folder `path` with `stopwatches` registered in slots 0, 1, … and returns the
// configuration saved; nullopt when the folder or Lapdex.dat could not be written.
inline std::optional<Configuration> makeDataFolder(FileSystem& fs, const std::string& path,
                                                   const std::vector<RegisteredStopwatch>& stopwatches) {
    if (!fs.createFolder(path).ok()) return std::nullopt;
    const DataFolder folder(fs, path);
    Configuration config;
    int slot = 0;
    for (const RegisteredStopwatch& s : stopwatches) config.registry.entry(slot++) = {s.serial, s.name, 0};
    if (!saveConfiguration(folder, config).ok()) return std::nullopt;
    createStopwatchFolders(folder, config.registry);
    return config;
}

}  // namespace lapdex::testing
