// Which stopwatch a run belongs to: its folder name within the data folder it was read from, so
// that "QTM-01" of this PC and "QTM-01" of a club folder are never taken for one stopwatch.
#pragma once

#include <string>
#include <utility>

#include "run_source.h"

namespace lapdex {

// (pc, folderName): pc "" is this PC's data folder, else the club folder's label.
using StopwatchKey = std::pair<std::string, std::string>;

inline StopwatchKey keyOf(const RunStopwatch& stopwatch) {
    return {stopwatch.pc, stopwatch.folderName};
}
inline StopwatchKey keyOf(const RunRow& row) {
    return {row.pc, row.folderName};
}
inline bool sameStopwatch(const RunRow& row, const RunStopwatch& stopwatch) {
    return row.pc == stopwatch.pc && row.folderName == stopwatch.folderName;
}

}  // namespace lapdex
