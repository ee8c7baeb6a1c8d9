// An athlete's progress over time.
#include "progress.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "stopwatch_key.h"

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
        if (sameStopwatch(row, stopwatch)) own.push_back(&row);
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
        if (s.folderName == query.folderName && s.pc == query.pc) stopwatch = &s;
    if (!stopwatch) return {};
    RunQuery runs;
    runs.folderNames = {query.folderName};
    runs.pcs = {query.pc};
    RunListing listing = source.listRuns(runs);
    if (!listing.answered) return {};
    return {progressOf(*stopwatch, listing.rows, query), std::move(listing.problems)};
}

namespace {

// Months counted from year 0, so a span of months is a range of integers; -1 for no "YYYY-MM".
int monthNumber(const std::string& start) {
    int year = 0, month = 0;
    if (std::sscanf(start.c_str(), "%4d-%2d", &year, &month) != 2 || month < 1 || month > 12)
        return -1;
    return year * 12 + month - 1;
}

std::string monthText(int number) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d", number / 12, number % 12 + 1);
    return text;
}

}  // namespace

SquadView squadOf(const std::vector<RunStopwatch>& stopwatches, const std::vector<RunRow>& rows,
                  int lapCount) {
    SquadView squad{lapCount, {}, stopwatches, {}};
    std::map<StopwatchKey, std::size_t> slotOf;
    for (std::size_t i = 0; i < stopwatches.size(); ++i) slotOf[keyOf(stopwatches[i])] = i;
    std::map<std::pair<std::size_t, int>, std::int64_t> best;
    int first = -1, last = -1;
    for (const RunRow& row : rows) {
        const auto slot = slotOf.find(keyOf(row));
        const int month = monthNumber(row.run.start);
        if (slot == slotOf.end() || row.run.lapCount != lapCount || row.run.totalCs < 0 ||
            month < 0)
            continue;
        if (first < 0 || month < first) first = month;
        last = std::max(last, month);
        auto [cell, added] = best.try_emplace({slot->second, month}, row.run.totalCs);
        if (!added && row.run.totalCs < cell->second) cell->second = row.run.totalCs;
    }
    for (int month = first; first >= 0 && month <= last; ++month)
        squad.months.push_back(monthText(month));
    squad.bestCs.assign(stopwatches.size(), std::vector<std::int64_t>(squad.months.size(), -1));
    for (const auto& [key, cs] : best)
        squad.bestCs[key.first][static_cast<std::size_t>(key.second - first)] = cs;
    return squad;
}

}  // namespace lapdex
