// An athlete's progress over time.
#include "progress.h"

#include <map>

namespace lapdex {

int usualLapCountOf(const std::vector<const RunRow*>& rows) {
    std::map<int, int> frequencies;
    for (const RunRow* row : rows) ++frequencies[row->run.lapCount];
    int usual = 0;
    int most = 0;
    for (const auto& [laps, count] : frequencies) {
        // The map runs from the smallest lap count: a later one must be strictly more frequent.
        if (count > most) most = count, usual = laps;
    }
    return usual;
}

Progress progressOf(const RunStopwatch& stopwatch, const std::vector<RunRow>& rows,
                    const ProgressQuery& query) {
    std::vector<const RunRow*> own;
    for (const RunRow& row : rows)
        if (row.folderName == stopwatch.folderName) own.push_back(&row);
    Progress progress{stopwatch,
                      TimeFormat::Clock,
                      query.lapCount > 0 ? query.lapCount : usualLapCountOf(own),
                      {}};
    std::int64_t best = -1;
    for (const RunRow* row : own) {
        const RunDetails& run = row->run;
        if (run.lapCount != progress.lapCount) continue;
        const bool personalBest = run.totalCs >= 0 && (best < 0 || run.totalCs < best);
        if (personalBest) best = run.totalCs;
        const std::string date = run.start.substr(0, 10);
        if (!query.fromDate.empty() && date < query.fromDate) continue;
        if (!query.toDate.empty() && date > query.toDate) continue;
        if (run.timeFormat == TimeFormat::DecimalMinute) progress.timeFormat = run.timeFormat;
        progress.runs.push_back(
            {row->fileName, run.start, run.totalCs, run.bestLapCs, personalBest});
    }
    return progress;
}

SourceAnswer<Progress> loadProgress(RunSource& source, const ProgressQuery& query) {
    const std::optional<std::vector<RunStopwatch>> stopwatches = source.registeredStopwatches();
    if (!stopwatches) return {};
    const RunStopwatch* stopwatch = nullptr;
    for (const RunStopwatch& s : *stopwatches)
        if (s.folderName == query.folderName) stopwatch = &s;
    if (!stopwatch) return {};
    RunQuery runs;
    runs.folderNames = {query.folderName};
    RunListing listing = source.listRuns(runs);
    if (!listing.answered) return {};
    return {progressOf(*stopwatch, listing.rows, query), std::move(listing.problems)};
}

}  // namespace lapdex
