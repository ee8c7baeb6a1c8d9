// stopwatch-sim's reader options taken together: the emulation a reader's name chooses.
#pragma once

#include <optional>
#include <string>

#include "vpcd/sim_options.h"

namespace sim {

// After all options: a reader name without --reader chooses the emulation as the reader
// library would ("ACS" first, then "Sony" or "SONY"); a name that contradicts --reader, or
// --answers direct for a Sony reader, is an error (false, `error` set).
bool resolveReaderOptions(SimOptions& options, std::string& error);

}  // namespace sim
