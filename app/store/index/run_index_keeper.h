// Owns a data folder's run index and brings it up to date on a thread of its own, so start-up and
// the window never wait for a first build: until it is done the window scans folders as before.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "data_folder.h"
#include "run_index.h"
#include "stopwatch_registry.h"

namespace lapdex {

// The registry's slots in use as the index names them.
std::vector<RunStopwatch> indexedStopwatches(const StopwatchRegistry& registry);

// The index of `data` in the user's cache folder (see indexDatabasePath), or null when no cache
// folder can be named. The database is not opened yet. A club folder's index has a database of
// its own, apart from the one the same folder would have as a PC's own data folder.
std::unique_ptr<RunIndex> makeRunIndex(const DataFolder& data, const EnvironmentLookup& environment,
                                       FolderOwner owner = FolderOwner::Own);

class RunIndexKeeper {
  public:
    // `data` must outlive the keeper.
    RunIndexKeeper(const DataFolder& data, const EnvironmentLookup& environment,
                   FolderOwner owner = FolderOwner::Own);
    // Waits for a refresh that is still running.
    ~RunIndexKeeper();
    RunIndexKeeper(const RunIndexKeeper&) = delete;
    RunIndexKeeper& operator=(const RunIndexKeeper&) = delete;

    // The index, or null when there is none; valid for the keeper's life. Thread-safe.
    RunIndex* index() const { return index_.get(); }
    // Tells the index of these stopwatches at once (never waiting for it), then opens the index
    // (rebuilding it when damaged) if not yet done and compares their folders on the keeper's
    // thread. A refresh asked for while one runs follows it.
    void refreshInBackground(std::vector<RunStopwatch> stopwatches);
    // Compares one folder on the keeper's thread, after any refresh already asked for; never
    // waits. The index asks for it when the window found the folder not known to be unchanged.
    void compareInBackground(const std::string& folderName);
    // Called on the keeper's thread after a refresh that read in or dropped rows, so open windows
    // may ask again. Set before the first refresh.
    void whenChanged(std::function<void()> changed) { changed_ = std::move(changed); }
    // Waits until no refresh runs (tests, shutdown).
    void wait();

  private:
    void run();
    // Starts the thread unless it runs. Keeper lock held.
    void startLocked();

    std::unique_ptr<RunIndex> index_;
    std::mutex mutex_;
    std::thread thread_;
    bool running_ = false;
    bool opened_ = false;
    bool pending_ = false;
    std::set<std::string> folders_;  // to compare, once pending_ is done
    std::function<void()> changed_;
};

}  // namespace lapdex
