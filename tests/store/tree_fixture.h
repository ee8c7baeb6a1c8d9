// Builds small data folders on disk and snapshots them, for the tree and procedure tests.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "file_system.h"
#include "temp_folder.h"

namespace lapdex::testing {

// Every entry below a folder: relative path -> content ("<dir>" for folders, "<link>" for links),
// with " [ro]" appended for read-only files. Links are never followed.
inline std::map<std::string, std::string> snapshot(FileSystem& fs, const std::string& root) {
    std::map<std::string, std::string> entries;
    namespace sfs = std::filesystem;
    std::error_code ec;
    for (auto it = sfs::recursive_directory_iterator(root, ec); it != sfs::recursive_directory_iterator(); ++it) {
        std::string path = it->path().string();
        std::string rel = path.substr(root.size() + 1);
        EntryKind kind = fs.kindOf(path);
        if (kind == EntryKind::Folder) {
            entries[rel] = "<dir>";
        } else if (kind == EntryKind::SymbolicLink) {
            entries[rel] = "<link>";
        } else {
            entries[rel] = fs.readFile(path).bytes + (fs.isReadOnly(path) ? " [ro]" : "");
        }
    }
    return entries;
}

// Writes a file (creating its folders), optionally read-only.
inline void put(FileSystem& fs, const std::string& path, const std::string& bytes, ReadOnly ro = ReadOnly::Off) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (!fs.writeFileAtomic(path, bytes, Existing::Replace).ok()) std::abort();
    if (ro == ReadOnly::On && !fs.setReadOnlyAttribute(path, ReadOnly::On).ok()) std::abort();
}

}  // namespace lapdex::testing
