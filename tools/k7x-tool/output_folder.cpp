// Making the folders the commands write into, and saying why a write failed.
#include "output_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace k7x {
namespace {

// The folder a file is created in ("." for a bare name).
std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The first level of `folder` that exists but is not a folder, or `folder` itself.
std::string firstNonFolder(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string level = folder.substr(0, slash);
        struct stat info {};
        if (::stat(level.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) return level;
        if (slash == std::string::npos) return folder;
    }
}

}  // namespace

std::string writeProblem(const std::string& path, int error) {
    const std::string folder = folderOf(path);
    switch (error) {
        case ENOENT:
            return "the folder " + folder + " does not exist";
        case ENOTDIR:
            return firstNonFolder(folder) + " is not a folder";
        case EACCES:
        case EPERM:
            return "no permission to write in the folder " + folder;
        case EROFS:
            return folder + " is on a read-only file system";
        case ENOSPC:
        case EDQUOT:
            return "the disk is full";
        case EISDIR:
            return path + " is a folder";
        default:
            return std::strerror(error);
    }
}

bool createLastFolder(const std::string& given, bool& created, std::string& problem) {
    created = false;
    std::string folder = given;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return true;
        problem = folder + " is not a folder";
        return false;
    }
    if (::mkdir(folder.c_str(), 0777) == 0) return created = true;
    // The reason is about the folder that should hold it.
    problem = writeProblem(folder, errno);
    return false;
}

OutputFolder::~OutputFolder() {
    if (!made.empty()) ::rmdir(made.c_str());  // fails, as it should, when anything is in it
}

bool OutputFolder::make(const std::string& folder, std::string& problem) {
    bool created = false;
    if (!createLastFolder(folder, created, problem)) return false;
    if (created) made = folder;
    return true;
}

}  // namespace k7x
