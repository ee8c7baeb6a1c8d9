// stopwatch-sim's options about the reader it answers as: its answer style and its name.
#pragma once

#include <optional>
#include <string>

#include "vpcd/sim_options.h"

namespace sim {

// --answers direct|get-response and --reader-name NAME. Nullopt when `name` is not one of
// them; otherwise whether the value is well-formed.
std::optional<bool> applyReaderOption(const std::string& name, const std::string& value,
                                      SimOptions& options);

// After all options: a reader name without --reader chooses the emulation as the reader
// library would ("ACS" first, then "Sony" or "SONY"); a name that contradicts --reader, or
// --answers direct for a Sony reader, is an error (false, `error` set).
bool resolveReaderOptions(SimOptions& options, std::string& error);

extern const char* const kSimReaderUsage;

}  // namespace sim
