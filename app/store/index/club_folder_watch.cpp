// inotify watches and re-check stamps of one club folder (Linux).
#include "club_folder_watch.h"

#include <dirent.h>
#include <sys/inotify.h>

#include <functional>
#include <set>
#include <vector>

#include "folder_watch.h"

namespace lapdex {
namespace {

constexpr std::uint32_t kGone = IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

struct Entry {
    std::string name;
    FileStamp stamp;
};

// The entries of `folder` (ending with '/') but sync engines' temporary files, which are never
// part of what a club folder holds.
std::vector<Entry> entriesOf(const std::string& folder) {
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return entries;
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == ".." || isSyncTemporaryName(name)) continue;
        entries.push_back({name, stampOf(folder + name)});
    }
    ::closedir(dir);
    return entries;
}

std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// A sum, so the order of the listing does not matter. A folder entry counts by name and inode
// only: what happens inside it is that folder's own comparison.
std::uint64_t digestOf(const std::vector<Entry>& entries) {
    std::uint64_t sum = entries.size();
    for (const Entry& entry : entries) {
        const FileStamp& stamp = entry.stamp;
        std::uint64_t h = mix(std::hash<std::string>{}(entry.name) ^ stamp.inode);
        h = mix(h ^ static_cast<std::uint64_t>(stamp.kind));
        if (stamp.kind != StampKind::Folder) {
            h = mix(h ^ static_cast<std::uint64_t>(stamp.size));
            h = mix(h ^ static_cast<std::uint64_t>(stamp.mtimeNs));
            h = mix(h ^ static_cast<std::uint64_t>(stamp.ctimeNs));
        }
        sum += h;
    }
    return sum;
}

}  // namespace

ClubFolderWatch::ClubFolderWatch(ClubFolder folder, int inotifyFd, ClubNotices notices)
    : folder_(std::move(folder)), root_(folder_.path), fd_(inotifyFd), notices_(notices) {
    if (root_.empty() || root_.back() != '/') root_ += '/';
}

ClubFolderWatch::~ClubFolderWatch() {
    dropAll();
}

void ClubFolderWatch::watchRoot() {
    if (rootWd_ >= 0 || fd_ < 0 || notices_ != ClubNotices::WhereCovered) return;
    if (!notificationsCover(root_)) return;
    rootWd_ =
        ::inotify_add_watch(fd_, root_.c_str(), folderChangeEvents() | IN_ONLYDIR | IN_DONT_FOLLOW);
    if (rootWd_ >= 0) stamped_.erase("");
}

void ClubFolderWatch::resync() {
    watchRoot();
    std::set<std::string> present;
    for (const Entry& entry : entriesOf(root_)) {
        if (entry.stamp.kind != StampKind::Folder) continue;
        present.insert(entry.name);
        if (watches_.count(entry.name) == 0 && stamped_.count(entry.name) == 0) follow(entry.name);
    }
    std::vector<std::string> gone;
    for (const auto& [name, wd] : watches_) {
        if (present.count(name) == 0) gone.push_back(name);
    }
    for (const auto& [name, stamped] : stamped_) {
        if (!name.empty() && present.count(name) == 0) gone.push_back(name);
    }
    for (const std::string& name : gone) unfollow(name);
    if (rootWd_ < 0 && stamped_.count("") == 0) (void)compare("", stamped_[""], true);
}

void ClubFolderWatch::follow(const std::string& name) {
    // A watch where the root has one: a folder the kernel cannot report on (another mount, no
    // watches left) is compared at each re-check instead.
    if (rootWd_ >= 0 && notificationsCover(pathOf(name))) {
        const int wd = ::inotify_add_watch(fd_, pathOf(name).c_str(),
                                           folderChangeEvents() | IN_ONLYDIR | IN_DONT_FOLLOW);
        if (wd >= 0) {
            names_[wd] = name;
            watches_[name] = wd;
            stamped_.erase(name);
            return;
        }
    }
    (void)compare(name, stamped_[name], true);
}

void ClubFolderWatch::unfollow(const std::string& name) {
    stamped_.erase(name);
    const auto found = watches_.find(name);
    if (found == watches_.end()) return;
    (void)::inotify_rm_watch(fd_, found->second);
    names_.erase(found->second);
    watches_.erase(found);
}

void ClubFolderWatch::dropAll() {
    for (const auto& [wd, name] : names_) (void)::inotify_rm_watch(fd_, wd);
    if (rootWd_ >= 0) (void)::inotify_rm_watch(fd_, rootWd_);
    rootWd_ = -1;
    names_.clear();
    watches_.clear();
    stamped_.clear();
}

ClubFolderWatch::Notice ClubFolderWatch::handle(int wd, std::uint32_t mask,
                                                const std::string& name) {
    if (wd < 0) return Notice::NotMine;
    if (wd == rootWd_) return handleRoot(mask, name);
    const auto found = names_.find(wd);
    if (found == names_.end()) return Notice::NotMine;
    if ((mask & IN_IGNORED) != 0) {
        // The stopwatch folder went: the club folder's own notification tells it.
        watches_.erase(found->second);
        names_.erase(found);
        return Notice::Ignored;
    }
    if (!name.empty() && isSyncTemporaryName(name)) return Notice::Ignored;
    return Notice::Changed;
}

ClubFolderWatch::Notice ClubFolderWatch::handleRoot(std::uint32_t mask, const std::string& name) {
    if ((mask & kGone) != 0) {
        // The club folder itself went or moved: the re-checks look for it from now on.
        dropAll();
        (void)compare("", stamped_[""], true);
        return Notice::Changed;
    }
    if (name.empty()) return Notice::Changed;
    if (isSyncTemporaryName(name)) return Notice::Ignored;
    if ((mask & IN_ISDIR) != 0) {
        // A stopwatch folder that arrives is watched at once; files in it before the watch
        // existed are covered by this change.
        if ((mask & (IN_CREATE | IN_MOVED_TO)) != 0) follow(name);
        if ((mask & (IN_DELETE | IN_MOVED_FROM)) != 0) unfollow(name);
    }
    return Notice::Changed;
}

bool ClubFolderWatch::recheck() {
    bool changed = false;
    // The club folder's own listing is short: compared whenever no watch covers it.
    if (rootWd_ < 0) changed = compare("", stamped_[""], true);
    resync();
    for (auto& [name, stamped] : stamped_) {
        if (!name.empty() && compare(name, stamped, false)) changed = true;
    }
    return changed;
}

bool ClubFolderWatch::compare(const std::string& name, Stamped& stamped, bool always) {
    const std::string folder = name.empty() ? root_ : pathOf(name) + "/";
    // Stamped before listing, so a change during the listing shows at the next comparison.
    const FileStamp stamp = stampOf(name.empty() ? folder_.path : pathOf(name));
    const std::int64_t at = wallClockNs();
    // A folder with the same stamp holds the same names; its files' contents are replaced
    // through renames, which change it. A stamp taken within a coarse tick of a change is no
    // proof of that.
    if (!always && stamp.sameAs(stamped.stamp) && settledAt(stamped.stamp, stamped.takenNs)) {
        return false;
    }
    const std::uint64_t digest = digestOf(entriesOf(folder));
    const bool changed = digest != stamped.digest;
    stamped = {stamp, at, digest};
    return changed;
}

}  // namespace lapdex
