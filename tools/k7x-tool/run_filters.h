// The run filters that k7x-tool's run index commands share (runs, export).
#pragma once

#include <cstdio>
#include <string>

#include "run_index.h"

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

// The index's runs that match `filters`, by start time. False, with the reason written to `err`,
// when the stopwatch is not registered or the index cannot be searched.
bool searchRuns(lapdex::RunIndex& index, RunFilters filters, std::vector<lapdex::RunRow>& rows,
                std::FILE* err);

// The usage text of the filters, for the commands' usage lines.
inline constexpr const char* kRunFilterUsage =
    "[--stopwatch NAME] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
    "                [--text WORDS] [--laps N]";

}  // namespace k7x
