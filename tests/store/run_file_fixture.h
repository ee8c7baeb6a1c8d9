// Shared helpers of the run file tests: the worked-example record and whole-file reads and writes.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "run_record.h"

namespace lapdex::testing {

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The Clock example: 31 January 2024 09:30:15, splits 00:01:10.50, 00:02:15.20, 00:03:20.00.
inline RunRecord clockExample() {
    RunRecord r;
    r.start = {2024, 1, 31, 9, 30, 15};
    r.timeFormat = TimeFormat::Clock;
    const RunTime laps[3] = {{0, 1, 10, 50, 0}, {0, 1, 4, 70, 0}, {0, 1, 4, 80, 0}};
    const RunTime splits[3] = {{0, 1, 10, 50, 0}, {0, 2, 15, 20, 0}, {0, 3, 20, 0, 0}};
    for (int i = 0; i < 3; ++i) r.laps.push_back({i + 1, laps[i], splits[i], ""});
    r.lapCount = 3;
    r.total = splits[2];
    r.bestLapNumber = 2;
    r.bestLap = laps[1];
    r.averageLap = {0, 1, 6, 66, 0};
    return r;
}

}  // namespace lapdex::testing
