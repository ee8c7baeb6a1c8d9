// The team's day: every run of one date across all stopwatches, lap by lap, from the run index.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "run_index.h"
#include "run_source.h"

namespace lapdex {

// One run of the day. Times in hundredths of a second; -1 where a time could not be read.
struct TeamDayRun {
    std::string folderName;  // "QTM-01"
    std::string tabName;     // UTF-8
    std::string fileName;
    std::string start;  // "YYYY-MM-DDTHH:MM:SS"
    TimeFormat timeFormat = TimeFormat::Clock;
    std::vector<std::int64_t> lapsCs;    // lap 1 first
    std::vector<std::int64_t> splitsCs;  // same length as lapsCs
    std::int64_t totalCs = -1;
    std::int64_t bestLapCs = -1;
    std::int64_t averageLapCs = -1;
    std::string pc = {};  // "" this PC's data folder; else the club folder's label

    bool operator==(const TeamDayRun&) const = default;
};

struct TeamDay {
    std::string date;              // "YYYY-MM-DD"
    std::vector<TeamDayRun> runs;  // by start time, then stopwatch and file name
    int lapColumns = 0;            // the most laps of any run of the day

    bool operator==(const TeamDay&) const = default;
};

// The team's day of `rows` (one date's runs with their laps, in start order).
TeamDay teamDayOf(const std::string& date, const std::vector<RunRow>& rows);

// Every run of `date` ("YYYY-MM-DD") of every registered stopwatch, from `source` (blocking).
SourceAnswer<TeamDay> loadTeamDay(RunSource& source, const std::string& date);

// The same from the index for the window: nullopt when it cannot answer now (busy or not ready).
std::optional<TeamDay> loadTeamDay(RunIndex& index, const std::string& date);

// The fastest and slowest time in lap column `lap` (0-based) over the runs that reached that lap;
// `split` looks at split times instead. -1 when no run has a time there.
struct ColumnExtremes {
    std::int64_t fastestCs = -1;
    std::int64_t slowestCs = -1;
};
ColumnExtremes lapColumnExtremes(const TeamDay& day, int lap, bool split);
// The same for the total times, over the runs whose total was read.
ColumnExtremes totalColumnExtremes(const TeamDay& day);

}  // namespace lapdex
