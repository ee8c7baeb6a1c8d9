// Personal bests from the run index.
#include "personal_bests.h"

#include "stopwatch_key.h"

namespace lapdex {
namespace {

// True when `cs` is known and beats `best` (a best of -1 is beaten by any known time).
bool beats(std::int64_t cs, const BestTime& best) {
    return cs >= 0 && (best.cs < 0 || cs < best.cs);
}

BestTime bestOf(std::int64_t cs, const RunRow& row, int lapNumber) {
    return {cs, lapNumber, row.fileName, row.run.start};
}

std::optional<std::vector<RunRow>> runsOf(RunIndex& index, const std::string& folderName) {
    RunQuery query;
    query.folderNames = {folderName};
    return index.search(query);
}

RunListing listingOf(RunSource& source, const std::string& folderName) {
    RunQuery query;
    if (!folderName.empty()) query.folderNames = {folderName};
    return source.listRuns(query);
}

// The runs of one stopwatch: a club's listing holds every data folder's "QTM-01".
RunListing listingOf(RunSource& source, const std::string& folderName, const std::string& pc) {
    RunQuery query;
    query.folderNames = {folderName};
    query.pcs = {pc};
    RunListing listing = source.listRuns(query);
    std::erase_if(listing.rows, [&pc](const RunRow& row) { return row.pc != pc; });
    return listing;
}

}  // namespace

PersonalBests personalBestsOf(const RunStopwatch& stopwatch, const std::vector<RunRow>& rows) {
    PersonalBests bests;
    bests.stopwatch = stopwatch;
    for (const RunRow& row : rows) {
        bests.timeFormat = row.run.timeFormat;
        if (beats(row.run.bestLapCs, bests.fastestLap))
            bests.fastestLap = bestOf(row.run.bestLapCs, row, row.run.bestLapNumber);
        BestTime& lap = bests.fastestLapOfCount[row.run.lapCount];
        if (beats(row.run.bestLapCs, lap))
            lap = bestOf(row.run.bestLapCs, row, row.run.bestLapNumber);
        if (lap.cs < 0) bests.fastestLapOfCount.erase(row.run.lapCount);
        BestTime& total = bests.fastestTotal[row.run.lapCount];
        if (beats(row.run.totalCs, total)) total = bestOf(row.run.totalCs, row, 0);
        if (total.cs < 0) bests.fastestTotal.erase(row.run.lapCount);
    }
    return bests;
}

std::set<std::string> runsThatSetBests(const std::vector<RunRow>& rows) {
    std::set<std::string> setters;
    BestTime lap;
    std::map<int, BestTime> totals;
    for (const RunRow& row : rows) {
        bool set = false;
        if (beats(row.run.bestLapCs, lap)) {
            set = lap.cs >= 0;
            lap = bestOf(row.run.bestLapCs, row, row.run.bestLapNumber);
        }
        BestTime& total = totals[row.run.lapCount];
        if (beats(row.run.totalCs, total)) {
            set = set || total.cs >= 0;
            total = bestOf(row.run.totalCs, row, 0);
        }
        if (set) setters.insert(row.fileName);
    }
    return setters;
}

std::vector<BestSet> bestsSetBy(const std::vector<RunRow>& rows,
                                const std::set<std::string>& newFiles) {
    BestTime lap;
    std::map<int, BestTime> totals;
    std::optional<BestSet> lapSet;
    std::map<int, BestSet> totalSets;
    for (const RunRow& row : rows) {
        const bool isNew = newFiles.count(row.fileName) > 0;
        if (beats(row.run.bestLapCs, lap)) {
            const BestTime now = bestOf(row.run.bestLapCs, row, row.run.bestLapNumber);
            if (isNew && lap.cs >= 0)
                lapSet = BestSet{BestSet::Kind::Lap, 0, row.run.timeFormat, now, lap.cs};
            lap = now;
        }
        BestTime& total = totals[row.run.lapCount];
        if (beats(row.run.totalCs, total)) {
            const BestTime now = bestOf(row.run.totalCs, row, 0);
            if (isNew && total.cs >= 0)
                totalSets[row.run.lapCount] = {BestSet::Kind::Total, row.run.lapCount,
                                               row.run.timeFormat, now, total.cs};
            total = now;
        }
    }
    std::vector<BestSet> set;
    if (lapSet) set.push_back(*lapSet);
    for (const auto& [laps, best] : totalSets) set.push_back(best);
    return set;
}

std::optional<std::vector<PersonalBests>> loadPersonalBests(RunIndex& index,
                                                            const std::string& folderName) {
    const std::optional<std::vector<RunStopwatch>> stopwatches = index.stopwatches();
    if (!stopwatches) return std::nullopt;
    std::vector<PersonalBests> all;
    for (const RunStopwatch& stopwatch : *stopwatches) {
        if (!folderName.empty() && stopwatch.folderName != folderName) continue;
        const std::optional<std::vector<RunRow>> rows = runsOf(index, stopwatch.folderName);
        if (!rows) return std::nullopt;
        all.push_back(personalBestsOf(stopwatch, *rows));
    }
    return all;
}

std::optional<std::set<std::string>> loadRunsThatSetBests(RunIndex& index,
                                                          const std::string& folderName) {
    const std::optional<std::vector<RunRow>> rows = runsOf(index, folderName);
    if (!rows) return std::nullopt;
    return runsThatSetBests(*rows);
}

std::optional<std::vector<BestSet>> loadBestsSetBy(RunIndex& index, const std::string& folderName,
                                                   const std::set<std::string>& newFiles) {
    const std::optional<std::vector<RunRow>> rows = runsOf(index, folderName);
    if (!rows) return std::nullopt;
    std::size_t found = 0;
    for (const RunRow& row : *rows) found += newFiles.count(row.fileName);
    if (found < newFiles.size()) return std::nullopt;
    return bestsSetBy(*rows, newFiles);
}

SourceAnswer<std::vector<PersonalBests>> loadPersonalBests(RunSource& source,
                                                           const std::string& folderName) {
    SourceAnswer<std::vector<PersonalBests>> answer;
    const std::optional<std::vector<RunStopwatch>> stopwatches = source.registeredStopwatches();
    if (!stopwatches) return answer;
    RunListing listing = listingOf(source, folderName);
    if (!listing.answered) return answer;
    std::vector<PersonalBests> all;
    for (const RunStopwatch& stopwatch : *stopwatches) {
        if (!folderName.empty() && stopwatch.folderName != folderName) continue;
        std::vector<RunRow> rows;
        for (const RunRow& row : listing.rows) {
            if (sameStopwatch(row, stopwatch)) rows.push_back(row);
        }
        all.push_back(personalBestsOf(stopwatch, rows));
    }
    answer.value = std::move(all);
    answer.problems = std::move(listing.problems);
    return answer;
}

SourceAnswer<std::set<std::string>> loadRunsThatSetBests(RunSource& source,
                                                         const std::string& folderName,
                                                         const std::string& pc) {
    RunListing listing = listingOf(source, folderName, pc);
    if (!listing.answered) return {};
    return {runsThatSetBests(listing.rows), std::move(listing.problems)};
}

SourceAnswer<std::vector<BestSet>> loadBestsSetBy(RunSource& source, const std::string& folderName,
                                                  const std::set<std::string>& newFiles,
                                                  const std::string& pc) {
    RunListing listing = listingOf(source, folderName, pc);
    if (!listing.answered) return {};
    return {bestsSetBy(listing.rows, newFiles), std::move(listing.problems)};
}

}  // namespace lapdex
