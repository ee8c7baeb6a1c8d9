// lstat() for the run index.
#include "file_stamp.h"

#include <sys/stat.h>

#include <ctime>

namespace lapdex {

FileStamp stampOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return {};
    FileStamp stamp;
    stamp.kind = S_ISREG(info.st_mode)   ? StampKind::File
                 : S_ISDIR(info.st_mode) ? StampKind::Folder
                                         : StampKind::Other;
    stamp.size = info.st_size;
    stamp.mtimeNs =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

std::int64_t wallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace lapdex
