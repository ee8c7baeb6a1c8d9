// Dispatch of k7x-tool's run index commands.
#include "index_commands.h"

#include <cstring>

#include "lap_commands.h"

namespace k7x {

std::optional<int> runIndexCommand(int argc, const char* const* argv) {
    if (argc < 2) return std::nullopt;
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (std::strcmp(argv[1], "runs") == 0) return runRuns(args, stdout, stderr);
    if (std::strcmp(argv[1], "roster") == 0) return runRoster(args, stdout, stderr);
    if (std::strcmp(argv[1], "export") == 0) return runExport(args, stdout, stderr);
    if (std::strcmp(argv[1], "stats") == 0) return runStats(args, stdout, stderr);
    if (std::strcmp(argv[1], "day") == 0) return runDay(args, stdout, stderr);
    if (std::strcmp(argv[1], "bests") == 0) return runBests(args, stdout, stderr);
    return std::nullopt;
}

const char* indexUsageText() {
    return "  k7x-tool runs DATAFOLDER [--stopwatch NAME] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
           "                [--text WORDS] [--laps N]\n"
           "      the runs of the data folder, one tab-separated line each (header first)\n"
           "  k7x-tool roster DATAFOLDER\n"
           "      the registered stopwatches and their runs, one tab-separated line each\n"
           "  k7x-tool export DATAFOLDER OUTDIR --format xlsx|csv|tcx [the filters of runs]\n"
           "                [--one-file] [--force] [--lang ja|en]\n"
           "      runs.xlsx for spreadsheets (every value in a typed cell), runs.csv and\n"
           "      laps.csv for scripts, or one TCX file per run (--one-file: runs.tcx), in\n"
           "      OUTDIR outside the data folder; --force replaces existing files; --lang:\n"
           "      the language of the sheet names and header rows (ja unless given)\n"
           "  k7x-tool stats DATAFOLDER RUNFILE\n"
           "      every statistic of one run, one name<TAB>value line each\n"
           "  k7x-tool day DATAFOLDER YYYY-MM-DD\n"
           "      the team's day: every run of that date, its laps and total\n"
           "  k7x-tool bests DATAFOLDER [--stopwatch NAME]\n"
           "      the personal bests: fastest lap, fastest total per lap count\n";
}

}  // namespace k7x
