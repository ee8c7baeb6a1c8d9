// The identity of a file or folder as the run index compares it: inode, size, modification and
// change time, and whether those can be trusted to show the next change.
#pragma once

#include <cstdint>
#include <string>

namespace lapdex {

enum class StampKind { None, File, Folder, Other };

struct FileStamp {
    StampKind kind = StampKind::None;
    std::uint64_t inode = 0;
    std::int64_t size = 0;     // bytes
    std::int64_t mtimeNs = 0;  // nanoseconds since the epoch
    std::int64_t ctimeNs = 0;  // likewise; set by the system at every change, never by a program
    int sysErrno = 0;          // None: why lstat() failed (ENOENT: nothing there)

    // Same inode, size and times: nothing was written, replaced, truncated or touched since.
    bool sameAs(const FileStamp& other) const {
        return kind == other.kind && inode == other.inode && size == other.size &&
               mtimeNs == other.mtimeNs && ctimeNs == other.ctimeNs;
    }
};

// lstat() of `path`: never follows a symbolic link.
FileStamp stampOf(const std::string& path);

// The wall clock in nanoseconds since the epoch.
std::int64_t wallClockNs();

// True when a change at the moment `atNs` (wall clock) would give `stamp` other times: both of its
// times lie more than a coarse file-system tick (FAT keeps 2 s) before or after that moment. A
// stamp taken when it was not settled must not be trusted to show the next change: a write in
// the same tick can leave size and times as they were. Times in the future (a clock set back)
// count as settled while the clock stays far from them.
bool settledAt(const FileStamp& stamp, std::int64_t atNs);

}  // namespace lapdex
