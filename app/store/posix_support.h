// Small POSIX helpers shared by the file-system seam's implementation files (not part of its interface).
#pragma once

#include <string>
#include <string_view>

#include "file_system.h"

namespace lapdex::posix {

// The FsStatus for an errno value, and for the current errno.
FsStatus fromErrno(int err);
FsStatus lastError();

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd();
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// The folder part of a path ("." when there is none).
std::string folderOf(const std::string& path);

// A fresh hidden name beside `path` (".<name>.tmp-<pid>-<n>"): never a run file's name.
std::string temporaryPathFor(const std::string& path);

// Flushes a folder's entries (new, renamed or removed names) to the disk.
void syncFolderOf(const std::string& path);

// Writes all of `bytes`, going on after short writes and interruptions.
FsStatus writeAll(int fd, std::string_view bytes);

}  // namespace lapdex::posix
