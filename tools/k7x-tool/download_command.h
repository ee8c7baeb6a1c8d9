// k7x-tool download: one download through Lapdex's own engine into a data folder.
#pragma once

#include <chrono>

#include "invocation.h"

namespace k7x {

inline constexpr std::chrono::seconds kStopwatchWait{15};

// Says at once when the PC/SC service or a reader is missing. Otherwise takes the data-folder
// lock (as Lapdex does), refuses a Lapdex.dat that cannot be read or is damaged, waits up to
// `wait` for a stopwatch, downloads its new (or all) runs, registers it when it is new, writes
// the missing run files and returns 0; 1 when nothing could be downloaded (the data folder is
// then left as it was) or a run file could not be written. SIGINT or SIGTERM ends the run files
// after the group being written, prints one line on what was saved and what to run next, and
// returns kInterruptedStatus.
[[nodiscard]] int runDownload(const Invocation& invocation,
                              std::chrono::milliseconds wait = kStopwatchWait);

}  // namespace k7x
