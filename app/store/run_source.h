// Where the runs of a data folder come from. The run index and a plain scan of the folders both
// implement RunSource and must give equal answers; statistics, bests, the team day, exports and
// k7x-tool take their runs through it and never through either implementation's own types.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "run_summary.h"

namespace lapdex {

// A registered stopwatch.
struct RunStopwatch {
    std::string folderName;  // "QTM-01"
    std::string serialText;
    std::string tabName;  // UTF-8
    std::string pc;       // "" this PC's data folder; else the label of a club folder

    bool operator==(const RunStopwatch&) const = default;
};

// One run file found by a query. `run.laps` is left empty.
struct RunRow {
    std::string folderName;
    std::string serialText;
    std::string tabName;
    std::string fileName;
    RunDetails run;
    std::string pc;  // "" this PC's data folder; else the label of the club folder it was read from

    bool operator==(const RunRow&) const = default;
};

// A search: every condition that is set must hold.
struct RunQuery {
    std::vector<std::string> folderNames;  // empty: every registered stopwatch (of each PC asked)
    std::string fromDate;                  // "YYYY-MM-DD", inclusive; "" open
    std::string toDate;                    // "YYYY-MM-DD", inclusive; "" open
    std::vector<std::string> words;        // UTF-8; each must occur in the run memo or a lap memo
    int lapCount = 0;                      // 0: any
    std::int64_t minTotalCs = -1;          // -1: open
    std::int64_t maxTotalCs = -1;
    int limit = 0;                 // 0: all rows; otherwise at most this many, in start order
    std::vector<std::string> pcs;  // empty: every data folder; "" names this PC's own
};

// The reason given for a run file whose summary has no start.
inline constexpr const char* kDamagedRunFile = "damaged run file";

// A folder or run file that an answer could not cover.
struct RunProblem {
    std::string path;    // from the data folder: "QTM-01" or "QTM-01/QTM240131_093015_….csv"
    std::string reason;  // UTF-8, English, one line: "Permission denied", "damaged run file"
    std::string pc;      // "" this PC's data folder; else a club folder's label

    bool operator==(const RunProblem&) const = default;
};

// Where a run file or folder lies as the user reads it: `path` for this PC's data folder ("" pc),
// "PC-B: QTM-01/…csv" for a club folder's, and the label alone for a whole club folder ("" path).
std::string placeText(const std::string& pc, const std::string& path);
inline std::string problemPlace(const RunProblem& problem) {
    return placeText(problem.pc, problem.path);
}

// The answer to a query. Rows are whole runs; every run that the query may have missed is named
// in `problems` (an unreadable folder, an unreadable or damaged run file).
struct [[nodiscard]] RunListing {
    bool answered = false;     // false: the source could not answer at all; the rest is empty
    std::vector<RunRow> rows;  // by start time, then folder name, then file name, then pc
    std::vector<RunProblem> problems;
    bool truncated = false;  // `limit` cut the rows short: more runs match
    bool complete() const { return answered && problems.empty(); }
};

// One run with its laps, or why there is none.
struct [[nodiscard]] RunRead {
    enum class Outcome { Read, Gone, Unreadable, Unavailable };
    Outcome outcome = Outcome::Unavailable;
    RunDetails run;      // with its laps when Read
    std::string reason;  // UTF-8, English, when not Read
    bool ok() const { return outcome == Outcome::Read; }
};

// What is computed from a source's runs (bests, a team day, an export's runs), with every run or
// folder it could not cover named.
template <class T>
struct [[nodiscard]] SourceAnswer {
    std::optional<T> value;            // nullopt: the source could not answer at all
    std::vector<RunProblem> problems;  // by path
    bool complete() const { return value.has_value() && problems.empty(); }
};

// Thread-safe. Calls block until the answer is whole: never call them on the window thread.
class RunSource {
  public:
    virtual ~RunSource() = default;
    // The registered stopwatches in slot order; nullopt when the source cannot answer at all.
    virtual std::optional<std::vector<RunStopwatch>> registeredStopwatches() = 0;
    // The readable runs that match `query`, exactly as a scan of the folders at this moment finds
    // them. A run file whose summary cannot be read is a problem, never a row of empty fields.
    virtual RunListing listRuns(const RunQuery& query) = 0;
    // One run file of a registered stopwatch's folder with its laps.
    virtual RunRead readRun(const std::string& folderName, const std::string& fileName) = 0;
    // The run of a row this source listed, from the data folder the row names (its `pc`). A source
    // of one data folder reads its own folder whatever the label.
    virtual RunRead readRunOf(const RunRow& row) { return readRun(row.folderName, row.fileName); }
};

// `rows` (from a listing of `source`) again with their laps, each read by readRun, in the same
// order. A run that cannot be read now, gone since the listing included, is named in `problems`
// and left out; nullopt when the source could not answer at all.
SourceAnswer<std::vector<RunRow>> readRunsWithLaps(RunSource& source,
                                                   const std::vector<RunRow>& rows);

}  // namespace lapdex
