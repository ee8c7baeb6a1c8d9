// k7x-tool repair: rebuilds a lost or damaged Lapdex.dat from the stopwatch folders.
#pragma once

#include <cstdio>
#include <string>

namespace k7x {

// Exit status of a repair that rebuilt the file but could not decide every folder.
inline constexpr int kRepairPartial = 3;

// `k7x-tool repair DATAFOLDER`: moves the old Lapdex.dat aside, writes a
// new one from the run files' serials and reports each decision on `out`, each folder it could not
// decide on `err`. 0 when whole, kRepairPartial when folders were left out, 1 on failure.
[[nodiscard]] int runRepair(const std::string& dataFolder, std::FILE* out, std::FILE* err);

}  // namespace k7x
