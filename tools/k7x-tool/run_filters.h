// The run filters that k7x-tool's run index commands share (runs, export).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "index_session.h"
#include "run_source.h"
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

// The folder of the stopwatch named by its tab name, serial or folder name; "" when none.
std::string stopwatchFolderNamed(lapdex::RunSource& source, const std::string& name);

// The folders of the stopwatches in `group` (from the data folder's Groups.txt); none for "" (every
// stopwatch). False, with the reason written to `err`, when the groups cannot be read or no
// stopwatch is in that group.
bool groupFolders(IndexSession& session, const std::string& group,
                  std::vector<std::string>& folders, std::FILE* err);

// Whether `folder` is among `group`'s folders (as groupFolders gives them); any folder when none.
bool inGroup(const std::vector<std::string>& group, const std::string& folder);

// Leaves in `day` only the runs of `group`'s stopwatches ("" keeps every run); false as above.
bool keepGroup(IndexSession& session, const std::string& group, lapdex::TeamDay& day,
               std::FILE* err);

// The session's runs that match `filters`, by start time, with a warning on `err` for each run or
// folder that could not be read. False, with the reason written to `err`, when the stopwatch is
// not registered or the runs cannot be listed at all.
bool searchRuns(IndexSession& session, RunFilters filters, std::vector<lapdex::RunRow>& rows,
                std::FILE* err);

}  // namespace k7x
