// Where the program keeps everything it stores: the data folder and the names inside it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "file_system.h"

namespace lapdex {

// Reads an environment variable; returns null when it is not set (std::getenv's contract).
using EnvironmentLookup = std::function<const char*(const char*)>;

// The process's own environment.
EnvironmentLookup processEnvironment();

// Full path of the running executable (/proc/self/exe), or nullopt when it cannot be read.
std::optional<std::string> readExecutablePath();

// The data folder, always ending in '/': the folder of `executablePath` when the user may write there;
// otherwise $XDG_DATA_HOME/Lapdex/ (or ~/.local/share/Lapdex/), created on demand. When neither
// works the executable's folder is used anyway, and "./" when there is no executable path.
std::string determineDataFolder(FileSystem& fs, const std::optional<std::string>& executablePath,
                                const EnvironmentLookup& environment);

// "JPN" when the user's language (the first set of LC_ALL, LC_MESSAGES, LANG) starts with "ja",
// else "ENG".
std::string localeDefaultLocation(const EnvironmentLookup& environment);

// A data folder and the file system that reaches it. Cheap to copy; the FileSystem must outlive it.
class DataFolder {
public:
    DataFolder(FileSystem& fs, std::string path) : fs_(&fs), path_(withTrailingSlash(path)) {}

    FileSystem& fs() const { return *fs_; }
    // Ends in '/'.
    const std::string& path() const { return path_; }
    // path() + "Lapdex.dat".
    std::string configurationFile() const { return path_ + "Lapdex.dat"; }
    // path() + the slot's folder name, without a trailing '/'.
    std::string stopwatchFolder(int slotIndex) const { return path_ + stopwatchFolderName(slotIndex); }

    // "QTM-%02d" of slotIndex + 1: QTM-01 ... QTM-100; slot index -1 (no slot) gives QTM-00.
    static std::string stopwatchFolderName(int slotIndex);

private:
    FileSystem* fs_;
    std::string path_;
};

}  // namespace lapdex
