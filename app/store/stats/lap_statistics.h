// Statistics of a run's laps beyond the four the page always shows: how even the laps were
// (spread, median, slowest) and how the run held up (first half against second half).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "run_record.h"
#include "run_summary.h"

namespace lapdex {

// Every time is in hundredths of a second. A DecimalMinute time (thousandths of a minute) is six
// hundredths per unit, so both formats convert exactly; derived values (averages, spread) are
// fractional and kept as double.
struct LapStatistics {
    int lapCount = 0;
    std::int64_t totalCs = 0;  // the sum of the laps
    std::int64_t bestLapCs = 0;
    int bestLapNumber = 0;  // 1-based; the earliest of equal fastest laps
    std::int64_t slowestLapCs = 0;
    int slowestLapNumber = 0;  // 1-based; the earliest of equal slowest laps
    double averageLapCs = 0;
    double medianLapCs = 0;  // the mean of the two middle laps for an even count
    // Population standard deviation: the laps are the whole run, not a sample of it.
    double standardDeviationCs = 0;
    // Standard deviation divided by the average, as a fraction (0.05 is 5 %); 0 when the
    // average is 0.
    double coefficientOfVariation = 0;
    // The first ⌊n/2⌋ laps against the last ⌊n/2⌋; an odd count leaves the middle lap out of
    // both. Only when there are at least two laps.
    bool hasHalves = false;
    double firstHalfAverageCs = 0;
    double secondHalfAverageCs = 0;
    double fadeCs = 0;  // second half minus first half: positive when the run slowed down
    // The average of laps 2..n, which leaves out a standing start. Only with at least two laps.
    bool hasAverageWithoutFirst = false;
    double averageWithoutFirstCs = 0;
};

// Statistics of the lap times `lapsCs` (hundredths, in lap order). Nullopt without laps or when a
// lap time is unknown (negative).
std::optional<LapStatistics> lapStatistics(const std::vector<std::int64_t>& lapsCs);

// One time of a decoded run in hundredths of a second.
std::int64_t hundredthsOf(const RunTime& time, TimeFormat format);

// Statistics of a decoded run, or of a run as the index keeps it (with its laps).
std::optional<LapStatistics> runStatistics(const RunRecord& run);
std::optional<LapStatistics> runStatistics(const RunDetails& run);

}  // namespace lapdex

namespace lapdex {

// Seconds with two decimals, rounded to the nearest hundredth, with a minus sign when negative:
// 6666.667 -> "66.67", -570 -> "-5.70". Hundredths are the finer of the two stopwatch precisions
// (a thousandth of a minute is six of them).
std::string signedSecondsText(double hundredths);

}  // namespace lapdex
