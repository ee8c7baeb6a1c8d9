// The run index's database file: the opening lock and the check for other programs.
#include "index_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace lapdex {
namespace {

// SQLite's wal-index: the lock bytes begin at offset 120; the "dead man switch" byte (the 9th)
// is held shared by every open connection.
constexpr off_t kWalDeadManSwitchByte = 120 + 8;

}  // namespace

IndexOpenLock::IndexOpenLock(const std::string& databasePath) {
    fd_ = ::open((databasePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        ::close(fd_);
        fd_ = -1;
        return;
    }
}

IndexOpenLock::~IndexOpenLock() {
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock
}

bool databaseOpenElsewhere(const std::string& databasePath) {
    const int fd = ::open((databasePath + "-shm").c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = kWalDeadManSwitchByte;
    probe.l_len = 1;
    const bool asked = ::fcntl(fd, F_GETLK, &probe) == 0;
    ::close(fd);
    // When the question cannot be asked, assume the worst.
    return !asked || probe.l_type != F_UNLCK;
}

void removeDatabaseLeftovers(const std::string& databasePath) {
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        ::unlink((databasePath + suffix).c_str());
}

}  // namespace lapdex
