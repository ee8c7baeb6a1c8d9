// k7x-tool download: one download through Lapdex's own engine into a data folder.
#pragma once

#include "command_line.h"

namespace k7x {

// Waits up to 15 s for a stopwatch, downloads its new (or all) runs, registers it when it
// is new, writes the missing run files and returns 0; 1 when nothing could be downloaded
// or a run file could not be written.
[[nodiscard]] int runDownload(const Invocation& invocation);

}  // namespace k7x
