// The run index's answers: runs of a day, runs of a range of days, searches and single runs.
#include <algorithm>

#include "contact_history.h"
#include "run_index.h"
#include "search_folding.h"

namespace lapdex {
namespace {

constexpr int kTrigram = 3;  // the shortest word the trigram table can look up

std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

std::string quotedPhrase(const std::string& word) {
    std::string phrase = "\"";
    for (char c : word) {
        phrase += c;
        if (c == '"') phrase += '"';
    }
    return phrase + "\"";
}

// The WHERE clause of a search and its parameters, in order.
struct SearchSql {
    std::string sql;
    std::vector<std::string> texts;  // bound as text, except where `integers` holds a value
    std::vector<std::int64_t> integers;
    std::vector<bool> isInteger;

    void text(const std::string& value) {
        texts.push_back(value);
        integers.push_back(0);
        isInteger.push_back(false);
    }
    void integer(std::int64_t value) {
        texts.emplace_back();
        integers.push_back(value);
        isInteger.push_back(true);
    }
};

SearchSql searchSql(const RunQuery& query) {
    SearchSql s;
    s.sql =
        "SELECT r.folder, f.serial, f.tabName, r.name, r.start, r.timeFormat, r.lapCount, "
        "r.totalCs, r.bestLapCs,"
        " r.bestLapNumber, r.averageLapCs, r.slowestLapCs, r.slowestLapNumber, r.memo"
        " FROM runs r JOIN folders f ON f.name = r.folder"
        " WHERE r.readable = 1 AND f.registered = 1 AND f.problem IS NULL";
    if (!query.folderNames.empty()) {
        s.sql += " AND r.folder IN (";
        for (std::size_t i = 0; i < query.folderNames.size(); ++i) {
            s.sql += i == 0 ? "?" : ",?";
            s.text(query.folderNames[i]);
        }
        s.sql += ")";
    }
    if (!query.fromDate.empty()) {
        s.sql += " AND r.start >= ?";
        s.text(query.fromDate);
    }
    if (!query.toDate.empty()) {
        // Every time of the last day sorts before "T9".
        s.sql += " AND r.start < ?";
        s.text(query.toDate + "T9");
    }
    if (query.lapCount > 0) {
        s.sql += " AND r.lapCount = ?";
        s.integer(query.lapCount);
    }
    if (query.minTotalCs >= 0) {
        s.sql += " AND r.totalCs >= ?";
        s.integer(query.minTotalCs);
    }
    if (query.maxTotalCs >= 0) {
        s.sql += " AND r.totalCs >= 0 AND r.totalCs <= ?";
        s.integer(query.maxTotalCs);
    }
    for (const std::string& given : query.words) {
        // The stored search text is folded; so is the word.
        const std::string word = foldedForSearch(given);
        if (word.empty()) continue;
        if (characterCount(word) >= kTrigram) {
            s.sql += " AND r.id IN (SELECT rowid FROM memo_search WHERE memo_search MATCH ?)";
            s.text(quotedPhrase(word));
        }
        // The trigram table narrows the rows; the memo text itself decides (and alone for short
        // words).
        s.sql += " AND instr(r.searchText, ?) > 0";
        s.text(word);
    }
    s.sql += " ORDER BY r.start, r.folder, r.name";
    if (query.limit > 0) {
        s.sql += " LIMIT ?";
        s.integer(query.limit);
    }
    return s;
}

RunRow rowOf(const SqliteStatement& row) {
    RunRow result;
    result.folderName = row.text(0);
    result.serialText = row.text(1);
    result.tabName = row.text(2);
    result.fileName = row.text(3);
    RunDetails& run = result.run;
    run.start = row.text(4);
    run.timeFormat = row.integer(5) == 0 ? TimeFormat::Clock : TimeFormat::DecimalMinute;
    run.lapCount = static_cast<int>(row.integer(6));
    run.totalCs = row.integer(7);
    run.bestLapCs = row.integer(8);
    run.bestLapNumber = static_cast<int>(row.integer(9));
    run.averageLapCs = row.integer(10);
    run.slowestLapCs = row.integer(11);
    run.slowestLapNumber = static_cast<int>(row.integer(12));
    run.memo = row.text(13);
    return result;
}

}  // namespace

// Window queries never wait: while another thread refreshes, the caller scans the folder instead.
std::unique_lock<std::mutex> RunIndex::windowLock() {
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (lock && (!ready_ || !applyRegistryLocked())) lock.unlock();
    return lock;
}

bool RunIndex::isRegisteredLocked(const std::string& folderName) {
    SqliteStatement& folder = db_.cached("SELECT 1 FROM folders WHERE name = ? AND registered = 1");
    folder.bind(1, folderName);
    const bool registered = folder.step();
    folder.reset();
    return registered;
}

// The registered folders of `folderNames` (all when empty), each compared by `check`; nullopt when
// the index failed. A folder that cannot be listed stays out of the answers (as the scan leaves
// it out) and is named in `stale` when given.
std::optional<std::vector<RunStopwatch>> RunIndex::freshenLocked(
    const std::vector<std::string>& folderNames, Need need, std::vector<RunProblem>* stale) {
    std::optional<std::vector<RunStopwatch>> registered = stopwatchesLocked();
    if (!registered) return std::nullopt;
    std::erase_if(*registered, [&](const RunStopwatch& stopwatch) {
        return !folderNames.empty() && std::find(folderNames.begin(), folderNames.end(),
                                                 stopwatch.folderName) == folderNames.end();
    });
    // Other programs' commits and the notifications are taken once for all folders: a query over
    // a hundred unchanged folders then costs a query per folder, no more.
    noteOtherWritersLocked();
    watch_->drain();
    for (const RunStopwatch& stopwatch : *registered) {
        const FolderState state = bringNotedUpToDateLocked(stopwatch.folderName, need);
        if (state == FolderState::Failed) return std::nullopt;
        if (state == FolderState::Stale && stale != nullptr)
            stale->push_back({stopwatch.folderName, folderProblemLocked(stopwatch.folderName), {}});
    }
    return registered;
}

std::string RunIndex::folderProblemLocked(const std::string& folderName) {
    SqliteStatement& folder = db_.cached("SELECT problem FROM folders WHERE name = ?");
    folder.bind(1, folderName);
    std::string problem = folder.step() ? folder.text(0) : std::string();
    folder.reset();
    return problem;
}

std::optional<std::vector<RunRow>> RunIndex::search(const RunQuery& query) {
    const auto lock = windowLock();
    if (!lock || !freshenLocked(query.folderNames, Need::Window, nullptr)) return std::nullopt;
    std::vector<RunRow> rows;
    if (!searchLocked(query, rows)) return std::nullopt;
    return rows;
}

bool RunIndex::searchLocked(const RunQuery& query, std::vector<RunRow>& rows) {
    const SearchSql s = searchSql(query);
    SqliteStatement statement = db_.prepare(s.sql);
    for (std::size_t i = 0; i < s.texts.size(); ++i) {
        const int at = static_cast<int>(i + 1);
        if (s.isInteger[i])
            statement.bind(at, s.integers[i]);
        else
            statement.bind(at, s.texts[i]);
    }
    while (statement.step()) rows.push_back(rowOf(statement));
    return !statement.failed();
}

std::optional<std::vector<RunStopwatch>> RunIndex::stopwatches() {
    const auto lock = windowLock();
    if (!lock) return std::nullopt;
    return stopwatchesLocked();
}

std::optional<std::vector<RunStopwatch>> RunIndex::stopwatchesLocked() {
    SqliteStatement rows = db_.prepare(
        "SELECT name, serial, tabName FROM folders WHERE registered = 1 ORDER BY length(name), "
        "name");
    std::vector<RunStopwatch> found;
    while (rows.step()) found.push_back({rows.text(0), rows.text(1), rows.text(2), {}});
    if (rows.failed()) return std::nullopt;
    return found;
}

std::optional<Roster> RunIndex::roster() {
    const std::optional<std::vector<RunStopwatch>> registered = stopwatches();
    if (!registered) return std::nullopt;
    const std::optional<std::vector<RunRow>> rows = search(RunQuery{});
    if (!rows) return std::nullopt;
    const FsBytes history = fs_.readFile(dataFolder_ + kHistoryFileName);
    return rosterOf(*registered, *rows,
                    history.ok() ? parseContactHistory(history.bytes) : HistoryReading{});
}

}  // namespace lapdex
