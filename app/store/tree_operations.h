// Folder-tree copy, delete and removal used by export, import and stopwatch removal. None of them
// ever follows a symbolic link: a link is skipped and makes the result a failure.
#pragma once

#include <string>
#include <string_view>

#include "file_system.h"

namespace lapdex {

enum class TreeScope {
    DataSet,     // top level: only "Lapdex.dat", "History.csv", "Groups.txt" and the folders that
                 // isDataSetFolderName() accepts
    AllEntries,  // every file and folder at every level
};

// Applied to each file copied below the top level (every run file); "Lapdex.dat" at the top level
// always keeps its attributes.
enum class AttributeRule { KeepAttributes, ClearReadOnly, MakeReadOnly };

// What a copy does with a file that already exists at the destination.
enum class ExistingFiles {
    Replace,  // replace it (refused when it is read-only or in use, which fails that entry)
    Keep,  // leave it as it is; used when putting a backup back over files that were never deleted
};

struct [[nodiscard]] TreeResult {
    int failures = 0;          // entries that failed, links included
    int skippedLinks = 0;      // symbolic links (and other non-regular entries) refused
    std::string firstFailure;  // path of the first entry that failed
    bool ok() const { return failures == 0; }
};

// True for "QTM-00" to "QTM-99" and "QTM-100" exactly (case-sensitive).
bool isDataSetFolderName(std::string_view name);

// Copies `source` into `destination` (which must exist). Every entry is tried; the result fails
// when any failed. A missing source copies nothing and succeeds.
TreeResult copyTree(FileSystem& fs, const std::string& source, const std::string& destination,
                    TreeScope scope, AttributeRule rule,
                    ExistingFiles existing = ExistingFiles::Replace);

// Deletes the scope's entries of `folder` (the folder itself stays); stops at the first failure.
// DataSet deletes "Lapdex.dat" without touching its attributes; below it read-only is cleared
// first, but never on a file in use. A missing folder succeeds.
TreeResult deleteTree(FileSystem& fs, const std::string& folder, TreeScope scope);

// Removes `folder` with everything in it; stops at the first failure and then keeps the folder.
// A missing folder fails.
TreeResult removeFolder(FileSystem& fs, const std::string& folder);

// On: refuses a file in use (it stays writable); success when already read-only. Off: clears the
// attribute when set. Fails when the file's status cannot be read.
FsStatus setReadOnly(FileSystem& fs, const std::string& file, ReadOnly state);

}  // namespace lapdex
