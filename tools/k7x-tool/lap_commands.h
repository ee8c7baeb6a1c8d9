// k7x-tool's commands on the laps of a data folder's runs: `stats`, `day` and `bests`.
#pragma once

#include <cstdio>
#include <optional>

#include "index_session.h"
#include "invocation.h"
#include "team_day.h"

namespace k7x {

// `stats DATAFOLDER RUNFILE`: every statistic of one run as "name<TAB>value" lines, times in
// seconds. RUNFILE is the run file's bare name (as bests prints it), "QTM-01/<name>" inside the
// data folder (as runs prints it), or a path ending in those two.
[[nodiscard]] int runStats(const Invocation& invocation, std::FILE* out, std::FILE* err);

// `day DATAFOLDER YYYY-MM-DD`: the team's day, a header, then one line per run (tab name, start,
// lap 1..n, total); a run with fewer laps leaves its last lap cells empty.
[[nodiscard]] int runDay(const Invocation& invocation, std::FILE* out, std::FILE* err);

// `bests DATAFOLDER [--stopwatch NAME]`: each stopwatch's fastest lap and its fastest total of
// each lap count, with run and start, one line each.
[[nodiscard]] int runBests(const Invocation& invocation, std::FILE* out, std::FILE* err);

// The runs of `invocation.date` in the group asked for, with a warning on `err` for each run or
// folder that could not be read; nullopt, with the reason on `err`, when they cannot be listed.
std::optional<lapdex::TeamDay> dayOfInvocation(IndexSession& session, const Invocation& invocation,
                                               std::FILE* err);

// `sessions DATAFOLDER YYYY-MM-DD [--gap MINUTES]`: one block per session, its line (start, end),
// then its runs (tab name, start, lap count, total, path).
[[nodiscard]] int runSessions(const Invocation& invocation, std::FILE* out, std::FILE* err);

// `progress DATAFOLDER --stopwatch NAME [--laps N] [--from D] [--to D]`: the stopwatch's runs of
// that lap count in date order with start, total, best lap and whether it set a best.
[[nodiscard]] int runProgress(const Invocation& invocation, std::FILE* out, std::FILE* err);

}  // namespace k7x
