// Directory scans with d_type: kinds without a stat() per entry.
#include "dirent_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace lapdex {
namespace {

EntryKind kindFromDirent(unsigned char type) {
    switch (type) {
        case DT_REG: return EntryKind::File;
        case DT_DIR: return EntryKind::Folder;
        case DT_LNK: return EntryKind::SymbolicLink;
        case DT_UNKNOWN: return EntryKind::None;
        default: return EntryKind::Other;
    }
}

// Lists the entries whose names pass `wanted`, looking a kind up only when d_type gives none.
template <typename Wanted>
FolderListing scan(const std::string& folder, Wanted wanted) {
    FolderListing listing;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (dir == nullptr) {
        const int err = errno;
        listing.status = {err == ENOENT || err == ENOTDIR ? FsError::NotFound : FsError::Io, err};
        if (fd >= 0) ::close(fd);
        return listing;
    }
    const std::string prefix = withTrailingSlash(folder);
    while (const struct dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || !wanted(name)) continue;
        EntryKind kind = kindFromDirent(entry->d_type);
        if (kind == EntryKind::None) kind = systemFileSystem().kindOf(prefix + std::string(name));
        listing.entries.push_back({std::string(name), kind});
    }
    ::closedir(dir);
    return listing;
}

}  // namespace

FolderListing listFolderByDirent(const std::string& folder) {
    return scan(folder, [](std::string_view) { return true; });
}

FolderListing findMatchingByDirent(const std::string& folder, std::string_view pattern) {
    return scan(folder, [pattern](std::string_view name) { return wildcardMatch(pattern, name); });
}

FileSystem& catalogueFileSystem() {
    static DirentFileSystem fileSystem;
    return fileSystem;
}

}  // namespace lapdex
