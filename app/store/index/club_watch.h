// Tells when files arrive in, change in or leave club folders: within about a second where the file
// system reports changes (inotify on a local file system), and by a bounded re-check of the folder
// times elsewhere (network shares), so open windows can show another PC's runs without a restart.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "club_run_source.h"

namespace lapdex {

// How the watch learns of changes.
enum class ClubNotices {
    WhereCovered,  // inotify on local file systems, re-checks elsewhere
    RecheckOnly,   // re-checks everywhere, as on a network share (for tests and odd mounts)
};

class ClubWatch {
  public:
    // Called on the watch's own thread with the label of a club folder in which something changed
    // (a run file, Lapdex.dat, a stopwatch folder); several changes within `settle` are told once.
    // Sync engines' temporary files never count as a change. Must not block for long.
    using Changed = std::function<void(const std::string& label)>;

    // `recheck` bounds how late a change is seen where notifications are not to be had (network
    // file systems, no inotify watches left): there the folders' times and listings are compared
    // every `recheck`. A folder that is missing is looked for at each re-check.
    explicit ClubWatch(Changed changed,
                       std::chrono::milliseconds settle = std::chrono::milliseconds(300),
                       std::chrono::milliseconds recheck = std::chrono::seconds(10),
                       ClubNotices notices = ClubNotices::WhereCovered);
    // Stops the thread; no call of `changed` starts after it returns.
    ~ClubWatch();
    ClubWatch(const ClubWatch&) = delete;
    ClubWatch& operator=(const ClubWatch&) = delete;

    // Watches exactly these folders from now on (the others are dropped); watching a folder
    // is not a change of it. Thread-safe; returns once the watches are set up, so what arrives
    // afterwards is told.
    void watch(const std::vector<ClubFolder>& folders);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace lapdex
