// Creating a batch of new files with one flush for all of them (a download's run files).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>

#include "file_system.h"
#include "posix_support.h"

namespace lapdex {
namespace {

using posix::Fd;
using posix::lastError;

// Up to this many files are flushed one by one (fdatasync); a larger batch flushes its file
// system once (syncfs), which costs one journal commit instead of one per file.
constexpr std::size_t kFilesSyncedOneByOne = 8;

struct Folder {
    Fd fd;
    FsStatus opened;  // a folder that cannot be opened cannot be flushed: its files fail
};

struct Pending {
    std::size_t index;  // into the batch
    std::string temp;
    Fd fd;  // still open while the batch is small enough to flush file by file
};

// Writes one file's bytes to a fresh temporary file beside it, with its final permission bits.
FsStatus writeTemporary(const NewFile& file, ReadOnly attribute, Pending& pending, bool keepOpen) {
    pending.temp = posix::temporaryPathFor(file.path);
    // Read-only from birth: created without write bits (the descriptor still writes), so the final
    // name never shows a writable file and no chmod follows. The mask applies as to any new file.
    const mode_t mode = attribute == ReadOnly::On ? 0444 : 0666;
    Fd fd(::open(pending.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (!fd.valid()) return lastError();
    FsStatus status = posix::writeAll(fd.get(), file.bytes);
    if (status.ok() && keepOpen) {
        pending.fd = std::move(fd);
    } else if (status.ok() && ::close(fd.release()) != 0) {
        status = lastError();  // delayed write errors (NFS, quotas) surface at close
    }
    if (!status.ok()) ::unlink(pending.temp.c_str());
    return status;
}

// Flushes the data of every written temporary file; on failure none of them may be published.
FsStatus flushAll(std::vector<Pending>& pending, const std::map<std::string, Folder>& folders) {
    for (Pending& p : pending) {
        if (p.fd.valid() && ::fdatasync(p.fd.get()) != 0) return lastError();
    }
    if (pending.empty() || pending.front().fd.valid()) return FsStatus::success();
    // The folders were opened before any write, so syncfs() reports every write-back error since.
    for (const auto& [name, folder] : folders) {
        if (folder.fd.valid() && ::syncfs(folder.fd.get()) != 0) return lastError();
    }
    return FsStatus::success();
}

// Gives the temporary file its final name without ever replacing a file of that name: one rename
// where the file system can refuse an existing target, else link() (which refuses one) and unlink.
FsStatus moveIntoPlace(const std::string& temp, const std::string& path) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return FsStatus::success();
    if (errno != EINVAL && errno != ENOSYS) return lastError();
    if (::link(temp.c_str(), path.c_str()) != 0) return lastError();
    ::unlink(temp.c_str());
    return FsStatus::success();
}

}  // namespace

std::vector<FsStatus> PosixFileSystem::createFiles(const std::vector<NewFile>& files, ReadOnly attribute) {
    std::vector<FsStatus> statuses(files.size());
    std::map<std::string, Folder> folders;
    for (const NewFile& file : files) {
        std::string name = posix::folderOf(file.path);
        if (folders.contains(name)) continue;
        Folder folder{Fd(::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), {}};
        if (!folder.fd.valid()) folder.opened = lastError();
        folders.emplace(std::move(name), std::move(folder));
    }
    const bool oneByOne = files.size() <= kFilesSyncedOneByOne;
    std::vector<Pending> pending;
    for (std::size_t i = 0; i < files.size(); ++i) {
        // A name already taken costs one lstat() instead of writing the file (a Reload repeats runs).
        if (kindOf(files[i].path) != EntryKind::None) {
            statuses[i] = {FsError::AlreadyExists, EEXIST};
            continue;
        }
        if (const Folder& folder = folders.at(posix::folderOf(files[i].path)); !folder.opened.ok()) {
            statuses[i] = folder.opened;
            continue;
        }
        Pending p{i, {}, Fd()};
        statuses[i] = writeTemporary(files[i], attribute, p, oneByOne);
        if (statuses[i].ok()) pending.push_back(std::move(p));
    }
    const FsStatus flushed = flushAll(pending, folders);
    for (Pending& p : pending) {
        p.fd = Fd();
        if (flushed.ok()) statuses[p.index] = moveIntoPlace(p.temp, files[p.index].path);
        if (!flushed.ok()) statuses[p.index] = flushed;
        if (!statuses[p.index].ok()) ::unlink(p.temp.c_str());
    }
    for (const auto& [name, folder] : folders) {
        if (folder.fd.valid()) (void)::fsync(folder.fd.get());
    }
    return statuses;
}

}  // namespace lapdex
