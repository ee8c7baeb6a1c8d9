// The run index's stopwatches: registry changes told by the window and the worker reach every
// later answer, and the runs of a removed stopwatch leave with it.
#include <chrono>
#include <thread>

#include "run_index.h"

namespace lapdex {

void RunIndex::registryChanged(std::vector<RunStopwatch> stopwatches) {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    // A whole registry replaces every change told before it.
    pending_.clear();
    pending_.push_back({true, std::move(stopwatches)});
}

void RunIndex::stopwatchRecorded(RunStopwatch stopwatch) {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    pending_.push_back({false, {std::move(stopwatch)}});
}

bool RunIndex::applyRegistryLocked() {
    std::vector<RegistryChange> changes;
    {
        std::lock_guard<std::mutex> lock(pendingMutex_);
        changes.swap(pending_);
    }
    if (changes.empty()) return true;
    if (!recordStopwatchesLocked(changes)) {
        // Kept for the next call, ahead of anything told meanwhile.
        std::lock_guard<std::mutex> lock(pendingMutex_);
        const bool replaced = !pending_.empty() && pending_.front().whole;
        if (!replaced) pending_.insert(pending_.begin(), changes.begin(), changes.end());
        return false;
    }
    // Folders of stopwatches removed since: their runs leave the index with them.
    std::vector<std::string> gone;
    SqliteStatement unregistered = db_.prepare("SELECT name FROM folders WHERE registered = 0");
    while (unregistered.step()) gone.push_back(unregistered.text(0));
    bool ok = !unregistered.failed();
    for (const std::string& name : gone) ok = forgetFolder(name) && ok;
    return ok;
}

bool RunIndex::recordStopwatchesLocked(const std::vector<RegistryChange>& changes) {
    SqliteTransaction transaction(db_);
    bool ok = transaction.began();
    for (const RegistryChange& change : changes) {
        if (change.whole) ok = ok && db_.exec("UPDATE folders SET registered = 0");
        for (const RunStopwatch& stopwatch : change.stopwatches) {
            SqliteStatement& upsert = db_.cached(
                "INSERT INTO folders(name, serial, tabName, registered) VALUES(?, ?, ?, 1)"
                " ON CONFLICT(name) DO UPDATE SET serial = excluded.serial,"
                " tabName = excluded.tabName, registered = 1");
            ok = ok && upsert.bind(1, stopwatch.folderName)
                           .bind(2, stopwatch.serialText)
                           .bind(3, stopwatch.tabName)
                           .run();
        }
    }
    return ok && transaction.commit();
}

bool RunIndex::refreshAll(const std::vector<RunStopwatch>& stopwatches) {
    registryChanged(stopwatches);
    return refreshRegistered();
}

bool RunIndex::refreshRegistered(Scope scope) {
    std::vector<RunStopwatch> stopwatches;
    bool ok = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!ready_ || !applyRegistryLocked()) return false;
        std::optional<std::vector<RunStopwatch>> registered = stopwatchesLocked();
        if (!registered) return false;
        stopwatches = std::move(*registered);
    }
    // The lock is taken folder by folder, and not while an answer is given (a mutex lets the
    // thread that just unlocked it take it again first), so a query or a download waiting to
    // tell of its files gets in between the folders of a long first build.
    for (const RunStopwatch& stopwatch : stopwatches) {
        if (stopping_.load()) return false;
        while (AnswerLock::anyGiven()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::lock_guard<std::mutex> lock(mutex_);
        if (!applyRegistryLocked()) return false;
        // A folder that cannot be listed is reported by the answers, not a failure of the index.
        const Need need = scope == Scope::EveryFile ? Need::Listed : Need::Exact;
        ok = bringUpToDateLocked(stopwatch.folderName, need) != FolderState::Failed && ok;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    // The write-ahead log would otherwise keep a second copy of a first build until the next start.
    (void)db_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    return ok;
}

}  // namespace lapdex
