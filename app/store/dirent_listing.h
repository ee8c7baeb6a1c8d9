// Folder listings that take each entry's kind from the directory entry itself, so scanning a
// stopwatch folder of tens of thousands of run files needs no stat() per file.
#pragma once

#include <string>
#include <string_view>

#include "file_system.h"

namespace lapdex {

// Same result as PosixFileSystem::listFolder (names without "." and "..", kinds as lstat() sees
// them, platform order), with lstat() only for entries whose kind the file system leaves unknown.
FolderListing listFolderByDirent(const std::string& folder);

// Same result as PosixFileSystem::findMatching: names are matched before any kind is looked up.
FolderListing findMatchingByDirent(const std::string& folder, std::string_view pattern);

// The POSIX file system with the two listings above. Thread-safe and stateless like its base.
class DirentFileSystem : public PosixFileSystem {
public:
    FolderListing listFolder(const std::string& folder) override { return listFolderByDirent(folder); }
    FolderListing findMatching(const std::string& folder, std::string_view pattern) override {
        return findMatchingByDirent(folder, pattern);
    }
};

// The one DirentFileSystem of the process, for the catalogue's scans.
FileSystem& catalogueFileSystem();

}  // namespace lapdex
