// The files of a club folder that are no runs: what sync engines leave while they work and when
// two copies of a file collide.
#include "club_files.h"

#include <algorithm>
#include <cctype>

#include "run_catalogue.h"

namespace lapdex {
namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool digitsAt(const std::string& text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return false;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(at),
                       text.begin() + static_cast<std::ptrdiff_t>(at + count),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// "YYYYMMDD-HHMMSS-ID" at `at`, the ID (the device's short name) running to the end or a '.'.
bool conflictStampAt(const std::string& name, std::size_t at) {
    if (!digitsAt(name, at, 8) || name.compare(at + 8, 1, "-") != 0 || !digitsAt(name, at + 9, 6) ||
        name.compare(at + 15, 1, "-") != 0)
        return false;
    std::size_t end = at + 16;
    while (end < name.size() && std::isalnum(static_cast<unsigned char>(name[end]))) ++end;
    return end > at + 16 && (end == name.size() || name[end] == '.');
}

void addConflictCopies(const FolderListing& listing, const std::string& prefix,
                       std::vector<std::string>& copies) {
    for (const FolderEntry& entry : listing.entries) {
        if (entry.kind == EntryKind::File && isSyncConflictName(entry.name))
            copies.push_back(prefix + entry.name);
    }
}

}  // namespace

bool isSyncTemporaryName(const std::string& name) {
    for (const std::string prefix : {".syncthing.", "~syncthing~"}) {
        if (startsWith(name, prefix) && endsWith(name, ".tmp") && name.size() > prefix.size() + 4)
            return true;
    }
    return false;
}

bool isSyncConflictName(const std::string& name) {
    static const std::string kMark = ".sync-conflict-";
    // A conflict copy still being carried here is a temporary file, not a copy yet.
    if (isSyncTemporaryName(name)) return false;
    for (std::size_t at = name.find(kMark, 1); at != std::string::npos;
         at = name.find(kMark, at + 1)) {
        if (conflictStampAt(name, at + kMark.size())) return true;
    }
    return false;
}

std::string runDayKeyIn(const std::string& name, FolderOwner owner) {
    if (owner == FolderOwner::Club && (isSyncTemporaryName(name) || isSyncConflictName(name)))
        return {};
    return runDayKey(name);
}

std::vector<std::string> syncConflictCopies(FileSystem& fs, const std::string& dataFolder) {
    const std::string root = withTrailingSlash(dataFolder);
    std::vector<std::string> copies;
    const FolderListing top = fs.listFolder(root);
    if (!top.ok()) return copies;
    addConflictCopies(top, "", copies);
    for (const FolderEntry& entry : top.entries) {
        if (entry.kind != EntryKind::Folder) continue;
        const FolderListing inner = fs.listFolder(root + entry.name + "/");
        if (inner.ok()) addConflictCopies(inner, entry.name + "/", copies);
    }
    std::sort(copies.begin(), copies.end());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());
    return copies;
}

}  // namespace lapdex
