// One club folder as the club watch follows it: inotify watches where the kernel reports changes,
// and stamps of the folders compared at each re-check where it does not.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>

#include "club_run_source.h"
#include "club_watch.h"
#include "file_stamp.h"

namespace lapdex {

// Not thread-safe: the club watch's thread alone uses it. Shares the watch's inotify descriptor.
class ClubFolderWatch {
  public:
    enum class Notice { NotMine, Ignored, Changed };

    // `inotifyFd` is non-blocking, or -1 when notifications are not to be had at all.
    ClubFolderWatch(ClubFolder folder, int inotifyFd, ClubNotices notices);
    ~ClubFolderWatch();  // removes its watches
    ClubFolderWatch(const ClubFolderWatch&) = delete;
    ClubFolderWatch& operator=(const ClubFolderWatch&) = delete;

    const ClubFolder& folder() const { return folder_; }

    // Watches the folder and its stopwatch folders where it can, stamps the rest, and adopts
    // stopwatch folders that appeared since (after lost notifications). Never tells a change.
    void resync();
    // One notification of the shared descriptor. Changed when it shows a change in this folder
    // (sync engines' temporary files never do); NotMine for another folder's watch.
    Notice handle(int wd, std::uint32_t mask, const std::string& name);
    // Compares the stamps of what no watch covers (and retries a folder that was missing or
    // lost its watch); true when something changed since the last comparison.
    bool recheck();

  private:
    // A folder compared by stamps: its own stamp and a digest of its entries' names and stamps.
    struct Stamped {
        FileStamp stamp;
        std::int64_t takenNs = 0;
        std::uint64_t digest = 0;
    };

    std::string pathOf(const std::string& name) const { return root_ + name; }
    void watchRoot();
    void follow(const std::string& name);
    void unfollow(const std::string& name);
    void dropAll();
    Notice handleRoot(std::uint32_t mask, const std::string& name);
    bool compare(const std::string& name, Stamped& stamped, bool always);

    ClubFolder folder_;
    std::string root_;  // folder_.path ending with '/'
    int fd_;
    ClubNotices notices_;
    int rootWd_ = -1;
    std::unordered_map<int, std::string> names_;  // watch -> stopwatch folder name
    std::unordered_map<std::string, int> watches_;
    std::map<std::string, Stamped> stamped_;  // "" is the club folder itself
};

}  // namespace lapdex
