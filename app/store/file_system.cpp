#include "file_system.h"

#include "posix_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lapdex {
namespace {

using posix::Fd;
using posix::lastError;

class OfdLock : public FileLock {
public:
    explicit OfdLock(int fd) : fd_(fd) {}

private:
    Fd fd_;  // closing the description drops its lock
};

struct flock wholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

// True when another open file description holds a lock that conflicts with `type` on the whole file.
bool lockHeldByOthers(int fd, short type) {
    struct flock lock = wholeFile(type);
    if (::fcntl(fd, F_OFD_GETLK, &lock) != 0) return false;
    return lock.l_type != F_UNLCK;
}

// True when a lock of `type` on the whole file would conflict with another open's lock.
bool lockConflicts(const std::string& path, short type) {
    if (type == F_WRLCK) {
        // Try to take the write lock as a writer would, and drop it at once.
        Fd rw(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
        if (rw.valid()) {
            struct flock lock = wholeFile(F_WRLCK);
            if (::fcntl(rw.get(), F_OFD_SETLK, &lock) != 0) return errno == EAGAIN || errno == EACCES;
            lock.l_type = F_UNLCK;
            (void)::fcntl(rw.get(), F_OFD_SETLK, &lock);
            return false;
        }
    }
    // Without write access (a read-only file for an ordinary user) ask who holds a lock instead.
    Fd ro(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return ro.valid() && lockHeldByOthers(ro.get(), type);
}

// True when another open holds a lock that keeps readers of the open file `fd` out.
bool heldExclusively(int fd) {
    return lockHeldByOthers(fd, F_RDLCK);
}

}  // namespace

EntryKind PosixFileSystem::kindOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return EntryKind::None;
    if (S_ISLNK(st.st_mode)) return EntryKind::SymbolicLink;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    return EntryKind::Other;
}

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

// Lists the entries whose names pass `wanted`. Kinds come from the directory entries, so a folder
// of tens of thousands of run files needs no lstat() per file; only file systems that leave the
// kind unknown pay for one.
template <typename Wanted>
FolderListing scanFolder(FileSystem& fs, const std::string& folder, Wanted wanted) {
    FolderListing listing;
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) {
        // O_NOFOLLOW on a link to a folder reports ENOTDIR; say what it really is.
        listing.status = fs.kindOf(folder) == EntryKind::SymbolicLink ? FsStatus{FsError::SymbolicLink, ELOOP}
                                                                      : lastError();
        return listing;
    }
    DIR* dir = ::fdopendir(fd.get());
    if (dir == nullptr) {
        listing.status = lastError();
        return listing;
    }
    fd.release();
    const std::string prefix = withTrailingSlash(folder);
    for (;;) {
        // readdir() tells its end and its failure apart only by errno.
        errno = 0;
        const struct dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            if (errno != 0) listing.status = lastError();
            break;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || !wanted(name)) continue;
        EntryKind kind = kindFromDirent(entry->d_type);
        if (kind == EntryKind::None) kind = fs.kindOf(prefix + std::string(name));
        listing.entries.push_back({std::string(name), kind});
    }
    ::closedir(dir);
    return listing;
}

}  // namespace

FolderListing PosixFileSystem::listFolder(const std::string& folder) {
    return scanFolder(*this, folder, [](std::string_view) { return true; });
}

FsStatus PosixFileSystem::createFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) != 0) return lastError();
    return FsStatus::success();
}

FsStatus PosixFileSystem::removeEmptyFolder(const std::string& folder) {
    if (kindOf(folder) == EntryKind::SymbolicLink) return {FsError::SymbolicLink, 0};
    if (::rmdir(folder.c_str()) != 0) return lastError();
    return FsStatus::success();
}

bool PosixFileSystem::isReadOnly(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
    return (st.st_mode & 0222) == 0;
}

FsStatus PosixFileSystem::setReadOnlyAttribute(const std::string& path, ReadOnly state) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return lastError();
    if (S_ISLNK(st.st_mode)) return {FsError::SymbolicLink, 0};
    mode_t mode = st.st_mode & 07777;
    mode_t wanted = state == ReadOnly::On ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
    if (wanted != mode && ::chmod(path.c_str(), wanted) != 0) return lastError();
    return FsStatus::success();
}

bool PosixFileSystem::isInUse(const std::string& path) {
    return lockConflicts(path, F_WRLCK);
}

bool PosixFileSystem::isLockedExclusively(const std::string& path) {
    return lockConflicts(path, F_RDLCK);
}

FsBytes PosixFileSystem::readFile(const std::string& path) {
    FsBytes result;
    // O_NONBLOCK: a FIFO under a run file's name must not hang the reader; regular files ignore it.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        result.status = lastError();
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = {FsError::Io, S_ISDIR(st.st_mode) ? EISDIR : EINVAL};
        return result;
    }
    if (heldExclusively(fd.get())) {
        result.status = {FsError::InUse, 0};
        return result;
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.status = lastError();
            result.bytes.clear();
            return result;
        }
        if (n == 0) break;
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return result;
}

// Checks that an existing target may be replaced the way Windows would allow it.
static FsStatus replaceableTarget(FileSystem& fs, const std::string& target, Existing existing) {
    EntryKind kind = fs.kindOf(target);
    if (kind == EntryKind::None) return FsStatus::success();
    if (existing == Existing::Refuse) return {FsError::AlreadyExists, EEXIST};
    if (kind == EntryKind::SymbolicLink) return {FsError::SymbolicLink, 0};
    if (kind != EntryKind::File) return {FsError::Io, EISDIR};
    if (fs.isReadOnly(target)) return {FsError::ReadOnly, EACCES};
    if (fs.isInUse(target)) return {FsError::InUse, EBUSY};
    return FsStatus::success();
}

// Writes `bytes` with `mode` into a fresh temporary file beside `path` and moves it into place.
static FsStatus publish(FileSystem& fs, const std::string& path, std::string_view bytes, mode_t mode,
                        Existing existing) {
    if (FsStatus check = replaceableTarget(fs, path, existing); !check.ok()) return check;
    std::string temp = posix::temporaryPathFor(path);
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid()) return lastError();
    FsStatus status = posix::writeAll(fd.get(), bytes);
    if (status.ok() && ::fchmod(fd.get(), mode) != 0) status = lastError();
    if (status.ok() && ::fsync(fd.get()) != 0) status = lastError();
    if (status.ok() && ::close(fd.release()) != 0) status = lastError();
    if (status.ok()) {
        // link() fails on an existing name, so a no-replace publish can never overwrite a file that
        // appeared meanwhile; rename() replaces in one step.
        int rc = existing == Existing::Refuse ? ::link(temp.c_str(), path.c_str())
                                              : ::rename(temp.c_str(), path.c_str());
        if (rc != 0) status = lastError();
    }
    if (!status.ok() || existing == Existing::Refuse) ::unlink(temp.c_str());
    if (status.ok()) posix::syncFolderOf(path);
    return status;
}

// The process's file creation mask, read without changing it: umask() can only be read by
// setting it, which for a moment would give files that other threads create the wrong mode.
static mode_t creationMask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status)) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask);
    }
    return 022;
}

FsStatus PosixFileSystem::writeFileAtomic(const std::string& path, std::string_view bytes, Existing existing) {
    return publish(*this, path, bytes, 0666 & ~creationMask(), existing);
}

FsStatus PosixFileSystem::copyFile(const std::string& from, const std::string& to, Existing existing) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) return lastError();
    if (S_ISLNK(st.st_mode)) return {FsError::SymbolicLink, 0};
    if (!S_ISREG(st.st_mode)) return {FsError::Io, EISDIR};
    FsBytes source = readFile(from);
    if (!source.ok()) return source.status;
    return publish(*this, to, source.bytes, st.st_mode & 07777, existing);
}

FsStatus PosixFileSystem::renameReplace(const std::string& from, const std::string& to) {
    if (kindOf(from) == EntryKind::None) return {FsError::NotFound, ENOENT};
    if (FsStatus check = replaceableTarget(*this, to, Existing::Replace); !check.ok()) return check;
    if (::rename(from.c_str(), to.c_str()) != 0) return lastError();
    posix::syncFolderOf(to);
    return FsStatus::success();
}

FsStatus PosixFileSystem::deleteFile(const std::string& path) {
    EntryKind kind = kindOf(path);
    if (kind == EntryKind::None) return {FsError::NotFound, ENOENT};
    if (kind == EntryKind::Folder) return {FsError::Io, EISDIR};
    if (kind == EntryKind::File) {
        if (isReadOnly(path)) return {FsError::ReadOnly, EACCES};
        if (isInUse(path)) return {FsError::InUse, EBUSY};
    }
    if (::unlink(path.c_str()) != 0) return lastError();
    return FsStatus::success();
}

FolderListing PosixFileSystem::findMatching(const std::string& folder, std::string_view pattern) {
    return scanFolder(*this, folder, [pattern](std::string_view name) { return wildcardMatch(pattern, name); });
}

std::unique_ptr<FileLock> PosixFileSystem::holdLock(const std::string& path, LockMode mode) {
    bool exclusive = mode == LockMode::Exclusive;
    Fd fd(::open(path.c_str(), (exclusive ? O_RDWR : O_RDONLY) | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) return nullptr;
    struct flock lock = wholeFile(exclusive ? F_WRLCK : F_RDLCK);
    if (::fcntl(fd.get(), F_OFD_SETLK, &lock) != 0) return nullptr;
    return std::make_unique<OfdLock>(fd.release());
}

bool PosixFileSystem::isWritableFolder(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string PosixFileSystem::canonicalPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return {};
    std::string result = resolved;
    std::free(resolved);
    return result;
}

std::string fsStatusText(const FsStatus& status) {
    switch (status.error) {
        case FsError::None:
            return {};
        case FsError::ReadOnly:
            return "read-only";
        case FsError::InUse:
            return "in use by another program";
        case FsError::SymbolicLink:
            return "is a symbolic link";
        default:
            break;
    }
    return status.sysErrno != 0 ? std::strerror(status.sysErrno) : "input/output error";
}

FileSystem& systemFileSystem() {
    static PosixFileSystem instance;
    return instance;
}

}  // namespace lapdex
