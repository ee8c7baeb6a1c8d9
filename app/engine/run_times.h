// Arithmetic on run times: lap times, lap comparison and the average lap in both time formats.
#pragma once

#include <cstdint>

#include "run_record.h"

namespace lapdex {

// DecimalMinute value of a split read as hours, minutes, seconds and hundredths:
// 1000 x (60h + m) + floor((100s + c) / 6), i.e. hundredths that do not fill a thousandth are dropped.
std::uint32_t toThousandths(const RunTime& split);

// Time of the lap that ends at `split` and began at `previous` (all zero before the first lap).
// Clock: the field-wise difference with borrows, written as hours, minutes, seconds, hundredths.
// DecimalMinute: the difference of the thousandths. A split below the previous one (a decoding
// fault on the stopwatch's side) gives a lap of zero rather than a wrapped-around number.
RunTime lapTime(const RunTime& previous, const RunTime& split, TimeFormat timeFormat);

// True when `lap` is strictly shorter than `best` (Clock: hours, then minutes, seconds, hundredths).
bool isFaster(const RunTime& lap, const RunTime& best, TimeFormat timeFormat);

// Average lap of a run of `lapCount` (>= 1) laps whose last split is `total`, truncated.
// Clock: total hundredths / n. DecimalMinute: the DecimalMinute value of (total hundredths / n).
RunTime averageLapTime(const RunTime& total, std::uint32_t lapCount, TimeFormat timeFormat);

}  // namespace lapdex
