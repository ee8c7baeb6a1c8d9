// Size and modification time of a file or folder, the facts the run index compares.
#pragma once

#include <cstdint>
#include <string>

namespace lapdex {

enum class StampKind { None, File, Folder, Other };

struct FileStamp {
    StampKind kind = StampKind::None;
    std::int64_t size = 0;     // bytes
    std::int64_t mtimeNs = 0;  // nanoseconds since the epoch
};

// lstat() of `path`: never follows a symbolic link.
FileStamp stampOf(const std::string& path);

// The wall clock in nanoseconds since the epoch, to judge whether a folder time can be trusted.
std::int64_t wallClockNs();

}  // namespace lapdex
