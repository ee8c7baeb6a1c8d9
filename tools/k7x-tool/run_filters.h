// The run filters that k7x-tool's run index commands share (runs, export).
#pragma once

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "index_session.h"
#include "run_source.h"
#include "stopwatch_key.h"
#include "team_day.h"

namespace k7x {

// The filters named on the command line: a stopwatch, and the search conditions.
struct RunFilters {
    std::string stopwatch;  // tab name, serial or folder name; "" for every stopwatch
    std::string group;      // "" for every group
    lapdex::RunQuery query;
};

// The words of a --text search: separated by spaces, the ideographic space (U+3000) included.
std::vector<std::string> searchWords(const std::string& text);

// The stopwatches named by their tab name, serial or folder name: in each data folder of `source`
// the first one so named, this PC's first; none when no folder has one.
std::vector<lapdex::RunStopwatch> stopwatchesNamed(lapdex::RunSource& source,
                                                   const std::string& name);

// The stopwatches in `group` (from the data folder's Groups.txt, which names serials, so a club
// folder's stopwatch belongs to it by its serial too); none for "" (every stopwatch). False, with
// the reason written to `err`, when the groups cannot be read or no stopwatch is in that group.
bool groupStopwatches(IndexSession& session, const std::string& group,
                      std::set<lapdex::StopwatchKey>& stopwatches, std::FILE* err);

// Whether the stopwatch (pc, folder) is among `group` (as groupStopwatches gives it); any when
// none.
bool inGroup(const std::set<lapdex::StopwatchKey>& group, const std::string& pc,
             const std::string& folder);

// Leaves in `day` only the runs of `group`'s stopwatches ("" keeps every run); false as above.
bool keepGroup(IndexSession& session, const std::string& group, lapdex::TeamDay& day,
               std::FILE* err);

// The session's runs that match `filters`, by start time, with a warning on `err` for each run or
// folder that could not be read. False, with the reason written to `err`, when the stopwatch is
// not registered or the runs cannot be listed at all.
bool searchRuns(IndexSession& session, RunFilters filters, std::vector<lapdex::RunRow>& rows,
                std::FILE* err);

}  // namespace k7x
