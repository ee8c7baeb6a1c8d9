// POSIX helpers of the file-system seam: errors, descriptors, temporary names and flushing.
#include "posix_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace lapdex::posix {
namespace {

std::string baseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

Fd::~Fd() {
    if (fd_ >= 0) ::close(fd_);
}

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

FsStatus fromErrno(int err) {
    switch (err) {
    case ENOENT: case ENOTDIR: return {FsError::NotFound, err};
    case EEXIST: return {FsError::AlreadyExists, err};
    case ENOTEMPTY: return {FsError::NotEmpty, err};
    case ELOOP: return {FsError::SymbolicLink, err};
    default: return {FsError::Io, err};
    }
}

FsStatus lastError() { return fromErrno(errno); }

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string temporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".tmp-%ld-%u", static_cast<long>(::getpid()), counter++);
    std::string folder = folderOf(path);
    return (folder == "/" ? "" : folder) + "/." + baseName(path) + suffix;
}

void syncFolderOf(const std::string& path) {
    Fd dir(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) (void)::fsync(dir.get());
}

FsStatus writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return FsStatus::success();
}

}  // namespace lapdex::posix
