// lstat() for the run index.
#include "file_stamp.h"

#include <sys/stat.h>

#include <cerrno>
#include <ctime>

namespace lapdex {
namespace {

// Wider than FAT's 2 s modification times and any clock tick a file system rounds times to.
constexpr std::int64_t kCoarseTickNs = 3'000'000'000;

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

bool farFrom(std::int64_t timeNs, std::int64_t atNs) {
    return timeNs < atNs - kCoarseTickNs || timeNs > atNs + kCoarseTickNs;
}

}  // namespace

FileStamp stampOf(const std::string& path) {
    struct stat info {};
    FileStamp stamp;
    if (::lstat(path.c_str(), &info) != 0) {
        stamp.sysErrno = errno;
        return stamp;
    }
    stamp.kind = S_ISREG(info.st_mode)   ? StampKind::File
                 : S_ISDIR(info.st_mode) ? StampKind::Folder
                                         : StampKind::Other;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.mtimeNs = nanoseconds(info.st_mtim);
    stamp.ctimeNs = nanoseconds(info.st_ctim);
    return stamp;
}

std::int64_t wallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}

bool settledAt(const FileStamp& stamp, std::int64_t atNs) {
    return farFrom(stamp.mtimeNs, atNs) && farFrom(stamp.ctimeNs, atNs);
}

}  // namespace lapdex
