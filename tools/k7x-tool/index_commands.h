// k7x-tool's commands over a data folder's run index: `runs`, `roster` and `export`.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace k7x {

// Runs `runs` or `roster` when `argv[1]` names one of them and returns its exit status; nullopt
// for any other command line.
[[nodiscard]] std::optional<int> runIndexCommand(int argc, const char* const* argv);

// `k7x-tool runs DATAFOLDER [--stopwatch NAME] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--text WORDS]
// [--laps N]`: one tab-separated line per run, header first. `args` excludes "runs".
[[nodiscard]] int runRuns(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// `k7x-tool roster DATAFOLDER`: one tab-separated line per registered stopwatch, header first.
[[nodiscard]] int runRoster(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// `k7x-tool export DATAFOLDER OUTDIR --format csv|tcx [the filters of runs] [--one-file]
// [--force]`: runs.csv and laps.csv, or one TCX file per run (--one-file: runs.tcx), in OUTDIR,
// which must lie outside the data folder; an existing file is replaced only with --force. Prints
// each file written and how many runs and laps they hold. `args` excludes "export".
[[nodiscard]] int runExport(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// The usage lines of the commands.
[[nodiscard]] const char* indexUsageText();

}  // namespace k7x
