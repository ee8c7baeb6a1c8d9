// An athlete's progress: one stopwatch's runs of one lap count over time, with the personal
// bests marked on the runs that set them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "run_source.h"

namespace lapdex {

struct ProgressRun {
    std::string fileName;
    std::string start;            // "YYYY-MM-DDTHH:MM:SS"
    std::int64_t totalCs = -1;    // hundredths of a second
    std::int64_t bestLapCs = -1;  // the run's fastest lap
    bool personalBest = false;    // its total was the fastest so far with this lap count

    bool operator==(const ProgressRun&) const = default;
};

struct Progress {
    RunStopwatch stopwatch;
    TimeFormat timeFormat = TimeFormat::Clock;
    int lapCount = 0;
    std::vector<ProgressRun> runs;  // in start order

    bool operator==(const Progress&) const = default;
};

// What a progress query asks for.
struct ProgressQuery {
    std::string folderName;
    int lapCount = 0;      // 0: the stopwatch's usual lap count
    std::string fromDate;  // "YYYY-MM-DD", inclusive; "" open
    std::string toDate;    // "YYYY-MM-DD", inclusive; "" open
    std::string pc = {};   // the data folder of `folderName`: "" this PC's, else a club folder's
};

// The lap count run most often, the smaller of equally frequent ones; 0 without runs.
int usualLapCountOf(const std::vector<const RunRow*>& rows);

// The progress of `stopwatch` from all its runs (`rows`, in start order; rows of another pc or
// folder are left out). A best is judged
// against every earlier run, also those before `query.fromDate`; the first run with a total
// is a best, and a total equal to the best so far is not.
Progress progressOf(const RunStopwatch& stopwatch, const std::vector<RunRow>& rows,
                    const ProgressQuery& query);

// The same from `source` (blocking). Nullopt when the source cannot answer or the folder is not
// a registered stopwatch's.
SourceAnswer<Progress> loadProgress(RunSource& source, const ProgressQuery& query);

// A squad over months: for each stopwatch the best total of each month with one lap count.
struct SquadView {
    int lapCount = 0;
    std::vector<std::string> months;  // "YYYY-MM", every month from the first run to the last
    std::vector<RunStopwatch> stopwatches;
    std::vector<std::vector<std::int64_t>> bestCs;  // [stopwatch][month]; -1: no run

    bool operator==(const SquadView&) const = default;
};

// The squad view of `stopwatches` over `rows` (any order); runs of other lap counts or other
// stopwatches are left out.
SquadView squadOf(const std::vector<RunStopwatch>& stopwatches, const std::vector<RunRow>& rows,
                  int lapCount);

}  // namespace lapdex
