// Shared helpers of the run file tests: the worked-example record and whole-file reads and writes.
#pragma once

#include <cstdint>
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

// Two laps in thousandths of a minute, 1.500 and 1.499 (90.00 and 89.94 s), started at `start`.
inline RunRecord decimalExample(RunStart start) {
    RunRecord b = clockExample();
    b.start = start;
    b.timeFormat = TimeFormat::DecimalMinute;
    b.laps.resize(2);
    b.laps[0].lap = b.laps[0].split = {0, 0, 0, 0, 1500};
    b.laps[1].lap = {0, 0, 0, 0, 1499};
    b.laps[1].split = b.total = {0, 0, 0, 0, 2999};
    b.lapCount = 2;
    b.bestLapNumber = 2;
    b.bestLap = b.averageLap = b.laps[1].lap;
    return b;
}

// `hundredths` as a Clock time.
inline RunTime clockTime(std::uint32_t hundredths) {
    return RunTime{hundredths / 360000, hundredths / 6000 % 60, hundredths / 100 % 60,
                   hundredths % 100, 0};
}

// A Clock run of `laps` laps, lap i taking `lapHundredths` + `step` × i hundredths and split i
// that lap's time × i. Best and average are lap 1's: the tests that use it read the laps.
inline RunRecord steadyRun(RunStart start, int laps, std::uint32_t lapHundredths,
                           std::string memo = {}, std::uint32_t step = 0) {
    RunRecord r;
    r.start = start;
    for (int i = 1; i <= laps; ++i) {
        const std::uint32_t lap = lapHundredths + step * std::uint32_t(i);
        r.laps.push_back(LapEntry{i, clockTime(lap), clockTime(lap * std::uint32_t(i)), {}});
    }
    r.lapCount = laps;
    r.total = r.laps.back().split;
    r.bestLapNumber = 1;
    r.bestLap = r.averageLap = r.laps.front().lap;
    r.memo = std::move(memo);
    return r;
}

}  // namespace lapdex::testing
