// The roster computed from a run source's rows and the contact history.
#include "roster.h"

#include "folder_run_source.h"
#include "personal_bests.h"
#include "progress.h"
#include "stopwatch_key.h"

namespace lapdex {
namespace {

void summarise(RosterEntry& entry, const std::vector<RunRow>& runs) {
    std::vector<const RunRow*> all;
    for (const RunRow& row : runs) {
        const RunDetails& run = row.run;
        if (entry.runs++ == 0 || run.start < entry.firstStart) entry.firstStart = run.start;
        if (run.start > entry.lastStart) entry.lastStart = run.start;
        if (run.timeFormat == TimeFormat::DecimalMinute) entry.timeFormat = run.timeFormat;
        all.push_back(&row);
    }
    entry.usualLapCount = usualLapCountOf(all);
    // The usual lap count's bests as the personal bests name them, so the two never disagree.
    const PersonalBests bests = personalBestsOf(entry.stopwatch, runs);
    if (auto lap = bests.fastestLapOfCount.find(entry.usualLapCount);
        lap != bests.fastestLapOfCount.end())
        entry.bestLapCs = lap->second.cs;
    if (auto total = bests.fastestTotal.find(entry.usualLapCount);
        total != bests.fastestTotal.end())
        entry.bestTotalCs = total->second.cs;
}

// The file is appended to in time order: its last line is the last contact, even when the
// computer's clock was set back in between.
void takeLastContact(RosterEntry& entry, const HistoryReading& history) {
    for (const ContactRecord& contact : history.records) {
        // A failed contact read nothing: the last read stays the one before it.
        if (contact.serialText != entry.stopwatch.serialText || !contact.read()) continue;
        entry.lastContact = contact.localTime;
        entry.batteryLevel = contact.batteryLevel;
    }
}

}  // namespace

Roster rosterOf(const std::vector<RunStopwatch>& stopwatches, const std::vector<RunRow>& rows,
                const HistoryReading& history) {
    Roster roster;
    for (const RunStopwatch& stopwatch : stopwatches) {
        RosterEntry entry;
        entry.stopwatch = stopwatch;
        std::vector<RunRow> runs;
        for (const RunRow& row : rows) {
            if (sameStopwatch(row, stopwatch)) runs.push_back(row);
        }
        summarise(entry, runs);
        // History.csv tells this PC's contacts only; a club folder's stopwatch was read elsewhere.
        if (stopwatch.pc.empty()) takeLastContact(entry, history);
        roster.entries.push_back(std::move(entry));
    }
    roster.damagedHistoryLines = history.damagedLines;
    return roster;
}

SourceAnswer<Roster> loadRoster(RunSource& source, const DataFolder& data) {
    SourceAnswer<Roster> answer;
    const std::optional<std::vector<RunStopwatch>> stopwatches = source.registeredStopwatches();
    if (!stopwatches) return answer;
    RunListing listing = source.listRuns(RunQuery{});
    if (!listing.answered) return answer;
    answer.problems = std::move(listing.problems);
    const FsBytes history = data.fs().readFile(data.path() + kHistoryFileName);
    if (!history.ok() && history.status.error != FsError::NotFound)
        answer.problems.push_back({kHistoryFileName, problemReason(history.status), {}});
    answer.value = rosterOf(*stopwatches, listing.rows,
                            history.ok() ? parseContactHistory(history.bytes) : HistoryReading{});
    return answer;
}

FsStatus takeContactsOf(Roster& roster, const std::string& pc, const DataFolder& data) {
    const FsBytes read = data.fs().readFile(data.path() + kHistoryFileName);
    if (!read.ok())
        return read.status.error == FsError::NotFound ? FsStatus::success() : read.status;
    const HistoryReading history = parseContactHistory(read.bytes);
    for (RosterEntry& entry : roster.entries)
        if (entry.stopwatch.pc == pc) takeLastContact(entry, history);
    return FsStatus::success();
}

}  // namespace lapdex
