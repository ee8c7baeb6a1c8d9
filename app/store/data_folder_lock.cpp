#include "data_folder_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_system.h"

namespace lapdex {

DataFolderLock::DataFolderLock(const std::string& folder) {
    const std::string path = withTrailingSlash(folder) + kFileName;
    // Readable and writable by every user of a shared folder whatever the creator's umask, so that
    // everyone takes the exclusive lock: two read locks (of users who could only read the file)
    // would not conflict, and two programs would run side by side.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    const bool writable = fd_ >= 0;
    struct stat info {};
    if (writable && ::fstat(fd_, &info) == 0 && (info.st_mode & 0666) != 0666)
        (void)::fchmod(fd_, 0666);
    if (!writable) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;
    // An OFD lock belongs to this open description: a second program, or a second open in this
    // one, is refused, and the kernel releases it when the program ends in any way.
    struct flock request {};
    request.l_type = writable ? F_WRLCK : F_RDLCK;
    request.l_whence = SEEK_SET;
    if (::fcntl(fd_, F_OFD_SETLK, &request) == 0) {
        state_ = State::Held;
        return;
    }
    state_ = errno == EAGAIN || errno == EACCES ? State::InUse : State::Failed;
    ::close(fd_);
    fd_ = -1;
}

DataFolderLock::~DataFolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace lapdex
