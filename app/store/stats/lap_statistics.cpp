// Statistics of a run's laps.
#include "lap_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lapdex {
namespace {

double averageOf(const std::vector<std::int64_t>& laps, std::size_t first, std::size_t count) {
    double sum = 0;
    for (std::size_t i = first; i < first + count; ++i) sum += static_cast<double>(laps[i]);
    return sum / static_cast<double>(count);
}

double medianOf(std::vector<std::int64_t> laps) {
    std::sort(laps.begin(), laps.end());
    const std::size_t n = laps.size();
    if (n % 2 == 1) return static_cast<double>(laps[n / 2]);
    return (static_cast<double>(laps[n / 2 - 1]) + static_cast<double>(laps[n / 2])) / 2.0;
}

void setExtremes(const std::vector<std::int64_t>& laps, LapStatistics& stats) {
    std::size_t best = 0;
    std::size_t slowest = 0;
    for (std::size_t i = 1; i < laps.size(); ++i) {
        // Strict comparisons keep the earliest of equal laps.
        if (laps[i] < laps[best]) best = i;
        if (laps[i] > laps[slowest]) slowest = i;
    }
    stats.bestLapCs = laps[best];
    stats.bestLapNumber = static_cast<int>(best) + 1;
    stats.slowestLapCs = laps[slowest];
    stats.slowestLapNumber = static_cast<int>(slowest) + 1;
}

void setSpread(const std::vector<std::int64_t>& laps, LapStatistics& stats) {
    double squares = 0;
    for (std::int64_t lap : laps) {
        const double d = static_cast<double>(lap) - stats.averageLapCs;
        squares += d * d;
    }
    stats.standardDeviationCs = std::sqrt(squares / static_cast<double>(laps.size()));
    stats.coefficientOfVariation =
        stats.averageLapCs > 0 ? stats.standardDeviationCs / stats.averageLapCs : 0.0;
}

}  // namespace

std::optional<LapStatistics> lapStatistics(const std::vector<std::int64_t>& lapsCs) {
    if (lapsCs.empty()) return std::nullopt;
    if (std::any_of(lapsCs.begin(), lapsCs.end(), [](std::int64_t lap) { return lap < 0; }))
        return std::nullopt;
    LapStatistics stats;
    const std::size_t n = lapsCs.size();
    stats.lapCount = static_cast<int>(n);
    for (std::int64_t lap : lapsCs) stats.totalCs += lap;
    stats.averageLapCs = averageOf(lapsCs, 0, n);
    setExtremes(lapsCs, stats);
    stats.medianLapCs = medianOf(lapsCs);
    setSpread(lapsCs, stats);
    if (n >= 2) {
        const std::size_t half = n / 2;
        stats.hasHalves = true;
        stats.firstHalfAverageCs = averageOf(lapsCs, 0, half);
        stats.secondHalfAverageCs = averageOf(lapsCs, n - half, half);
        stats.fadeCs = stats.secondHalfAverageCs - stats.firstHalfAverageCs;
        stats.hasAverageWithoutFirst = true;
        stats.averageWithoutFirstCs = averageOf(lapsCs, 1, n - 1);
    }
    return stats;
}

std::int64_t hundredthsOf(const RunTime& time, TimeFormat format) {
    if (format == TimeFormat::DecimalMinute) return static_cast<std::int64_t>(time.thousandths) * 6;
    return ((static_cast<std::int64_t>(time.hours) * 60 + time.minutes) * 60 + time.seconds) * 100 +
           time.hundredths;
}

std::optional<LapStatistics> runStatistics(const RunRecord& run) {
    std::vector<std::int64_t> laps;
    laps.reserve(run.laps.size());
    for (const LapEntry& lap : run.laps) laps.push_back(hundredthsOf(lap.lap, run.timeFormat));
    return lapStatistics(laps);
}

std::optional<LapStatistics> runStatistics(const RunDetails& run) {
    std::vector<std::int64_t> laps;
    laps.reserve(run.laps.size());
    for (const LapDetails& lap : run.laps) laps.push_back(lap.lapCs);
    return lapStatistics(laps);
}

}  // namespace lapdex

namespace lapdex {

std::string signedSecondsText(double hundredths) {
    const long long cs = std::llround(hundredths);
    const long long magnitude = cs < 0 ? -cs : cs;
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", cs < 0 ? "-" : "", magnitude / 100,
                  magnitude % 100);
    return text;
}

}  // namespace lapdex
