// The run filters that k7x-tool's run index commands share (runs, export).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "index_session.h"
#include "run_source.h"

namespace k7x {

// The filters named on the command line: a stopwatch, and the search conditions.
struct RunFilters {
    std::string stopwatch;  // tab name, serial or folder name; "" for every stopwatch
    lapdex::RunQuery query;
};

// The words of a --text search: separated by spaces, the ideographic space (U+3000) included.
std::vector<std::string> searchWords(const std::string& text);

// The folder of the stopwatch named by its tab name, serial or folder name; "" when none.
std::string stopwatchFolderNamed(lapdex::RunSource& source, const std::string& name);

// The session's runs that match `filters`, by start time, with a warning on `err` for each run or
// folder that could not be read. False, with the reason written to `err`, when the stopwatch is
// not registered or the runs cannot be listed at all.
bool searchRuns(IndexSession& session, RunFilters filters, std::vector<lapdex::RunRow>& rows,
                std::FILE* err);

}  // namespace k7x
