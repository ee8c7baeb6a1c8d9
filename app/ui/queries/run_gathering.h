// The runs behind an export, a sheet, a comparison or the team day, read with their laps through
// a RunSource; every run asked for that could not be read is named with the reason.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "export_run.h"
#include "run_source.h"
#include "team_day.h"

namespace lapdex::ui {

// A run (or a folder of runs) that an answer does not cover.
struct MissedRun {
    enum class Why { Gone, Unreadable, NoLaps, Unavailable };
    std::string path;  // from the data folder: "QTM-01/QTM240131_093015_….csv" or "QTM-01"
    Why why = Why::Unreadable;
    std::string detail;  // the store's own words (English), may be empty
};

struct GatheredRuns {
    bool answered = true;           // false: neither the index nor the folder scan could answer
    std::vector<ExportRun> runs;    // in the order asked
    std::vector<MissedRun> missed;  // in the order met
};

// The runs of `rows`, each read again with its laps. Blocking: worker thread only.
GatheredRuns gatherRuns(RunSource& source, const std::vector<RunRow>& rows);
// Every run of `query` with its laps; the folders and files the listing could not cover are
// missed runs too.
GatheredRuns gatherQuery(RunSource& source, const RunQuery& query);
// Every run of `date` ("YYYY-MM-DD") of every registered stopwatch.
GatheredRuns gatherDay(RunSource& source, const std::string& date);

// The runs as a team day, in their order; `date` names the day ("" takes the first run's).
TeamDay teamDayOf(const std::vector<ExportRun>& runs, const std::string& date = {});

// The missed runs for a message, one per line: "QTM-01/….csv: cannot be read (…)", in the
// language shown; at most `lines` lines, then how many more.
QString missedRunsText(const std::vector<MissedRun>& missed, int lines = 10);

}  // namespace lapdex::ui
