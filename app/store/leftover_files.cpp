// Finding and removing the temporaries of writes that never finished.
#include "leftover_files.h"

#include <string>

namespace lapdex {
namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Removes the matching temporaries directly in `folder`; the run file writer's are read-only.
int removeIn(FileSystem& fs, const std::string& folder) {
    const FolderListing listing = fs.listFolder(folder);
    int removed = 0;
    for (const FolderEntry& entry : listing.entries) {
        if (entry.kind != EntryKind::File || temporaryFileOwner(entry.name) == 0) continue;
        const std::string path = withTrailingSlash(folder) + entry.name;
        (void)fs.setReadOnlyAttribute(path, ReadOnly::Off);
        if (fs.deleteFile(path).ok()) ++removed;
    }
    return removed;
}

}  // namespace

long temporaryFileOwner(std::string_view name, bool hidden, std::string_view target) {
    if (hidden) {
        if (!name.starts_with('.')) return 0;
        name.remove_prefix(1);
    }
    const std::size_t marker = name.rfind(".tmp-");
    if (marker == 0 || marker == std::string_view::npos) return 0;
    if (!target.empty() && name.substr(0, marker) != target) return 0;
    const std::string_view numbers = name.substr(marker + 5);
    const std::size_t dash = numbers.find('-');
    if (dash == std::string_view::npos || !allDigits(numbers.substr(0, dash)) ||
        !allDigits(numbers.substr(dash + 1)) || dash > 9) {
        return 0;
    }
    return std::stol(std::string(numbers.substr(0, dash)));
}

int removeLeftoverTemporaries(const DataFolder& data) {
    FileSystem& fs = data.fs();
    const std::string top = withoutTrailingSlash(data.path());
    int removed = removeIn(fs, top);
    const FolderListing listing = fs.listFolder(top);
    for (const FolderEntry& entry : listing.entries) {
        // Only the stopwatch folders: nothing else in the data folder is written through
        // temporaries.
        if (entry.kind == EntryKind::Folder && entry.name.starts_with("QTM-")) {
            removed += removeIn(fs, data.path() + entry.name);
        }
    }
    return removed;
}

}  // namespace lapdex
