// k7x-tool repair: rebuilds a lost or damaged Lapdex.dat from the stopwatch folders.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace k7x {

// Exit status of a repair that rebuilt the file but could not decide every folder.
inline constexpr int kRepairPartial = 3;

// Runs `repair` when `argv[1]` names it and returns its exit status; nullopt otherwise.
[[nodiscard]] std::optional<int> runRepairCommand(int argc, const char* const* argv);

// `k7x-tool repair DATAFOLDER` (`args` excludes "repair"): moves the old Lapdex.dat aside, writes a
// new one from the run files' serials and reports each decision on `out`, each folder it could not
// decide on `err`. 0 when whole, kRepairPartial when folders were left out, 1 on failure, 2 on a
// wrong command line.
[[nodiscard]] int runRepair(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace k7x
