// The file-system seam: every platform call of the data store goes through FileSystem, so tests can
// inject faults, and Windows' rules for read-only and in-use files hold even when running as root.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lapdex {

enum class FsError {
    None,
    NotFound,
    AlreadyExists,
    ReadOnly,      // the file carries the read-only attribute (no write permission bits)
    InUse,         // another open holds a lock on the file ("in use by another program")
    SymbolicLink,  // refused: the data store never follows symbolic links
    NotEmpty,
    Io,            // any other failure; `sysErrno` tells which
};

// Outcome of one file-system operation.
struct [[nodiscard]] FsStatus {
    FsError error = FsError::None;
    int sysErrno = 0;
    bool ok() const { return error == FsError::None; }
    static FsStatus success() { return {}; }
};

// Outcome of reading a whole file.
struct [[nodiscard]] FsBytes {
    FsStatus status;
    std::string bytes;
    bool ok() const { return status.ok(); }
};

enum class EntryKind { None, File, Folder, SymbolicLink, Other };

// One entry of a folder listing: the name only (no path), and its kind as lstat() sees it (taken
// from the directory entry itself where the file system records it, so listing costs no stat()).
struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::None;
};

struct [[nodiscard]] FolderListing {
    FsStatus status;
    // Without "." and ".."; in the order the platform returns them. When the listing failed
    // midway (`status` not ok), the entries read before the failure: never the whole folder.
    std::vector<FolderEntry> entries;
    bool ok() const { return status.ok(); }
};

enum class ReadOnly { Off, On };

// One file for FileSystem::createFiles: its full path and its whole content.
struct NewFile {
    std::string path;
    std::string bytes;
};
enum class Existing { Replace, Refuse };
enum class LockMode { Shared, Exclusive };

// A lock held on a file by an open file description, as another program holding the file open would.
// Shared blocks writers (the file is "in use"); Exclusive blocks readers too. Released on destruction.
class FileLock {
public:
    virtual ~FileLock() = default;
};

// Paths are UTF-8 and absolute or relative to the working directory. Implementations are thread-safe.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // lstat(): never follows a symbolic link in the last path component.
    virtual EntryKind kindOf(const std::string& path) = 0;
    virtual FolderListing listFolder(const std::string& folder) = 0;
    // Creates one folder level. An existing folder is AlreadyExists.
    virtual FsStatus createFolder(const std::string& folder) = 0;
    // Removes an empty folder (never a link).
    virtual FsStatus removeEmptyFolder(const std::string& folder) = 0;
    virtual bool isReadOnly(const std::string& path) = 0;
    // On: removes every write permission bit. Off: restores the owner's write bit.
    virtual FsStatus setReadOnlyAttribute(const std::string& path, ReadOnly state) = 0;
    // True when another open holds any lock on the file, so it could not be opened for writing.
    virtual bool isInUse(const std::string& path) = 0;
    // True when another open holds the file exclusively, so it could not be opened for reading.
    virtual bool isLockedExclusively(const std::string& path) = 0;
    // Reads a whole regular file; refuses a link, any other kind of entry, and a file held exclusively.
    virtual FsBytes readFile(const std::string& path) = 0;
    // Writes a temporary file in the same folder, flushes it, then moves it to `path` in one step.
    // Replace refuses a target that is read-only or in use; Refuse never touches an existing file
    // (AlreadyExists). A failure leaves no partial file under `path`.
    virtual FsStatus writeFileAtomic(const std::string& path, std::string_view bytes, Existing existing) = 0;
    // Creates the files of one batch, none of which may replace an existing file. Each is written
    // under a temporary name beside its final one; all are flushed together, then each appears under
    // its final name in one step (complete or not at all), the folders are flushed once and the
    // temporary names removed. `attribute` On: the files appear read-only. One status per file, in
    // order: AlreadyExists when the name is taken (that file is left untouched).
    virtual std::vector<FsStatus> createFiles(const std::vector<NewFile>& files, ReadOnly attribute) = 0;
    // Copies a regular file's bytes and permission bits (as the platform's copy keeps attributes).
    // Refuses a source held exclusively, a source that is a link, and a target that is read-only or in
    // use; the copy reaches `to` through a temporary file and a rename.
    virtual FsStatus copyFile(const std::string& from, const std::string& to, Existing existing) = 0;
    // Renames `from` over `to` in one step; refuses a target that is read-only or in use.
    virtual FsStatus renameReplace(const std::string& from, const std::string& to) = 0;
    // Deletes a file; refuses a read-only file or a file in use (as Windows does, even for root).
    virtual FsStatus deleteFile(const std::string& path) = 0;
    // Entries of `folder` whose names match `pattern` ('*' any run, '?' one character) regardless of
    // ASCII case, in listing order.
    virtual FolderListing findMatching(const std::string& folder, std::string_view pattern) = 0;
    // Holds a lock on an existing file until the returned object is destroyed; null on failure.
    virtual std::unique_ptr<FileLock> holdLock(const std::string& path, LockMode mode) = 0;
    // True when the user may create files in the folder.
    virtual bool isWritableFolder(const std::string& folder) = 0;
    // The absolute path with every link and "." or ".." resolved (realpath), or "" when it cannot be.
    virtual std::string canonicalPath(const std::string& path) = 0;
};

// The real file system of this machine (POSIX). Its member functions may be overridden by test fakes.
class PosixFileSystem : public FileSystem {
public:
    EntryKind kindOf(const std::string& path) override;
    FolderListing listFolder(const std::string& folder) override;
    FsStatus createFolder(const std::string& folder) override;
    FsStatus removeEmptyFolder(const std::string& folder) override;
    bool isReadOnly(const std::string& path) override;
    FsStatus setReadOnlyAttribute(const std::string& path, ReadOnly state) override;
    bool isInUse(const std::string& path) override;
    bool isLockedExclusively(const std::string& path) override;
    FsBytes readFile(const std::string& path) override;
    FsStatus writeFileAtomic(const std::string& path, std::string_view bytes, Existing existing) override;
    std::vector<FsStatus> createFiles(const std::vector<NewFile>& files, ReadOnly attribute) override;
    FsStatus copyFile(const std::string& from, const std::string& to, Existing existing) override;
    FsStatus renameReplace(const std::string& from, const std::string& to) override;
    FsStatus deleteFile(const std::string& path) override;
    FolderListing findMatching(const std::string& folder, std::string_view pattern) override;
    std::unique_ptr<FileLock> holdLock(const std::string& path, LockMode mode) override;
    bool isWritableFolder(const std::string& folder) override;
    std::string canonicalPath(const std::string& path) override;
};

// Why an operation failed, in English on one line ("Permission denied", "in use by another
// program"); "" for success.
std::string fsStatusText(const FsStatus& status);

// The one PosixFileSystem of the process (stateless, so sharing it is safe).
FileSystem& systemFileSystem();

// Case-insensitive (ASCII) wildcard match of a whole name: '*' any run, '?' exactly one byte.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// `folder` with every trailing '/' removed (a lone "/" stays) and then exactly one added; "" gives "./".
std::string withTrailingSlash(std::string_view folder);

// `folder` with every trailing '/' removed; "/" stays "/".
std::string withoutTrailingSlash(std::string_view folder);

}  // namespace lapdex
