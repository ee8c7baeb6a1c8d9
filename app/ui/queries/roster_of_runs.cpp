// Summing up each stopwatch's runs as the roster shows them.
#include "roster_of_runs.h"

#include <map>

#include "contact_history.h"

namespace lapdex::ui {
namespace {

RosterEntry entryOf(const RunStopwatch& stopwatch, const std::vector<RunRow>& rows) {
    RosterEntry entry;
    entry.stopwatch = stopwatch;
    std::map<int, int> runsOfLapCount;
    for (const RunRow& row : rows) {
        if (row.folderName != stopwatch.folderName) continue;
        ++entry.runs;
        if (entry.firstStart.empty() || row.run.start < entry.firstStart)
            entry.firstStart = row.run.start;
        if (row.run.start > entry.lastStart) entry.lastStart = row.run.start;
        if (row.run.timeFormat == TimeFormat::DecimalMinute)
            entry.timeFormat = TimeFormat::DecimalMinute;
        ++runsOfLapCount[row.run.lapCount];
    }
    // The lap count it runs most; of equally frequent ones the smaller (the map is in order).
    int most = 0;
    for (const auto& [laps, count] : runsOfLapCount) {
        if (count > most) most = count, entry.usualLapCount = laps;
    }
    for (const RunRow& row : rows) {
        if (row.folderName != stopwatch.folderName || row.run.lapCount != entry.usualLapCount)
            continue;
        const auto better = [](std::int64_t time, std::int64_t best) {
            return time >= 0 && (best < 0 || time < best);
        };
        if (better(row.run.bestLapCs, entry.bestLapCs)) entry.bestLapCs = row.run.bestLapCs;
        if (better(row.run.totalCs, entry.bestTotalCs)) entry.bestTotalCs = row.run.totalCs;
    }
    return entry;
}

}  // namespace

std::optional<Roster> rosterOfRuns(RunSource& source, const DataFolder& data) {
    const std::optional<std::vector<RunStopwatch>> stopwatches = source.registeredStopwatches();
    if (!stopwatches) return std::nullopt;
    const RunListing runs = source.listRuns({});
    if (!runs.answered) return std::nullopt;
    Roster roster;
    for (const RunStopwatch& stopwatch : *stopwatches)
        roster.entries.push_back(entryOf(stopwatch, runs.rows));
    const HistoryReading contacts = readContactHistory(data);
    for (RosterEntry& entry : roster.entries) {
        for (const ContactRecord& contact : contacts.records) {
            if (contact.serialText != entry.stopwatch.serialText ||
                contact.localTime < entry.lastContact)
                continue;
            entry.lastContact = contact.localTime;
            entry.batteryLevel = contact.batteryLevel;
        }
    }
    roster.damagedHistoryLines = contacts.damagedLines;
    return roster;
}

}  // namespace lapdex::ui
