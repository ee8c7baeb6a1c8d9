// The run index as a run source: blocking answers for workers and k7x-tool, each folder asked
// about listed and each of its run files compared first, so the answer is the folder scan's.
#include <algorithm>
#include <atomic>
#include <cerrno>

#include "run_index.h"

namespace lapdex {
namespace {

RunDetails runOf(const SqliteStatement& row, int first) {
    RunDetails run;
    run.start = row.text(first);
    run.timeFormat = row.integer(first + 1) == 0 ? TimeFormat::Clock : TimeFormat::DecimalMinute;
    run.lapCount = static_cast<int>(row.integer(first + 2));
    run.totalCs = row.integer(first + 3);
    run.bestLapCs = row.integer(first + 4);
    run.bestLapNumber = static_cast<int>(row.integer(first + 5));
    run.averageLapCs = row.integer(first + 6);
    run.slowestLapCs = row.integer(first + 7);
    run.slowestLapNumber = static_cast<int>(row.integer(first + 8));
    run.memo = row.text(first + 9);
    run.laps = lapsFromText(row.text(first + 10));
    return run;
}

// Answers being given (or waited for) by any index of the program.
std::atomic<int> answersGiven{0};

}  // namespace

RunIndex::AnswerLock::AnswerLock(std::mutex& mutex) {
    answersGiven.fetch_add(1);
    lock_ = std::unique_lock<std::mutex>(mutex);
}

RunIndex::AnswerLock::~AnswerLock() {
    lock_.unlock();
    answersGiven.fetch_sub(1);
}

bool RunIndex::AnswerLock::anyGiven() {
    return answersGiven.load() > 0;
}

std::optional<std::vector<RunStopwatch>> RunIndex::registeredStopwatches() {
    const AnswerLock lock(mutex_);
    if (!ready_ || !applyRegistryLocked()) return std::nullopt;
    return stopwatchesLocked();
}

RunListing RunIndex::listRuns(const RunQuery& query) {
    const AnswerLock lock(mutex_);
    RunListing listing;
    if (!ready_ || !applyRegistryLocked()) return listing;
    const std::optional<std::vector<RunStopwatch>> asked =
        freshenLocked(query.folderNames, Need::Exact, &listing.problems);
    if (!asked) return RunListing{};
    RunQuery more = query;
    if (query.limit > 0) more.limit = query.limit + 1;
    if (!searchLocked(more, listing.rows)) return RunListing{};
    if (query.limit > 0 && listing.rows.size() > static_cast<std::size_t>(query.limit)) {
        listing.rows.resize(static_cast<std::size_t>(query.limit));
        listing.truncated = true;
    }
    // Run files that could not be read or have no start may match the query: each is named.
    SqliteStatement bad = db_.prepare(
        "SELECT r.folder, r.name, r.problem FROM runs r JOIN folders f ON f.name = r.folder"
        " WHERE r.readable = 0 AND f.registered = 1 AND f.problem IS NULL");
    while (bad.step()) {
        const std::string folder = bad.text(0);
        const bool wanted = std::any_of(asked->begin(), asked->end(), [&](const RunStopwatch& s) {
            return s.folderName == folder;
        });
        if (wanted) listing.problems.push_back({folder + "/" + bad.text(1), bad.text(2), {}});
    }
    if (bad.failed()) return RunListing{};
    std::sort(listing.problems.begin(), listing.problems.end(),
              [](const RunProblem& a, const RunProblem& b) { return a.path < b.path; });
    listing.answered = true;
    return listing;
}

RunRead RunIndex::readRun(const std::string& folderName, const std::string& fileName) {
    const AnswerLock lock(mutex_);
    if (!ready_ || !applyRegistryLocked()) return {};
    return readRunLocked(folderName, fileName);
}

std::optional<RunDetails> RunIndex::runWithLaps(const std::string& folderName,
                                                const std::string& fileName) {
    const auto lock = windowLock();
    if (!lock) return std::nullopt;
    RunRead read = readRunLocked(folderName, fileName);
    if (!read.ok()) return std::nullopt;
    return std::move(read.run);
}

// One lstat() tells whether the stored row is still the file's; only a changed file is read.
RunRead RunIndex::readRunLocked(const std::string& folderName, const std::string& fileName) {
    RunRead read;
    const std::string dayKey = runDayKeyIn(fileName, owner_);
    std::string folderProblem;
    if (!registeredFolderLocked(folderName, folderProblem) || dayKey.empty() ||
        fileName.find('/') != std::string::npos) {
        read.outcome = RunRead::Outcome::Gone;
        read.reason = "no such run";
        return read;
    }
    // A folder that cannot be listed, or a file that cannot even be looked at, is unreadable, not
    // gone: its runs are still there for whoever can read them.
    const FileStamp stamp = stampOf(dataFolder_ + folderName + "/" + fileName);
    if (!folderProblem.empty() || (stamp.kind == StampKind::None && stamp.sysErrno != ENOENT)) {
        read.outcome = RunRead::Outcome::Unreadable;
        read.reason =
            !folderProblem.empty() ? folderProblem : fsStatusText({FsError::Io, stamp.sysErrno});
        return read;
    }
    // Nearly every run asked for is unchanged (a team day reads a thousand): one read without a
    // write transaction gives it.
    if (storedRunLocked(folderName, fileName, &stamp, read)) return read;
    const RunCheck check = checkRunLocked(folderName, fileName, dayKey, stamp);
    if (check == RunCheck::Gone) {
        read.outcome = RunRead::Outcome::Gone;
        read.reason = "no such run";
    } else if (check == RunCheck::Failed || !storedRunLocked(folderName, fileName, nullptr, read)) {
        read.reason = "the run index cannot be read";
    }
    return read;
}

bool RunIndex::registeredFolderLocked(const std::string& folderName, std::string& problem) {
    SqliteStatement& folder =
        db_.cached("SELECT problem FROM folders WHERE name = ? AND registered = 1");
    folder.bind(1, folderName);
    const bool registered = folder.step();
    problem = registered ? folder.text(0) : std::string();
    folder.reset();
    return registered;
}

bool RunIndex::storedRunLocked(const std::string& folderName, const std::string& fileName,
                               const FileStamp* stamp, RunRead& read) {
    SqliteStatement& row = db_.cached(
        "SELECT inode, size, mtimeNs, ctimeNs, sure, readable, problem, start, timeFormat,"
        " lapCount, totalCs, bestLapCs, bestLapNumber, averageLapCs, slowestLapCs,"
        " slowestLapNumber, memo, laps FROM runs WHERE folder = ? AND name = ?");
    row.bind(1, folderName).bind(2, fileName);
    bool found = row.step();
    if (found && stamp != nullptr) {
        const FileStamp was{StampKind::File, static_cast<std::uint64_t>(row.integer(0)),
                            row.integer(1), row.integer(2), row.integer(3)};
        found = stamp->sameAs(was) && row.integer(4) != 0 && settledAt(was, clock_());
    }
    if (found && row.integer(5) == 0) {
        read.outcome = RunRead::Outcome::Unreadable;
        read.reason = row.text(6);
    } else if (found) {
        read.run = runOf(row, 7);
        read.outcome = RunRead::Outcome::Read;
    }
    row.reset();
    return found;
}

RunIndex::RunCheck RunIndex::checkRunLocked(const std::string& folderName,
                                            const std::string& fileName, const std::string& dayKey,
                                            const FileStamp& stamp) {
    SqliteTransaction transaction(db_);
    if (!transaction.began()) return RunCheck::Failed;
    SqliteStatement stored = db_.prepare(
        "SELECT id, inode, size, mtimeNs, ctimeNs, sure, listOrder FROM runs"
        " WHERE folder = ? AND name = ?");
    stored.bind(1, folderName).bind(2, fileName);
    const bool known = stored.step();
    if (stored.failed()) return RunCheck::Failed;
    std::int64_t order = known ? stored.integer(6) : 0;
    if (known) {
        FileStamp was{StampKind::File, static_cast<std::uint64_t>(stored.integer(1)),
                      stored.integer(2), stored.integer(3), stored.integer(4)};
        if (stamp.sameAs(was) && stored.integer(5) != 0 && settledAt(was, clock_()))
            return RunCheck::Current;
        if (!deleteRun(stored.integer(0))) return RunCheck::Failed;
    }
    if (!known || stamp.kind != StampKind::File) {
        watch_->markDirty(folderName);
        // A run that came or went since the folder was listed: its place in the listing order
        // is not known, so the folder is listed again before the window trusts it.
        SqliteStatement& unsure = db_.cached("UPDATE folders SET sure = 0 WHERE name = ?");
        if (!unsure.bind(1, folderName).run()) return RunCheck::Failed;
        SqliteStatement last = db_.prepare("SELECT max(listOrder) FROM runs WHERE folder = ?");
        last.bind(1, folderName);
        order = last.step() ? last.integer(0) + 1 : 1;
    }
    const bool present = stamp.kind == StampKind::File;
    if (present && !insertRun(folderName, fileName, order, dayKey, stamp)) return RunCheck::Failed;
    if (!transaction.commit()) return RunCheck::Failed;
    return present ? RunCheck::Current : RunCheck::Gone;
}

}  // namespace lapdex
