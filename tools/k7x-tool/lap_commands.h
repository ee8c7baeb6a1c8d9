// k7x-tool's commands on the laps of a data folder's runs: `stats`, `day` and `bests`.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace k7x {

// `k7x-tool stats DATAFOLDER RUNFILE`: every statistic of one run as "name<TAB>value" lines, times
// in seconds. RUNFILE is the run file's path, or "QTM-01/<name>" inside the data folder.
[[nodiscard]] int runStats(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// `k7x-tool day DATAFOLDER YYYY-MM-DD`: the team's day, a header, then one tab-separated line per
// run (tab name, start, lap 1..n, total); a run with fewer laps leaves its last lap cells empty.
[[nodiscard]] int runDay(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// `k7x-tool bests DATAFOLDER [--stopwatch NAME]`: each stopwatch's fastest lap and its fastest
// total of each lap count, with run and start, one tab-separated line each, header first.
[[nodiscard]] int runBests(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// The usage lines of the three commands.
[[nodiscard]] const char* lapUsageText();

}  // namespace k7x
