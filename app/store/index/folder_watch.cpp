// inotify for the run index (Linux); elsewhere nothing is ever clean.
#include "folder_watch.h"

#ifdef __linux__
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace lapdex {

#ifdef __linux__
namespace {

constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB |
                                        IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO |
                                        IN_DELETE_SELF | IN_MOVE_SELF;
constexpr std::uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

}  // namespace

// File systems whose files can change without this kernel knowing.
bool notificationsCover(const std::string& path) {
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0x6969UL:      // NFS
        case 0x517BUL:      // SMB
        case 0xFF534D42UL:  // CIFS
        case 0xFE534D42UL:  // SMB2
        case 0x65735546UL:  // FUSE
        case 0x01021997UL:  // 9P
        case 0x00C36400UL:  // Ceph
        case 0x5346414FUL:  // AFS
        case 0x73757245UL:  // Coda
            return false;
        default:
            return true;
    }
}

std::uint32_t folderChangeEvents() {
    return kFolderEvents;
}

bool readNotifications(int fd, const NotificationHandler& handle) {
    if (fd < 0) return false;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return true;
        if (n <= 0) return false;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            handle(event->wd, event->mask, event->len > 0 ? std::string(event->name) : "");
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

FolderWatch::FolderWatch(std::string dataFolder)
    : dataFolder_(std::move(dataFolder)), fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatch::~FolderWatch() {
    if (fd_ >= 0) ::close(fd_);
}

bool FolderWatch::watchDataFolder() {
    if (dataWd_ >= 0) return true;
    if (fd_ < 0 || !notificationsCover(dataFolder_)) return false;
    // Stopwatch folders made, removed, renamed or given other permissions.
    dataWd_ =
        ::inotify_add_watch(fd_, dataFolder_.c_str(), kFolderEvents | IN_ONLYDIR | IN_DONT_FOLLOW);
    return dataWd_ >= 0;
}

bool FolderWatch::startClean(const std::string& folderName) {
    if (!watchDataFolder()) return false;
    if (watches_.count(folderName) == 0) {
        const std::string path = dataFolder_ + folderName;
        if (!notificationsCover(path)) return false;
        const int wd =
            ::inotify_add_watch(fd_, path.c_str(), kFolderEvents | IN_ONLYDIR | IN_DONT_FOLLOW);
        if (wd < 0) return false;
        names_[wd] = folderName;
        watches_[folderName] = wd;
    }
    clean_.insert(folderName);
    return true;
}

void FolderWatch::drain() {
    if (fd_ < 0) return;
    const bool read = readNotifications(
        fd_,
        [this](int wd, std::uint32_t mask, const std::string& name) { handle(wd, mask, name); });
    if (!read) markAllDirty();
}

void FolderWatch::handle(int wd, unsigned mask, const std::string& name) {
    if ((mask & IN_Q_OVERFLOW) != 0) return markAllDirty();
    if (wd == dataWd_) {
        if ((mask & kGone) != 0 || name.empty()) {
            // The data folder itself moved, went or changed: nothing is known any more.
            if ((mask & kGone) != 0) dataWd_ = -1;
            return markAllDirty();
        }
        // A stopwatch folder made, removed or renamed is another folder: watched anew.
        markDirty(name);
        if ((mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) != 0) unwatch(name);
        return;
    }
    const auto found = names_.find(wd);
    if (found == names_.end()) return;
    const std::string folderName = found->second;
    markDirty(folderName);
    if ((mask & kGone) != 0) unwatch(folderName);
}

void FolderWatch::unwatch(const std::string& folderName) {
    const auto found = watches_.find(folderName);
    if (found == watches_.end()) return;
    (void)::inotify_rm_watch(fd_, found->second);
    names_.erase(found->second);
    watches_.erase(found);
}

#else

bool notificationsCover(const std::string&) {
    return false;
}
std::uint32_t folderChangeEvents() {
    return 0;
}
bool readNotifications(int, const NotificationHandler&) {
    return false;
}

FolderWatch::FolderWatch(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}
FolderWatch::~FolderWatch() = default;
void FolderWatch::drain() {}
bool FolderWatch::startClean(const std::string&) {
    return false;
}

#endif

bool FolderWatch::isClean(const std::string& folderName) const {
    return clean_.count(folderName) != 0;
}

void FolderWatch::markDirty(const std::string& folderName) {
    clean_.erase(folderName);
}

void FolderWatch::markAllDirty() {
    clean_.clear();
}

}  // namespace lapdex
