// Keeping the run index true: each stopwatch folder listed, each run file compared by inode, size,
// modification and change time, and only the differences read. A folder that cannot be listed
// keeps its rows, marked stale, and is reported instead of answered.
#include <unordered_map>

#include "file_stamp.h"
#include "run_index.h"

namespace lapdex {

struct RunIndex::KnownRun {
    std::int64_t id = 0;
    FileStamp stamp;
    bool sure = false;
    std::int64_t listOrder = 0;
    bool seen = false;
};

namespace {

FileStamp storedStamp(const SqliteStatement& row, int first, StampKind kind) {
    FileStamp stamp;
    stamp.kind = kind;
    stamp.inode = static_cast<std::uint64_t>(row.integer(first));
    stamp.size = row.integer(first + 1);
    stamp.mtimeNs = row.integer(first + 2);
    stamp.ctimeNs = row.integer(first + 3);
    return stamp;
}

// A stored stamp still shows every change when it was sure, is the file's stamp now, and the
// clock has not come back near its times (a clock set back could repeat them).
bool unchanged(const FileStamp& stored, bool sure, const FileStamp& now, std::int64_t nowNs) {
    return sure && stored.sameAs(now) && settledAt(stored, nowNs);
}

}  // namespace

bool RunIndex::refreshFolder(const std::string& folderName) {
    std::lock_guard<std::mutex> lock(mutex_);
    return ready_ && applyRegistryLocked() &&
           refreshFolderLocked(folderName, FolderCheck::ByListing) == FolderState::Current;
}

bool RunIndex::folderIsCurrent(const std::string& folderName, bool& known) {
    SqliteStatement& stored = db_.cached(
        "SELECT inode, mtimeNs, ctimeNs, sure, problem IS NULL FROM folders WHERE name = ?");
    stored.bind(1, folderName);
    known = stored.step();
    FileStamp stamp;
    bool sure = false;
    if (known) {
        stamp.kind = StampKind::Folder;
        stamp.inode = static_cast<std::uint64_t>(stored.integer(0));
        stamp.mtimeNs = stored.integer(1);
        stamp.ctimeNs = stored.integer(2);
        sure = stored.integer(3) != 0 && stored.integer(4) != 0;
    }
    stored.reset();
    FileStamp now = stampOf(dataFolder_ + folderName);
    now.size = 0;  // a folder's size says nothing its times do not
    return known && unchanged(stamp, sure, now, clock_());
}

bool RunIndex::forgetFolder(const std::string& folderName) {
    watch_->markDirty(folderName);
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

bool RunIndex::markFolderLocked(const std::string& folderName, const FileStamp& stamp, bool sure,
                                const std::string& problem) {
    SqliteStatement& record = db_.cached(
        "INSERT INTO folders(name, inode, mtimeNs, ctimeNs, sure, problem) VALUES(?, ?, ?, ?, ?, ?)"
        " ON CONFLICT(name) DO UPDATE SET inode = excluded.inode, mtimeNs = excluded.mtimeNs,"
        " ctimeNs = excluded.ctimeNs, sure = excluded.sure, problem = excluded.problem");
    record.bind(1, folderName).bind(2, static_cast<std::int64_t>(stamp.inode));
    record.bind(3, stamp.mtimeNs).bind(4, stamp.ctimeNs).bind(5, sure ? 1 : 0);
    if (problem.empty())
        record.bindNull(6);
    else
        record.bind(6, problem);
    return record.run();
}

void RunIndex::useNotifications(Notifications use) {
    std::lock_guard<std::mutex> lock(mutex_);
    notifications_ = use == Notifications::Used;
    watch_->markAllDirty();
    unwatchable_.clear();
}

void RunIndex::noteOtherWritersLocked() {
    const std::string version = db_.queryText("PRAGMA data_version");
    if (version == dataVersion_) return;
    dataVersion_ = version;
    watch_->markAllDirty();
}

RunIndex::FolderState RunIndex::bringUpToDateLocked(const std::string& folderName, Need need) {
    noteOtherWritersLocked();
    watch_->drain();
    return bringNotedUpToDateLocked(folderName, need);
}

RunIndex::FolderState RunIndex::bringNotedUpToDateLocked(const std::string& folderName, Need need) {
    // A file that could not be read, or was read too soon after a change, tells no notification
    // when it can be read: such a folder is compared whatever the watch says.
    SqliteStatement& unsure = db_.cached("SELECT 1 FROM runs WHERE folder = ? AND sure = 0");
    unsure.bind(1, folderName);
    const bool anyUnsure = unsure.step();
    unsure.reset();
    const bool owed = need == Need::Listed && listingOwed_.count(folderName) != 0;
    if (notifications_ && !anyUnsure && !owed && watch_->isClean(folderName))
        return FolderState::Current;
    // Watched from before the listing, every later change is noted: one exact comparison then
    // holds until the next notification.
    const bool watched = notifications_ && watch_->startClean(folderName);
    if (watched)
        unwatchable_.erase(folderName);
    else if (notifications_)
        unwatchable_.insert(folderName);
    if (owner_ == FolderOwner::Club && need != Need::Listed && !anyUnsure) {
        bool known = false;
        if (folderIsCurrent(folderName, known)) {
            listingOwed_.insert(folderName);
            watch_->drain();
            return FolderState::Current;
        }
    }
    listingOwed_.erase(folderName);
    const FolderCheck check =
        watched || need != Need::Window ? FolderCheck::ByListing : FolderCheck::ByFolderTime;
    const FolderState state = refreshFolderLocked(folderName, check);
    watch_->drain();
    if (state != FolderState::Current) watch_->markDirty(folderName);
    return state;
}

RunIndex::FolderState RunIndex::refreshFolderLocked(const std::string& folderName,
                                                    FolderCheck check) {
    bool known = false;
    if (check == FolderCheck::ByFolderTime && folderIsCurrent(folderName, known))
        return FolderState::Current;
    comparisons_.fetch_add(1);
    // The comparison and its writes are one transaction, so another program updating the same
    // index in between cannot make it act on rows that are no longer there.
    SqliteTransaction transaction(db_);
    if (!transaction.began()) return FolderState::Failed;
    const std::string folder = dataFolder_ + folderName + "/";
    FileStamp before = stampOf(dataFolder_ + folderName);
    const FolderListing listing = fs_.listFolder(folder);
    // A file in the folder's place is reported as NotFound too (ENOTDIR), but is no missing
    // folder: like one that cannot be listed, it is named, not taken for a folder with no runs.
    if (!listing.ok() && (listing.status.error != FsError::NotFound ||
                          fs_.kindOf(dataFolder_ + folderName) != EntryKind::None)) {
        // What could not be listed is not known to be gone: its rows stay, marked stale.
        const bool marked =
            markFolderLocked(folderName, FileStamp{}, false, fsStatusText(listing.status));
        return marked && transaction.commit() ? FolderState::Stale : FolderState::Failed;
    }
    std::unordered_map<std::string, KnownRun> runs;
    SqliteStatement stored = db_.prepare(
        "SELECT name, id, inode, size, mtimeNs, ctimeNs, sure, listOrder FROM runs WHERE folder = "
        "?");
    stored.bind(1, folderName);
    while (stored.step()) {
        runs[stored.text(0)] = {stored.integer(1), storedStamp(stored, 2, StampKind::File),
                                stored.integer(6) != 0, stored.integer(7), false};
    }
    if (stored.failed()) return FolderState::Failed;
    bool interrupted = false;
    if (!compareListing(folderName, listing, runs, interrupted)) return FolderState::Failed;
    for (const auto& [name, run] : runs) {
        if (!interrupted && !run.seen && !deleteRun(run.id)) return FolderState::Failed;
    }
    // The folder's stamp is trusted for the window's quick check only when the folder stood still
    // while it was listed and its times are settled.
    FileStamp after = stampOf(dataFolder_ + folderName);
    before.size = after.size = 0;
    const bool sure = !interrupted && listing.ok() && after.kind == StampKind::Folder &&
                      after.sameAs(before) && settledAt(after, clock_());
    if (!markFolderLocked(folderName, after, sure, {})) return FolderState::Failed;
    // What was read is kept even when stopped; only a complete comparison counts as success.
    if (!transaction.commit()) return FolderState::Failed;
    return interrupted ? FolderState::Failed : FolderState::Current;
}

bool RunIndex::compareListing(const std::string& folderName, const FolderListing& listing,
                              std::unordered_map<std::string, KnownRun>& runs, bool& interrupted) {
    const std::string folder = dataFolder_ + folderName + "/";
    std::int64_t order = 0;
    for (const FolderEntry& entry : listing.entries) {
        if (stopping_.load()) {
            interrupted = true;
            return true;
        }
        if (entry.kind != EntryKind::File) continue;
        const std::string dayKey = runDayKeyIn(entry.name, owner_);
        if (dayKey.empty()) continue;
        ++order;
        const FileStamp stamp = stampOf(folder + entry.name);
        auto found = runs.find(entry.name);
        if (found != runs.end()) {
            KnownRun& run = found->second;
            run.seen = true;
            if (unchanged(run.stamp, run.sure, stamp, clock_())) {
                if (run.listOrder == order) continue;
                SqliteStatement& move = db_.cached("UPDATE runs SET listOrder = ? WHERE id = ?");
                if (!move.bind(1, order).bind(2, run.id).run()) return false;
                continue;
            }
            // Changed, not yet settled, or could not be read last time: read it again.
            if (!deleteRun(run.id)) return false;
        }
        if (!insertRun(folderName, entry.name, order, dayKey, stamp)) return false;
    }
    return true;
}

void RunIndex::folderWritten(const std::string& folderName) {
    const AnswerLock lock(mutex_);
    if (ready_ && applyRegistryLocked()) (void)bringUpToDateLocked(folderName, Need::Exact);
}

void RunIndex::fileChanged(const std::string& path) {
    const auto lock = windowLock();
    if (!lock) return;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return;
    const std::string folderName = folderNameOf(path.substr(0, slash));
    if (folderName.empty()) return;
    // The folder's listing order may have changed too: compare the whole folder again at once,
    // watched from before, so the window's day answers may trust it afterwards.
    SqliteStatement& row = db_.cached("UPDATE runs SET sure = 0 WHERE folder = ? AND name = ?");
    (void)row.bind(1, folderName).bind(2, path.substr(slash + 1)).run();
    (void)bringUpToDateLocked(folderName, Need::Exact);
}

}  // namespace lapdex
