// One run as the exports see it: the stopwatch it came from, where its file lies, and its laps.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "run_index.h"
#include "run_source.h"
#include "run_summary.h"

namespace lapdex {

struct ExportRun {
    std::string tabName;       // UTF-8, the stopwatch's tab text
    std::string serialText;    // 12 lower-case hexadecimal digits
    std::string relativePath;  // "QTM-01/QTM240131_093015_0123456789ab.csv", from the data folder
    RunDetails run;            // with its laps
    std::string pc = {};       // "" this PC's data folder; else the club folder's label

    bool operator==(const ExportRun&) const = default;
};

// The runs of `rows` with their laps, read from `source` (blocking), in the order of `rows`. A run
// that cannot be read (gone since the search included) is named in `problems`, never left out
// silently; nullopt when the source cannot answer at all.
SourceAnswer<std::vector<ExportRun>> collectExportRuns(RunSource& source,
                                                       const std::vector<RunRow>& rows);

// The same from the index for the window: nullopt when it cannot answer now or a run cannot be
// read any more.
std::optional<std::vector<ExportRun>> collectExportRuns(RunIndex& index,
                                                        const std::vector<RunRow>& rows);

// True when some of `runs` were read from a club folder: then an export names each run's PC.
bool hasClubRuns(const std::vector<ExportRun>& runs);

// The PC an export names for `run`: `ownLabel` for this PC's own runs, else the club folder's.
std::string exportPcText(const ExportRun& run, const std::string& ownLabel);

// Totals of what an export holds.
struct ExportCounts {
    int runs = 0;
    int laps = 0;
};
ExportCounts countsOf(const std::vector<ExportRun>& runs);

}  // namespace lapdex
