// Lap, comparison and average arithmetic of run times.
#include "run_times.h"

#include <tuple>

namespace lapdex {
namespace {

std::uint64_t toHundredths(const RunTime& t) {
    return ((static_cast<std::uint64_t>(t.hours) * 60 + t.minutes) * 60 + t.seconds) * 100 +
           t.hundredths;
}

// For splits whose fields are in range this equals the field-wise subtraction with borrows; for
// fields out of range (which the stopwatch should never send) it still gives a proper time.
RunTime fromHundredths(std::uint64_t value) {
    RunTime t;
    t.hundredths = static_cast<std::uint32_t>(value % 100);
    value /= 100;
    t.seconds = static_cast<std::uint32_t>(value % 60);
    value /= 60;
    t.minutes = static_cast<std::uint32_t>(value % 60);
    t.hours = static_cast<std::uint32_t>(value / 60);
    return t;
}

RunTime fromThousandths(std::uint32_t value) {
    RunTime t;
    t.thousandths = value;
    return t;
}

}  // namespace

std::uint32_t toThousandths(const RunTime& split) {
    return 1000 * (60 * split.hours + split.minutes) + (100 * split.seconds + split.hundredths) / 6;
}

RunTime lapTime(const RunTime& previous, const RunTime& split, TimeFormat timeFormat) {
    if (timeFormat == TimeFormat::DecimalMinute) {
        const std::uint32_t from = toThousandths(previous);
        const std::uint32_t to = toThousandths(split);
        return fromThousandths(to >= from ? to - from : 0);
    }
    const std::uint64_t from = toHundredths(previous);
    const std::uint64_t to = toHundredths(split);
    return fromHundredths(to >= from ? to - from : 0);
}

bool isFaster(const RunTime& lap, const RunTime& best, TimeFormat timeFormat) {
    if (timeFormat == TimeFormat::DecimalMinute) return lap.thousandths < best.thousandths;
    return std::tie(lap.hours, lap.minutes, lap.seconds, lap.hundredths) <
           std::tie(best.hours, best.minutes, best.seconds, best.hundredths);
}

RunTime averageLapTime(const RunTime& total, std::uint32_t lapCount, TimeFormat timeFormat) {
    if (timeFormat == TimeFormat::Clock) return fromHundredths(toHundredths(total) / lapCount);
    const std::uint64_t wholeMinutes = 60ULL * total.hours + total.minutes;
    const std::uint64_t hundredthsInMinute = 100ULL * total.seconds + total.hundredths;
    const std::uint64_t a = wholeMinutes / lapCount;
    const std::uint64_t b = (6000 * (wholeMinutes % lapCount) + hundredthsInMinute) / lapCount;
    return fromThousandths(static_cast<std::uint32_t>(1000 * a + b / 6));
}

}  // namespace lapdex
