// k7x-tool's commands over a data folder's run index: runs, roster, export, stats, day, bests.
#pragma once

#include <cstdio>
#include <optional>

#include "invocation.h"

namespace k7x {

// Runs the command `invocation` names when it is one over a data folder and returns its exit
// status (0 whole, 1 failed, 3 partial: each run or folder left out is named on `err`); nullopt
// for any other command. The answer goes to `out`, in the invocation's form.
[[nodiscard]] std::optional<int> runIndexCommand(const Invocation& invocation, std::FILE* out,
                                                 std::FILE* err);

// `runs DATAFOLDER [filters]`: one line per run (tab name, serial, start, lap count, total, best
// lap, its number, average lap, path inside the data folder, run memo).
[[nodiscard]] int runRuns(const Invocation& invocation, std::FILE* out, std::FILE* err);

// `roster DATAFOLDER`: one line per registered stopwatch.
[[nodiscard]] int runRoster(const Invocation& invocation, std::FILE* out, std::FILE* err);

// `export DATAFOLDER OUTDIR --format xlsx|csv|tcx [filters] [--one-file] [--force] [--lang]`:
// runs.xlsx, runs.csv and laps.csv, or TCX files in OUTDIR, which must lie outside the data
// folder; an existing file is replaced only with --force. Prints each file written and how many
// runs and laps they hold.
[[nodiscard]] int runExport(const Invocation& invocation, std::FILE* out, std::FILE* err);

}  // namespace k7x
