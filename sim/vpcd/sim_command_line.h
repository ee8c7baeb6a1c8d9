// stopwatch-sim's command line as a CLI11 application: its options in the order --help shows
// them, each writing its checked value into SimOptions.
#pragma once

#include <CLI/CLI.hpp>

#include "vpcd/sim_options.h"

namespace sim {

// Adds every option to `app`; parsing `app` fills `options`, which must outlive it. A bad value
// throws CLI::ValidationError naming the option and the values it takes, in one line.
void describeSimOptions(CLI::App& app, SimOptions& options);

}  // namespace sim
