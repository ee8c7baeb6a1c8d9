// The run index: every run file of a data folder in one SQLite database in the cache folder, kept
// true by comparing each stopwatch folder by name, size and modification time. It is derived only:
// the run files stay the record, and any answer it cannot give is left to the folder scan.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "file_system.h"
#include "roster.h"
#include "run_catalogue.h"  // runDayKey
#include "run_source.h"
#include "run_summary.h"
#include "sqlite_database.h"

namespace lapdex {

// Thread-safe: every call takes the index's lock. Calls from the window use try-lock and answer
// nullopt while another thread refreshes, so the window is never held up by a long refresh.
class RunIndex : public RunSource {
  public:
    // `dataFolder` ends with '/'. `databasePath` lies outside the data folder.
    RunIndex(FileSystem& fs, std::string dataFolder, std::string databasePath);

    // Opens the database, or deletes and recreates it when it cannot be opened, fails its quick
    // check or has another layout. False when no database could be had: every query then answers
    // nullopt.
    bool open();
    bool ready() const;
    const std::string& databasePath() const { return databasePath_; }

    // Records the registered stopwatches and brings every one of their folders up to date (a folder
    // whose modification time is unchanged costs one stat); forgets folders no longer registered.
    bool refreshAll(const std::vector<RunStopwatch>& stopwatches);
    // Brings one folder of the data folder ("QTM-01") up to date.
    bool refreshFolder(const std::string& folderName);
    // Reads one run file again, or forgets it when it is gone (after a memo rewrite or a deletion).
    // Does nothing while another thread refreshes: the folder's new time tells the index later.
    void fileChanged(const std::string& path);
    // After a download wrote files into a folder: brings it up to date unless another thread
    // refreshes (then the folder's new time tells the index later). Never waits.
    void folderWritten(const std::string& folderName);

    // Window queries: nullopt when the index cannot answer now (not ready, busy, folder outside the
    // data folder or never indexed). The folder is brought up to date first when it changed.
    // Names of the runs of day `dayKey` in `folder` (full path), in the folder's listing order.
    std::optional<std::vector<std::string>> runsOfDay(const std::string& folder,
                                                      const std::string& dayKey);
    // One (day key, file name) per day of `folder` with runs, from `fromKey` to `toKey`: the day's
    // first run in the folder's listing order.
    std::optional<std::vector<std::pair<std::string, std::string>>> daysBetween(
        const std::string& folder, const std::string& fromKey, const std::string& toKey);
    // Runs matching `query`, by start time (then stopwatch and name). Readable runs only.
    std::optional<std::vector<RunRow>> search(const RunQuery& query);
    std::optional<std::vector<RunStopwatch>> stopwatches();
    // One entry per registered stopwatch, in slot order, with its contacts from History.csv.
    std::optional<Roster> roster();
    // One run with its laps.
    std::optional<RunDetails> runWithLaps(const std::string& folderName,
                                          const std::string& fileName);

    // The run source (blocking: for workers and k7x-tool, never the window thread). Each folder
    // asked about is brought up to date first, so the answer is the folder scan's.
    std::optional<std::vector<RunStopwatch>> registeredStopwatches() override;
    RunListing listRuns(const RunQuery& query) override;
    RunRead readRun(const std::string& folderName, const std::string& fileName) override;

    // Makes a refresh that runs on another thread stop soon, keeping what it has read so far;
    // later refreshes go on from there. For shutdown.
    void requestStop() { stopping_.store(true); }

    // The folder name of a full folder path inside the data folder, or "" for any other path.
    std::string folderNameOf(const std::string& folder) const;

  private:
    bool createSchema();
    bool searchLocked(const RunQuery& query, std::vector<RunRow>& rows);
    std::optional<std::vector<RunStopwatch>> stopwatchesLocked();
    bool refreshFolderLocked(const std::string& folderName);
    bool folderIsCurrent(const std::string& folderName, bool& known);
    bool forgetFolder(const std::string& folderName);
    bool insertRun(const std::string& folderName, const std::string& name, std::int64_t order,
                   const std::string& dayKey);
    bool deleteRun(std::int64_t id);
    bool reopenFresh();
    // The lock, unless another thread holds it or the index is not ready (then unlocked).
    std::unique_lock<std::mutex> windowLock();

    FileSystem& fs_;
    std::string dataFolder_;
    std::string databasePath_;
    mutable std::mutex mutex_;
    SqliteDatabase db_;
    bool ready_ = false;
    std::atomic<bool> stopping_{false};
};

}  // namespace lapdex
