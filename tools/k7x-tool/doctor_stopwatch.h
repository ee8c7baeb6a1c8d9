// The stopwatch checks of `k7x-tool doctor`, through RDCOM32 as Lapdex uses it. Nothing on
// the stopwatch changes: the new runs are counted with ranged reads, which send no erase.
#pragma once

#include <string>

#include "doctor_report.h"

namespace k7x {

// Polling, serial number, battery level, clock difference from the PC's clock and the runs
// waiting, on the reader RDCOM32 chooses. `logDirectory` empty: no debug log.
[[nodiscard]] CheckLines checkStopwatch(const std::string& logDirectory);

}  // namespace k7x
