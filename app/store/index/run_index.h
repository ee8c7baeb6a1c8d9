// The run index: every run file of a data folder in one SQLite database in the cache folder, kept
// true by listing each stopwatch folder and comparing each run file's inode, size, modification
// and change time (spared where inotify saw nothing happen). It is derived only: the run files
// stay the record, and any answer it cannot give is left to the folder scan.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "club_files.h"
#include "file_stamp.h"
#include "file_system.h"
#include "folder_watch.h"
#include "roster.h"
#include "run_catalogue.h"  // runDayKey
#include "run_source.h"
#include "run_summary.h"
#include "sqlite_database.h"

namespace lapdex {

// Thread-safe: every call takes the index's lock. Calls from the window use try-lock and answer
// nullopt while another thread refreshes, so the window is never held up by a long refresh.
// runsOfDay and daysBetween never compare a folder: one not known to be unchanged is answered
// nullopt (the page then scans it) and handed to the refresh hook. search and roster still bring
// every folder asked about up to date on the caller's thread where it changed or is not watched
// (a listing, one lstat() per run file, and a read of each changed file: tens of milliseconds for
// 20,000 unchanged runs, seconds when thousands changed); runWithLaps and fileChanged one run file
// or folder likewise: callers keep them off the window thread.
class RunIndex : public RunSource {
  public:
    // `databasePath` lies outside the data folder. The data folder is known by its canonical path
    // (every link and trailing '/' resolved), so Lapdex and k7x-tool agree on it however each
    // was given it; folderNameOf() accepts both spellings.
    // A club folder's index (FolderOwner::Club) takes no sync engine's file for a run, as its
    // folder scan does not.
    RunIndex(FileSystem& fs, std::string dataFolder, std::string databasePath,
             FolderOwner owner = FolderOwner::Own);

    // Opens the database. One of another layout or data folder is emptied and laid out anew in one
    // transaction; a damaged one is replaced by a fresh file renamed into place, unless another
    // program has it open. Every page is checked only after an unclean close (a log left behind)
    // or when the layout cannot be read: a few milliseconds otherwise. Never deletes a database
    // another program may use. False when no database could be had: every query then answers
    // nullopt (or not answered).
    bool open();
    // Never waits: the window asks it while a refresh holds the index.
    bool ready() const;
    const std::string& databasePath() const { return databasePath_; }

    // The registry as it is now: every registered stopwatch. Never waits for the index (the window
    // calls it with the worker lock held): the next call that holds the index takes it over before
    // it answers, so every later answer has it. Stopwatches left out leave with their runs.
    void registryChanged(std::vector<RunStopwatch> stopwatches);
    // One stopwatch registered or renamed: its folder, serial and tab name. Never waits, likewise.
    void stopwatchRecorded(RunStopwatch stopwatch);

    // Records the registered stopwatches and brings every one of their folders up to date (one
    // listing per folder and one lstat() per run file; only changed files are read); forgets
    // folders no longer registered. False when the index failed or was stopped; a folder that
    // cannot be listed is no failure (it is marked stale and reported by the answers).
    bool refreshAll(const std::vector<RunStopwatch>& stopwatches);
    // The same for the registry last told (registryChanged, stopwatchRecorded). ChangedFolders
    // lists only folders not known to be unchanged; in a club folder's index that spares the
    // folders whose settled times stand, while EveryFile also lists the folders answered since
    // the opening by their times alone.
    enum class Scope { EveryFile, ChangedFolders };
    bool refreshRegistered(Scope scope = Scope::EveryFile);
    // Brings one folder of the data folder ("QTM-01") up to date.
    bool refreshFolder(const std::string& folderName);
    // Reads one run file again, or forgets it when it is gone (after a memo rewrite or a deletion).
    // Does nothing while another thread refreshes: the folder's new time tells the index later.
    void fileChanged(const std::string& path);
    // After a download wrote files into a folder: brings it up to date. Waits for the index (a
    // worker's call, never the window's).
    void folderWritten(const std::string& folderName);
    // Brings one registered folder up to date as exactly as the run source does, and watches it
    // from then on. Waits for the index: the refresh thread's call. False when the folder is not
    // registered, cannot be listed, or the index failed.
    bool compareFolder(const std::string& folderName);

    // Who compares a folder the window found not known to be unchanged: called with its folder
    // name (on the window's thread, never with the index's lock held) at most once for each state
    // of the folder, so a folder whose times never settle is not compared at every repaint. Must
    // not wait for the index. Set before the first query; unset, the folder waits for the next
    // comparison another call makes.
    void onRefreshWanted(std::function<void(const std::string& folderName)> wanted) {
        refreshWanted_ = std::move(wanted);
    }
    // How many folder comparisons (a listing and one lstat() per run file) the index has made
    // since it was made, on any thread. For tests that show the window made none.
    std::uint64_t comparisons() const { return comparisons_.load(); }
    // How many rows were read in or dropped since the index was made: a refresh that moved it
    // changed what some answer gives.
    std::uint64_t rowChanges() const { return rowChanges_.load(); }

    // Window queries: nullopt when the index cannot answer now (not ready, busy, folder outside the
    // data folder, not registered, or it cannot be listed: then the folder scan says so). Exact
    // where notifications are used (a local file system); elsewhere they trust a folder whose
    // settled times are unchanged, so a run file rewritten in place with its size and times kept
    // is seen by the run source below (and runWithLaps) only.
    // runsOfDay and daysBetween answer only for a folder known to be unchanged since its last
    // comparison (watched and nothing happened, or its settled time unchanged where nothing
    // watches, and no run file read before it settled); any other is left to the scan and handed
    // to the refresh hook. search and roster compare a changed folder first.
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
    // asked about is listed and each of its run files compared first (unless notifications saw
    // nothing happen in it), so the answer is the folder scan's: a folder that cannot be listed
    // is a problem and its runs are left out; an unreadable or damaged run file is a problem.
    // One difference remains: a lock another program holds on a run file is seen by readRun only
    // when the file changed.
    std::optional<std::vector<RunStopwatch>> registeredStopwatches() override;
    RunListing listRuns(const RunQuery& query) override;
    RunRead readRun(const std::string& folderName, const std::string& fileName) override;

    // The wall clock (ns since the epoch) that file times are compared with; tests move it to
    // make files look older or newer than they are. Call before the first query.
    void useClock(std::function<std::int64_t()> nowNs) { clock_ = std::move(nowNs); }

    // Whether folder notifications (inotify, on local file systems) may spare comparisons of
    // folders nothing happened in. Off: every folder is compared at every call, as on file systems
    // that notifications do not cover. Tests turn it off to reach the comparisons themselves.
    enum class Notifications { Used, Ignored };
    void useNotifications(Notifications use);

    // Makes a refresh that runs on another thread stop soon, keeping what it has read so far;
    // later refreshes go on from there. For shutdown.
    void requestStop() { stopping_.store(true); }

    // The folder name of a full folder path inside the data folder, or "" for any other path.
    std::string folderNameOf(const std::string& folder) const;

  private:
    // A change of the registry waiting for the index: all stopwatches, or one.
    struct RegistryChange {
        bool whole = false;
        std::vector<RunStopwatch> stopwatches;
    };

    // Lays the tables out; Replace first drops whatever the file holds, in the same transaction.
    bool createSchema(Existing existing);
    // Our layout, made for this data folder.
    bool isOurs();
    bool dropEverything();
    bool replaceDamaged();
    // Takes over the registry changes told since the last call. Index lock held.
    bool applyRegistryLocked();
    bool recordStopwatchesLocked(const std::vector<RegistryChange>& changes);
    bool searchLocked(const RunQuery& query, std::vector<RunRow>& rows);
    std::optional<std::vector<RunStopwatch>> stopwatchesLocked();
    // How a folder is compared: the window trusts a settled folder stamp that has not changed
    // (names come and go only with a new folder time); the run source lists the folder and
    // compares every run file's stamp, which also sees files rewritten in place.
    enum class FolderCheck { ByFolderTime, ByListing };
    enum class FolderState { Current, Stale, Failed };  // Stale: cannot be listed, rows kept
    // What an answer needs of a folder: the run source an exact comparison; the window a folder
    // time that has not changed, where no notification can tell more. A club folder is written
    // only by renames (a sync engine's, or Lapdex's on its PC), each of which moves the folder's
    // time: its run source answers by that time too, and the keeper's Listed refresh lists
    // every file behind it.
    enum class Need { Window, Exact, Listed };
    // Brings a folder up to date as `need` asks, unless the folder watch saw nothing happen in it
    // since its last comparison.
    FolderState bringUpToDateLocked(const std::string& folderName, Need need);
    // The same once other programs' commits and the notifications were taken.
    FolderState bringNotedUpToDateLocked(const std::string& folderName, Need need);
    // Another program's commit to the shared file may have changed any folder's rows.
    void noteOtherWritersLocked();
    struct KnownRun;
    enum class RunCheck { Current, Gone, Failed };
    FolderState refreshFolderLocked(const std::string& folderName, FolderCheck check);
    bool compareListing(const std::string& folderName, const FolderListing& listing,
                        std::unordered_map<std::string, KnownRun>& runs, bool& interrupted);
    bool markFolderLocked(const std::string& folderName, const FileStamp& stamp, bool sure,
                          const std::string& problem);
    bool folderIsCurrent(const std::string& folderName, bool& known);
    bool isRegisteredLocked(const std::string& folderName);
    // Whether the window may answer for `folderName` without comparing it; when not, names it in
    // `wanted` unless it was handed to the refresh hook in the same state already.
    bool knownUnchangedLocked(const std::string& folderName, std::string& wanted);
    bool anyUnsureLocked(const std::string& folderName);
    // The lock for runsOfDay and daysBetween: like windowLock, but a registry change waiting for
    // the index leaves it unlocked instead of being applied on the window's thread.
    std::unique_lock<std::mutex> dayQueryLock();
    void askRefresh(const std::string& folderName) const;
    struct AskedState;
    AskedState askedStateLocked(const std::string& folderName);
    template <class Answer, class Query>
    std::optional<Answer> answerOfDays(const std::string& folder, Query query);
    std::optional<std::vector<RunStopwatch>> freshenLocked(
        const std::vector<std::string>& folderNames, Need need, std::vector<RunProblem>* stale);
    std::string folderProblemLocked(const std::string& folderName);
    RunRead readRunLocked(const std::string& folderName, const std::string& fileName);
    // Registered, with the problem that keeps its folder from being listed ("" when none).
    bool registeredFolderLocked(const std::string& folderName, std::string& problem);
    // The stored run into `read`; with `stamp` (the file's, taken just before) only when the row
    // is still the file's. False when there is no such row (or it is not the file's).
    bool storedRunLocked(const std::string& folderName, const std::string& fileName,
                         const FileStamp* stamp, RunRead& read);
    RunCheck checkRunLocked(const std::string& folderName, const std::string& fileName,
                            const std::string& dayKey, const FileStamp& stamp);
    bool forgetFolder(const std::string& folderName);
    // Reads one run file into a new row; `stamp` is its lstat() taken just before.
    bool insertRun(const std::string& folderName, const std::string& name, std::int64_t order,
                   const std::string& dayKey, const FileStamp& stamp);
    bool deleteRun(std::int64_t id);
    // The lock, unless another thread holds it or the index is not ready (then unlocked).
    std::unique_lock<std::mutex> windowLock();
    // The lock for an answer someone waits for. While any index of the program gives such an
    // answer, every long refresh waits between two folders: on a PC with few cores, the keepers
    // of a club's folders would otherwise hold up the first screen of All runs for their whole
    // first comparison.
    class AnswerLock {
      public:
        explicit AnswerLock(std::mutex& mutex);
        ~AnswerLock();
        AnswerLock(const AnswerLock&) = delete;
        AnswerLock& operator=(const AnswerLock&) = delete;
        static bool anyGiven();

      private:
        std::unique_lock<std::mutex> lock_;
    };

    FileSystem& fs_;
    std::string dataFolder_;   // canonical, ending in '/': the one spelling every program stores
    std::string givenFolder_;  // as the caller spelled it, for folderNameOf()
    std::string databasePath_;
    FolderOwner owner_;
    mutable std::mutex mutex_;
    SqliteDatabase db_;
    std::atomic<bool> ready_{false};  // written under mutex_
    std::atomic<bool> stopping_{false};
    std::function<std::int64_t()> clock_ = wallClockNs;
    std::unique_ptr<FolderWatch> watch_;
    bool notifications_ = true;
    // Folders inotify cannot watch (network file systems): the window trusts their folder times.
    std::unordered_set<std::string> unwatchable_;
    // The state in which a folder was last handed to the refresh hook: its folder stamp, the
    // newest times of its run files read before they settled, and whether all were settled.
    struct AskedState {
        FileStamp folder;
        FileStamp unsure;
        bool settled = false;
    };
    std::unordered_map<std::string, AskedState> asked_;
    std::function<void(const std::string&)> refreshWanted_;
    std::atomic<std::uint64_t> comparisons_{0};
    std::atomic<std::uint64_t> rowChanges_{0};
    // Club folders answered by their folder times alone since the opening: a Listed refresh still
    // compares each of their files.
    std::unordered_set<std::string> listingOwed_;
    std::string dataVersion_;
    std::mutex pendingMutex_;  // guards pending_ only; never held while waiting for mutex_
    std::vector<RegistryChange> pending_;
};

}  // namespace lapdex
