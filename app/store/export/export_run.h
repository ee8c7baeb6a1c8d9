// One run as the exports see it: the stopwatch it came from, where its file lies, and its laps.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "run_index.h"
#include "run_summary.h"

namespace lapdex {

struct ExportRun {
    std::string tabName;       // UTF-8, the stopwatch's tab text
    std::string serialText;    // 12 lower-case hexadecimal digits
    std::string relativePath;  // "QTM-01/QTM240131_093015_0123456789ab.csv", from the data folder
    RunDetails run;            // with its laps
};

// The runs of `rows` with their laps, read from `index`, in the order of `rows`. nullopt when the
// index cannot answer now; a run that has vanished since the search is left out.
std::optional<std::vector<ExportRun>> collectExportRuns(RunIndex& index,
                                                        const std::vector<RunRow>& rows);

// Totals of what an export holds.
struct ExportCounts {
    int runs = 0;
    int laps = 0;
};
ExportCounts countsOf(const std::vector<ExportRun>& runs);

}  // namespace lapdex
