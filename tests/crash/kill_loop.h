// Kills the crash child at random moments and checks the data folder after every kill.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lapdex::crash {

struct KillLoopReport {
    int kills = 0;
    int runFiles = 0;        // complete run files seen after the last kill
    int editedRunFiles = 0;  // of them, files carrying a memo
    int leftovers = 0;       // temporaries and "_bak.csv" copies seen after kills, summed
    std::vector<std::string> problems;
};

// Starts `childPath` on `dataFolder` `kills` times, each time killing it with SIGKILL after a
// delay drawn from `seed` (between `minDelayMs` and `maxDelayMs`), then checks the folder.
KillLoopReport runKillLoop(const std::string& childPath, const std::string& dataFolder, int kills,
                           std::uint32_t seed, int minDelayMs = 5, int maxDelayMs = 80);

// The checks alone: every run file complete and readable, Lapdex.dat loadable, the catalogue
// listing no leftover as a run. Problems are appended to `report`.
void checkDataFolder(const std::string& dataFolder, KillLoopReport& report);

}  // namespace lapdex::crash
