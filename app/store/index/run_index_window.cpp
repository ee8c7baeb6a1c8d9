// The run index's answers to the page's day list and calendar marks, which the window asks at
// every repaint: they never compare a folder on the caller's thread, and leave any folder not known
// to be unchanged to the folder scan and the refresh thread.
#include "run_index.h"

namespace lapdex {

// Like windowLock, but a registry change waiting for the index is not applied here: whoever told
// it refreshes the index, and until then the page scans.
std::unique_lock<std::mutex> RunIndex::dayQueryLock() {
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (!lock) return lock;
    bool pending = false;
    {
        std::lock_guard<std::mutex> guard(pendingMutex_);
        pending = !pending_.empty();
    }
    if (!ready_ || pending) lock.unlock();
    return lock;
}

bool RunIndex::anyUnsureLocked(const std::string& folderName) {
    SqliteStatement& unsure = db_.cached("SELECT 1 FROM runs WHERE folder = ? AND sure = 0");
    unsure.bind(1, folderName);
    const bool any = unsure.step();
    unsure.reset();
    return any;
}

// Known unchanged without a listing: nothing happened in a watched folder, or (where nothing can
// watch) its settled time is the one of its last comparison; and no run file of it was read
// before its times settled, as such a file may change again unseen.
bool RunIndex::knownUnchangedLocked(const std::string& folderName, std::string& wanted) {
    if (folderName.empty() || !isRegisteredLocked(folderName)) return false;
    noteOtherWritersLocked();
    watch_->drain();
    bool known = false;
    const bool unchanged =
        !anyUnsureLocked(folderName) && (notifications_ && unwatchable_.count(folderName) == 0
                                             ? watch_->isClean(folderName)
                                             : folderIsCurrent(folderName, known));
    if (unchanged) {
        asked_.erase(folderName);
        return true;
    }
    // Asked again only when the folder or its unsettled runs changed since, or have settled: a
    // comparison in the same state would find what the last one found.
    const AskedState state = askedStateLocked(folderName);
    const auto found = asked_.find(folderName);
    const bool askedAlready = found != asked_.end() && found->second.folder.sameAs(state.folder) &&
                              found->second.unsure.sameAs(state.unsure) &&
                              (found->second.settled || !state.settled);
    if (!askedAlready) {
        asked_[folderName] = state;
        wanted = folderName;
    }
    return false;
}

RunIndex::AskedState RunIndex::askedStateLocked(const std::string& folderName) {
    const std::int64_t now = clock_();
    AskedState state;
    state.folder = stampOf(dataFolder_ + folderName);
    state.folder.size = 0;
    state.settled = settledAt(state.folder, now);
    SqliteStatement& unsure =
        db_.cached("SELECT mtimeNs, ctimeNs FROM runs WHERE folder = ? AND sure = 0");
    unsure.bind(1, folderName);
    while (unsure.step()) {
        FileStamp run;
        run.mtimeNs = unsure.integer(0);
        run.ctimeNs = unsure.integer(1);
        state.unsure.size += 1;
        state.unsure.mtimeNs = std::max(state.unsure.mtimeNs, run.mtimeNs);
        state.unsure.ctimeNs = std::max(state.unsure.ctimeNs, run.ctimeNs);
        state.settled = state.settled && settledAt(run, now);
    }
    unsure.reset();
    return state;
}

void RunIndex::askRefresh(const std::string& folderName) const {
    if (!folderName.empty() && refreshWanted_) refreshWanted_(folderName);
}

// `query` runs under the lock for a folder known to be unchanged; the refresh hook is called after
// the lock is given up.
template <class Answer, class Query>
std::optional<Answer> RunIndex::answerOfDays(const std::string& folder, Query query) {
    std::string wanted;
    std::optional<Answer> answer;
    {
        const auto lock = dayQueryLock();
        if (!lock) return std::nullopt;
        const std::string name = folderNameOf(folder);
        if (knownUnchangedLocked(name, wanted)) answer = query(name);
    }
    askRefresh(wanted);
    return answer;
}

std::optional<std::vector<std::string>> RunIndex::runsOfDay(const std::string& folder,
                                                            const std::string& dayKey) {
    return answerOfDays<std::vector<std::string>>(
        folder, [&](const std::string& name) -> std::optional<std::vector<std::string>> {
            SqliteStatement& runs = db_.cached(
                "SELECT name FROM runs WHERE folder = ? AND dayKey = ? ORDER BY listOrder");
            runs.bind(1, name).bind(2, dayKey);
            std::vector<std::string> names;
            while (runs.step()) names.push_back(runs.text(0));
            if (runs.failed()) return std::nullopt;
            return names;
        });
}

std::optional<std::vector<std::pair<std::string, std::string>>> RunIndex::daysBetween(
    const std::string& folder, const std::string& fromKey, const std::string& toKey) {
    using Days = std::vector<std::pair<std::string, std::string>>;
    return answerOfDays<Days>(folder, [&](const std::string& name) -> std::optional<Days> {
        SqliteStatement& runs = db_.cached(
            "SELECT dayKey, name, min(listOrder) FROM runs WHERE folder = ? AND dayKey >= ?"
            " AND dayKey <= ? GROUP BY dayKey");
        runs.bind(1, name).bind(2, fromKey).bind(3, toKey);
        Days found;
        while (runs.step()) found.emplace_back(runs.text(0), runs.text(1));
        if (runs.failed()) return std::nullopt;
        return found;
    });
}

bool RunIndex::compareFolder(const std::string& folderName) {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool current = ready_ && applyRegistryLocked() && isRegisteredLocked(folderName) &&
                         bringUpToDateLocked(folderName, Need::Exact) == FolderState::Current;
    // What this comparison left (runs read before they settled, say) is no reason to ask again.
    if (asked_.count(folderName) != 0) asked_[folderName] = askedStateLocked(folderName);
    return current;
}

}  // namespace lapdex
