// The team's day from the run index.
#include "team_day.h"

#include <algorithm>

namespace lapdex {

TeamDay teamDayOf(const std::string& date, const std::vector<RunRow>& rows) {
    TeamDay day;
    day.date = date;
    day.runs.reserve(rows.size());
    for (const RunRow& row : rows) {
        const RunDetails& full = row.run;
        TeamDayRun run{
            row.folderName, row.tabName,    row.fileName,      full.start, full.timeFormat, {}, {},
            full.totalCs,   full.bestLapCs, full.averageLapCs, row.pc};
        for (const LapDetails& lap : full.laps) {
            run.lapsCs.push_back(lap.lapCs);
            run.splitsCs.push_back(lap.splitCs);
        }
        day.lapColumns = std::max(day.lapColumns, static_cast<int>(run.lapsCs.size()));
        day.runs.push_back(std::move(run));
    }
    return day;
}

SourceAnswer<TeamDay> loadTeamDay(RunSource& source, const std::string& date) {
    RunQuery query;
    query.fromDate = date;
    query.toDate = date;
    RunListing listing = source.listRuns(query);
    if (!listing.answered) return {};
    SourceAnswer<std::vector<RunRow>> read = readRunsWithLaps(source, listing.rows);
    if (!read.value) return {};
    SourceAnswer<TeamDay> answer{teamDayOf(date, *read.value), std::move(listing.problems)};
    answer.problems.insert(answer.problems.end(), read.problems.begin(), read.problems.end());
    return answer;
}

std::optional<TeamDay> loadTeamDay(RunIndex& index, const std::string& date) {
    RunQuery query;
    query.fromDate = date;
    query.toDate = date;
    std::optional<std::vector<RunRow>> rows = index.search(query);
    if (!rows) return std::nullopt;
    for (RunRow& row : *rows) {
        std::optional<RunDetails> full = index.runWithLaps(row.folderName, row.fileName);
        if (!full) return std::nullopt;
        row.run = std::move(*full);
    }
    return teamDayOf(date, *rows);
}

ColumnExtremes lapColumnExtremes(const TeamDay& day, int lap, bool split) {
    ColumnExtremes extremes;
    if (lap < 0) return extremes;
    for (const TeamDayRun& run : day.runs) {
        const std::vector<std::int64_t>& times = split ? run.splitsCs : run.lapsCs;
        if (static_cast<std::size_t>(lap) >= times.size() || times[lap] < 0) continue;
        const std::int64_t t = times[lap];
        if (extremes.fastestCs < 0 || t < extremes.fastestCs) extremes.fastestCs = t;
        if (t > extremes.slowestCs) extremes.slowestCs = t;
    }
    return extremes;
}

ColumnExtremes totalColumnExtremes(const TeamDay& day) {
    ColumnExtremes extremes;
    for (const TeamDayRun& run : day.runs) {
        if (run.totalCs < 0) continue;
        if (extremes.fastestCs < 0 || run.totalCs < extremes.fastestCs)
            extremes.fastestCs = run.totalCs;
        if (run.totalCs > extremes.slowestCs) extremes.slowestCs = run.totalCs;
    }
    return extremes;
}

}  // namespace lapdex
