// Keeping the run index true: each stopwatch folder compared by name, size and modification time,
// and only the differences read.
#include <unordered_map>

#include "file_stamp.h"
#include "run_index.h"

namespace lapdex {
namespace {

// A folder time this close to now may still change within the same clock tick without looking
// different: such a folder is compared again at the next query.
constexpr std::int64_t kSettledNs = 1'000'000'000;

struct KnownRun {
    std::int64_t id = 0;
    std::int64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t listOrder = 0;
    bool readable = false;
    bool seen = false;
};

}  // namespace

bool RunIndex::refreshAll(const std::vector<RunStopwatch>& stopwatches) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ready_) return false;
    bool ok = true;
    {
        SqliteTransaction transaction(db_);
        ok = transaction.began() && db_.exec("UPDATE folders SET registered = 0");
        for (const RunStopwatch& stopwatch : stopwatches) {
            SqliteStatement& upsert = db_.cached(
                "INSERT INTO folders(name, serial, tabName, registered) VALUES(?, ?, ?, 1) ON "
                "CONFLICT(name)"
                " DO UPDATE SET serial = excluded.serial, tabName = excluded.tabName, registered = "
                "1");
            ok = ok && upsert.bind(1, stopwatch.folderName)
                           .bind(2, stopwatch.serialText)
                           .bind(3, stopwatch.tabName)
                           .run();
        }
        ok = ok && transaction.commit();
    }
    for (const RunStopwatch& stopwatch : stopwatches) {
        if (stopping_.load()) return false;
        ok = refreshFolderLocked(stopwatch.folderName) && ok;
    }
    // Folders of stopwatches removed since: their runs leave the index with them.
    std::vector<std::string> gone;
    SqliteStatement unregistered = db_.prepare("SELECT name FROM folders WHERE registered = 0");
    while (unregistered.step()) gone.push_back(unregistered.text(0));
    for (const std::string& name : gone) ok = forgetFolder(name) && ok;
    // The write-ahead log would otherwise keep a second copy of a first build until the next start.
    (void)db_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    return ok;
}

bool RunIndex::refreshFolder(const std::string& folderName) {
    std::lock_guard<std::mutex> lock(mutex_);
    return ready_ && refreshFolderLocked(folderName);
}

bool RunIndex::folderIsCurrent(const std::string& folderName, bool& known) {
    SqliteStatement& stored = db_.cached("SELECT mtimeNs FROM folders WHERE name = ?");
    stored.bind(1, folderName);
    known = stored.step();
    const std::int64_t storedNs = known ? stored.integer(0) : 0;
    stored.reset();
    const FileStamp stamp = stampOf(dataFolder_ + folderName);
    return known && storedNs != 0 && stamp.kind == StampKind::Folder && stamp.mtimeNs == storedNs;
}

bool RunIndex::forgetFolder(const std::string& folderName) {
    SqliteTransaction transaction(db_);
    if (!transaction.began()) return false;
    std::vector<std::int64_t> ids;
    SqliteStatement runs = db_.prepare("SELECT id FROM runs WHERE folder = ?");
    runs.bind(1, folderName);
    while (runs.step()) ids.push_back(runs.integer(0));
    for (std::int64_t id : ids) {
        if (!deleteRun(id)) return false;
    }
    SqliteStatement folder = db_.prepare("DELETE FROM folders WHERE name = ? AND registered = 0");
    return folder.bind(1, folderName).run() && transaction.commit();
}

bool RunIndex::refreshFolderLocked(const std::string& folderName) {
    bool known = false;
    if (folderIsCurrent(folderName, known)) return true;
    const std::string folder = dataFolder_ + folderName + "/";
    const FileStamp before = stampOf(dataFolder_ + folderName);
    const FolderListing listing = fs_.listFolder(folder);
    std::unordered_map<std::string, KnownRun> runs;
    SqliteStatement stored = db_.prepare(
        "SELECT name, id, size, mtimeNs, listOrder, readable FROM runs WHERE folder = ?");
    stored.bind(1, folderName);
    while (stored.step()) {
        runs[stored.text(0)] = {stored.integer(1), stored.integer(2),      stored.integer(3),
                                stored.integer(4), stored.integer(5) != 0, false};
    }
    SqliteTransaction transaction(db_);
    if (!transaction.began()) return false;
    std::int64_t order = 0;
    bool interrupted = false;
    for (const FolderEntry& entry : listing.entries) {
        if (stopping_.load()) {
            interrupted = true;
            break;
        }
        if (entry.kind != EntryKind::File) continue;
        const std::string dayKey = runDayKey(entry.name);
        if (dayKey.empty()) continue;
        ++order;
        auto found = runs.find(entry.name);
        if (found != runs.end()) {
            KnownRun& run = found->second;
            run.seen = true;
            const FileStamp stamp = stampOf(folder + entry.name);
            if (run.readable && stamp.size == run.size && stamp.mtimeNs == run.mtimeNs) {
                if (run.listOrder == order) continue;
                SqliteStatement& move = db_.cached("UPDATE runs SET listOrder = ? WHERE id = ?");
                if (!move.bind(1, order).bind(2, run.id).run()) return false;
                continue;
            }
            // Changed, or could not be read last time: read it again.
            if (!deleteRun(run.id)) return false;
        }
        if (!insertRun(folderName, entry.name, order, dayKey)) return false;
    }
    for (const auto& [name, run] : runs) {
        if (!interrupted && !run.seen && !deleteRun(run.id)) return false;
    }
    // The time is stored only when it is settled and the folder did not change while it was read.
    const FileStamp after = stampOf(dataFolder_ + folderName);
    const bool settled = !interrupted && listing.ok() && after.kind == StampKind::Folder &&
                         after.mtimeNs == before.mtimeNs &&
                         wallClockNs() - after.mtimeNs > kSettledNs;
    SqliteStatement& record = db_.cached(
        "INSERT INTO folders(name, mtimeNs) VALUES(?, ?) ON CONFLICT(name) DO UPDATE SET mtimeNs = "
        "excluded.mtimeNs");
    if (!record.bind(1, folderName).bind(2, settled ? after.mtimeNs : 0).run()) return false;
    // What was read is kept even when stopped; only a complete comparison counts as success.
    return transaction.commit() && !interrupted;
}

void RunIndex::folderWritten(const std::string& folderName) {
    const auto lock = windowLock();
    if (lock) (void)refreshFolderLocked(folderName);
}

void RunIndex::fileChanged(const std::string& path) {
    const auto lock = windowLock();
    if (!lock) return;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return;
    const std::string folderName = folderNameOf(path.substr(0, slash));
    if (folderName.empty()) return;
    // The folder's listing order may have changed too: compare the whole folder again at once.
    SqliteStatement& stale = db_.cached("UPDATE folders SET mtimeNs = 0 WHERE name = ?");
    (void)stale.bind(1, folderName).run();
    SqliteStatement& row = db_.cached("UPDATE runs SET readable = 0 WHERE folder = ? AND name = ?");
    (void)row.bind(1, folderName).bind(2, path.substr(slash + 1)).run();
    (void)refreshFolderLocked(folderName);
}

}  // namespace lapdex
