// Personal bests of each stopwatch: its fastest lap ever and its fastest total for each lap count,
// from the runs the index holds.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "run_index.h"
#include "run_source.h"

namespace lapdex {

// A best time and the run that holds it. `cs` is -1 while there is none.
struct BestTime {
    std::int64_t cs = -1;  // hundredths of a second
    int lapNumber = 0;     // for a lap best: the lap of the run that was fastest
    std::string fileName;
    std::string start;  // "YYYY-MM-DDTHH:MM:SS"

    bool operator==(const BestTime&) const = default;
};

struct PersonalBests {
    RunStopwatch stopwatch;
    TimeFormat timeFormat = TimeFormat::Clock;
    BestTime fastestLap;
    std::map<int, BestTime> fastestTotal;  // by lap count
    // The fastest lap among the runs of each lap count (fastestLap is the fastest of these).
    std::map<int, BestTime> fastestLapOfCount;
};

// The bests of one stopwatch's runs. `rows` in start order; the earliest of equal times holds the
// best.
PersonalBests personalBestsOf(const RunStopwatch& stopwatch, const std::vector<RunRow>& rows);

// The file names of the runs that set a best when they were run: a lap faster than every earlier
// run's laps, or a total faster than every earlier run's of the same lap count. A first run has
// nothing to beat and sets none. `rows` are one stopwatch's runs in start order.
std::set<std::string> runsThatSetBests(const std::vector<RunRow>& rows);

// A best that a download's runs set: the lap best or the total best of one lap count, the run
// that holds it now and the time it beat.
struct BestSet {
    enum class Kind { Lap, Total };
    Kind kind = Kind::Lap;
    int lapCount = 0;  // Total: the lap count whose best it is
    TimeFormat timeFormat = TimeFormat::Clock;
    BestTime best;
    std::int64_t beatenCs = -1;  // the best before it, hundredths

    bool operator==(const BestSet&) const = default;
};

// The bests that runs of `newFiles` set (as runsThatSetBests counts them), the lap best first,
// then the totals by lap count. When several new runs set the same kind of best one after
// another, only the last, fastest one is named. `rows` are one stopwatch's runs in start order.
std::vector<BestSet> bestsSetBy(const std::vector<RunRow>& rows,
                                const std::set<std::string>& newFiles);

// The bests of every registered stopwatch, or of those in `folderName` (one per data folder that
// has it) when it is not empty, from `source` (blocking).
SourceAnswer<std::vector<PersonalBests>> loadPersonalBests(RunSource& source,
                                                           const std::string& folderName);

// The runs of `folderName` in the data folder `pc` names ("" this PC's) that set a best (see
// runsThatSetBests), from `source` (blocking).
SourceAnswer<std::set<std::string>> loadRunsThatSetBests(RunSource& source,
                                                         const std::string& folderName,
                                                         const std::string& pc = {});

// bestsSetBy over the runs of `folderName` of data folder `pc` in `source` (blocking). A new file
// that the source cannot read is among the problems.
SourceAnswer<std::vector<BestSet>> loadBestsSetBy(RunSource& source, const std::string& folderName,
                                                  const std::set<std::string>& newFiles,
                                                  const std::string& pc = {});

// The window's index queries, which answer nullopt rather than wait while the index is busy.
// The bests of every registered stopwatch, or of the one in `folderName` when it is not empty.
// Nullopt when the index cannot answer now.
std::optional<std::vector<PersonalBests>> loadPersonalBests(RunIndex& index,
                                                            const std::string& folderName);

// The runs of `folderName` that set a best (see runsThatSetBests). Nullopt when the index cannot
// answer now.
std::optional<std::set<std::string>> loadRunsThatSetBests(RunIndex& index,
                                                          const std::string& folderName);

// bestsSetBy over the runs of `folderName`. Nullopt when the index cannot answer now or does not
// hold every one of `newFiles` yet.
std::optional<std::vector<BestSet>> loadBestsSetBy(RunIndex& index, const std::string& folderName,
                                                   const std::set<std::string>& newFiles);

}  // namespace lapdex
