// Where the program keeps everything it stores: the data folder and the names inside it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "file_system.h"

namespace lapdex {

// Reads an environment variable; returns null when it is not set (std::getenv's contract).
using EnvironmentLookup = std::function<const char*(const char*)>;

// The process's own environment.
EnvironmentLookup processEnvironment();

// Full path of the running executable (/proc/self/exe), or nullopt when it cannot be read.
std::optional<std::string> readExecutablePath();

// The data folder, always ending in '/'. Decided by where the executable lies, never by what
// happens to be writable: a program installed under a system prefix (/usr, /usr/local, /opt)
// keeps its data in $XDG_DATA_HOME/Lapdex/ (or ~/.local/share/Lapdex/), created on demand,
// unless its own folder already holds a Lapdex.dat; a program anywhere else keeps it beside
// the executable. Without an executable path the user's data folder is used, and "./" when
// there is neither.
std::string determineDataFolder(FileSystem& fs, const std::optional<std::string>& executablePath,
                                const EnvironmentLookup& environment);

// True for a path under one of the prefixes where programs are installed for all users.
bool isUnderSystemPrefix(std::string_view path);

// Whether the program can keep its data in a folder.
enum class FolderCheck { Writable, Missing, NotAFolder, NotWritable };
FolderCheck checkDataFolder(FileSystem& fs, const std::string& folder);

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
