// Which stopwatch folders may have changed since the run index last compared them, from the
// kernel's notifications (inotify): a folder nothing happened in need not be listed again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace lapdex {

// True where the kernel sees every change of the file system holding `path` (local ones), so its
// notifications can be trusted; false for NFS, SMB/CIFS, FUSE and the like, and when unknown.
bool notificationsCover(const std::string& path);

// The inotify events that show a change in a watched folder: entries made, removed, written,
// renamed or given other permissions, and the folder itself removed or moved (Linux; else 0).
std::uint32_t folderChangeEvents();

// Calls `handle(wd, mask, name)` for each notification waiting on the non-blocking inotify
// descriptor `fd`, without waiting for more ("" when the event names no entry). False when
// notifications were lost: the descriptor failed (an overflow arrives as IN_Q_OVERFLOW).
using NotificationHandler =
    std::function<void(int wd, std::uint32_t mask, const std::string& name)>;
bool readNotifications(int fd, const NotificationHandler& handle);

// Trusted only where the kernel sees every change: local file systems (not NFS, SMB/CIFS, FUSE
// and the like, whose files other machines change unseen). A folder it cannot watch is never
// clean, so it is compared at every call. Not thread-safe: the run index calls it under its lock.
class FolderWatch {
  public:
    // `dataFolder` ends with '/'.
    explicit FolderWatch(std::string dataFolder);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Reads every notification waiting, without waiting for more. A lost notification (the
    // queue overflowed) or a failure makes every folder unclean.
    void drain();
    // True when `folderName` is watched and nothing happened in it since startClean().
    bool isClean(const std::string& folderName) const;
    // Before a comparison of the folder: watches it (from now on every change is noted) and counts
    // it clean. False when it cannot be watched; it then stays unclean.
    bool startClean(const std::string& folderName);
    void markDirty(const std::string& folderName);
    void markAllDirty();

  private:
    bool watchDataFolder();
    void unwatch(const std::string& folderName);
    void handle(int wd, unsigned mask, const std::string& name);

    std::string dataFolder_;
    int fd_ = -1;
    int dataWd_ = -1;
    std::unordered_map<int, std::string> names_;  // watch -> folder name
    std::unordered_map<std::string, int> watches_;
    std::unordered_set<std::string> clean_;
};

}  // namespace lapdex
