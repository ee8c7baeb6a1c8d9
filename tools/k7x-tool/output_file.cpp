#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "rdcom32.h"

namespace k7x {
namespace {

bool writeAll(int descriptor, const uint8_t* bytes, size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(descriptor, bytes, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

std::string cannotWrite(const std::string& path, int error) {
    return "cannot write " + path + ": " + writeProblem(path, error);
}

OutputFile::~OutputFile() {
    discard();
}

void OutputFile::discard() {
    if (descriptor >= 0) ::close(descriptor);
    descriptor = -1;
    if (!temporary.empty()) ::unlink(temporary.c_str());
    temporary.clear();
}

bool OutputFile::open(const std::string& path, std::string& error, size_t reserve) {
    discard();
    target = path;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = cannotWrite(path, EISDIR);
        return false;
    }
    // O_EXCL with the ordinary mode: the file gets the user's usual permissions, and no
    // other file of that name is ever taken over.
    for (unsigned attempt = 0; descriptor < 0; ++attempt) {
        const std::string name =
            path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            temporary = name;
        } else if (errno != EEXIST || attempt == 100) {
            error = cannotWrite(path, errno);
            return false;
        }
    }
    // A file system that cannot reserve space (EOPNOTSUPP) is left to the write to find out.
    const int reserved =
        reserve == 0 ? 0 : ::posix_fallocate(descriptor, 0, static_cast<off_t>(reserve));
    if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
        error = cannotWrite(path, reserved);
        discard();
        return false;
    }
    return true;
}

bool OutputFile::commit(const uint8_t* bytes, size_t length, std::string& error) {
    if (descriptor < 0) {
        error = cannotWrite(target, EBADF);
        return false;
    }
    bool written = writeAll(descriptor, bytes, length) &&
                   ::ftruncate(descriptor, static_cast<off_t>(length)) == 0 &&
                   ::fsync(descriptor) == 0;
    int failure = errno;
    if (::close(descriptor) != 0 && written) {
        written = false;
        failure = errno;
    }
    descriptor = -1;
    if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
        written = false;
        failure = errno;
    }
    if (!written) {
        error = cannotWrite(target, failure);
        discard();
        return false;
    }
    temporary.clear();
    return true;
}

std::string openDebugLog(std::string directory) {
    bool created = false;
    std::string problem;
    if (!createLastFolder(directory, created, problem)) {
        return "cannot open the debug log " + directory + (directory.back() == '/' ? "" : "/") +
               "rdcaa_debug.log: " + problem;
    }
    // The library appends the file name directly to the folder it is given.
    if (directory.back() != '/') directory += '/';
    const std::string file = directory + "rdcaa_debug.log";
    const int probe = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (probe < 0) {
        const int error = errno;
        return "cannot open the debug log " + file + ": " + writeProblem(file, error);
    }
    ::close(probe);
    if (RDCAA_SetDllLogPath(directory.c_str()) != 1) return "cannot open the debug log " + file;
    return {};
}

}  // namespace k7x
