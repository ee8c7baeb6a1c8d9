// The laps of the benchmarks' generated runs: one shape for every benchmark that writes run files.
#pragma once

#include <cstdint>

#include "run_record.h"

namespace lapdex::bench {

// `laps` laps of 1:10.50, split n at 70.50 s × n plus `jitter` hundredths, so runs differ; total,
// best and average set to match (best and average are lap 1's, as the benchmarks need no more).
inline void addBenchLaps(RunRecord& run, int laps, std::uint32_t jitter) {
    for (int n = 1; n <= laps; ++n) {
        const std::uint32_t split = 7050u * static_cast<std::uint32_t>(n) + jitter;
        run.laps.push_back(LapEntry{n,
                                    RunTime{0, 1, 10, 50, 0},
                                    RunTime{0, split / 6000 % 60, split / 100 % 60, split % 100, 0},
                                    {}});
    }
    run.lapCount = laps;
    run.total = run.laps.back().split;
    run.bestLapNumber = 1;
    run.bestLap = run.averageLap = run.laps.front().lap;
}

}  // namespace lapdex::bench
