#include "data_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace lapdex {
namespace {

const char* nonEmpty(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment ? environment(name) : nullptr;
    return (value != nullptr && *value != '\0') ? value : nullptr;
}

// Creates every missing level of an absolute folder path; true when it exists afterwards.
bool createFolderChain(FileSystem& fs, const std::string& folder) {
    std::string path = withoutTrailingSlash(folder);
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string level = path.substr(0, slash);
        if (fs.kindOf(level) == EntryKind::None) (void)fs.createFolder(level);
        if (slash == std::string::npos) break;
    }
    return fs.kindOf(path) == EntryKind::Folder;
}

std::optional<std::string> userDataFolder(const EnvironmentLookup& environment) {
    // The XDG rules ignore a relative $XDG_DATA_HOME.
    if (const char* xdg = nonEmpty(environment, "XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        return withTrailingSlash(xdg) + "Lapdex/";
    }
    if (const char* home = nonEmpty(environment, "HOME"); home != nullptr && home[0] == '/') {
        return withTrailingSlash(home) + ".local/share/Lapdex/";
    }
    return std::nullopt;
}

}  // namespace

EnvironmentLookup processEnvironment() {
    return [](const char* name) -> const char* { return std::getenv(name); };
}

std::optional<std::string> readExecutablePath() {
    std::string buffer(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return std::nullopt;
    buffer.resize(static_cast<std::size_t>(n));
    return buffer;
}

bool isUnderSystemPrefix(std::string_view path) {
    for (std::string_view prefix : {"/usr/", "/opt/"}) {
        if (path.starts_with(prefix)) return true;
    }
    return false;
}

std::string determineDataFolder(FileSystem& fs, const std::optional<std::string>& executablePath,
                                const EnvironmentLookup& environment) {
    std::optional<std::string> exeFolder;
    if (executablePath && !executablePath->empty()) {
        std::size_t slash = executablePath->find_last_of('/');
        if (slash != std::string::npos) exeFolder = executablePath->substr(0, slash + 1);
    }
    // A data set that already lives beside the program stays where the user keeps it.
    if (exeFolder && (!isUnderSystemPrefix(*exeFolder) ||
                      fs.kindOf(*exeFolder + "Lapdex.dat") == EntryKind::File)) {
        return *exeFolder;
    }
    if (std::optional<std::string> user = userDataFolder(environment)) {
        (void)createFolderChain(fs, *user);  // a failure is reported at start-up
        return *user;
    }
    return exeFolder.value_or("./");
}

FolderCheck checkDataFolder(FileSystem& fs, const std::string& folder) {
    std::string path = withoutTrailingSlash(folder);
    // A data folder reached through a link (a home folder elsewhere) is the folder it names.
    if (fs.kindOf(path) == EntryKind::SymbolicLink) path = fs.canonicalPath(path);
    if (path.empty()) return FolderCheck::Missing;
    switch (fs.kindOf(path)) {
        case EntryKind::None:
            return FolderCheck::Missing;
        case EntryKind::Folder:
            return fs.isWritableFolder(path) ? FolderCheck::Writable : FolderCheck::NotWritable;
        default:
            return FolderCheck::NotAFolder;
    }
}

std::string localeDefaultLocation(const EnvironmentLookup& environment) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = nonEmpty(environment, name)) {
            return std::string_view(value).starts_with("ja") ? "JPN" : "ENG";
        }
    }
    return "ENG";
}

std::string DataFolder::stopwatchFolderName(int slotIndex) {
    char name[16];
    std::snprintf(name, sizeof name, "QTM-%02d", slotIndex + 1);
    return name;
}

}  // namespace lapdex
