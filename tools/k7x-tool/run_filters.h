// The run filters that k7x-tool's run index commands share (runs, export).
#pragma once

#include <cstdio>
#include <string>

#include "index_session.h"
#include "run_source.h"

namespace k7x {

// The filters named on the command line: a stopwatch, and the search conditions.
struct RunFilters {
    std::string stopwatch;  // tab name, serial or folder name; "" for every stopwatch
    lapdex::RunQuery query;
};

enum class FilterOption { Taken, NotAFilter, Invalid };

// Applies option `option` with `value` (--stopwatch, --from, --to, --text, --laps) to `filters`.
// NotAFilter for any other option; Invalid with a message in `error` for a bad value.
FilterOption applyRunFilter(const std::string& option, const std::string& value,
                            RunFilters& filters, std::string& error);

// The folder of the stopwatch named by its tab name, serial or folder name; "" when none.
std::string stopwatchFolderNamed(lapdex::RunSource& source, const std::string& name);

// The session's runs that match `filters`, by start time, with a warning on `err` for each run or
// folder that could not be read. False, with the reason written to `err`, when the stopwatch is
// not registered or the runs cannot be listed at all.
bool searchRuns(IndexSession& session, RunFilters filters, std::vector<lapdex::RunRow>& rows,
                std::FILE* err);

// The usage text of the filters, for the commands' usage lines.
inline constexpr const char* kRunFilterUsage =
    "[--stopwatch NAME] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
    "                [--text WORDS] [--laps N]";

}  // namespace k7x
