// The roster: one line per registered stopwatch with a summary of its runs and its last contact,
// from any run source and History.csv.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "contact_history.h"
#include "data_folder.h"
#include "run_source.h"

namespace lapdex {

// One stopwatch of the roster. Counts only the runs its source lists.
struct RosterEntry {
    RunStopwatch stopwatch;
    int runs = 0;
    std::string firstStart;  // "YYYY-MM-DDTHH:MM:SS"; "" without runs
    std::string lastStart;
    int usualLapCount = 0;          // the lap count it runs most (the smaller of equally frequent)
    std::int64_t bestLapCs = -1;    // over its runs of that lap count
    std::int64_t bestTotalCs = -1;  // likewise
    TimeFormat timeFormat = TimeFormat::Clock;  // DecimalMinute when any of its runs is
    // From the contact history: its last contact (the last line of its serial, whatever the clock
    // said then), and the battery level read then (0: none).
    std::string lastContact;  // "YYYY-MM-DD HH:MM:SS"; "" when none is recorded
    int batteryLevel = 0;
    bool batteryLow() const { return batteryLevel == 1; }

    bool operator==(const RosterEntry&) const = default;
};

struct Roster {
    std::vector<RosterEntry> entries;      // in slot order
    std::vector<int> damagedHistoryLines;  // lines of History.csv skipped as damaged

    bool operator==(const Roster&) const = default;
};

// The roster of `stopwatches` (slot order) from their runs `rows` (any order) and this PC's contact
// history. A stopwatch is its pc and folder name together: two data folders' "QTM-01" are two
// entries, and a club folder's stopwatch takes no contact from this PC's history.
Roster rosterOf(const std::vector<RunStopwatch>& stopwatches, const std::vector<RunRow>& rows,
                const HistoryReading& history);

// The roster from `source` and data's History.csv. An unreadable History.csv is a problem of its
// own; a missing one holds no contact.
SourceAnswer<Roster> loadRoster(RunSource& source, const DataFolder& data);

// Gives the stopwatches of `pc` in `roster` their last contact from that PC's data folder's
// History.csv (a club folder keeps its own), as rosterOf does for this PC's. A missing file holds
// no contact; an unreadable one is the failure returned, and the roster is left as it was.
FsStatus takeContactsOf(Roster& roster, const std::string& pc, const DataFolder& data);

}  // namespace lapdex
