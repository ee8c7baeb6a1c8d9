// The runs the crash child downloads on its d-th round, and how a run file name leads back to d.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/stopwatch.h"

namespace lapdex::crash {

inline constexpr char kSerial[] = "ab8967452301";
inline constexpr int kRunsPerRound = 2;

// Round d's runs fall on a day of their own (28-day months from 2001), one hour apart.
inline std::vector<sim::SimRun> roundRuns(int d) {
    std::vector<sim::SimRun> runs = sim::generateRuns(static_cast<uint32_t>(d) + 1, kRunsPerRound);
    for (size_t j = 0; j < runs.size(); ++j) {
        runs[j].year = 2001 + d / 336;
        runs[j].month = 1 + (d / 28) % 12;
        runs[j].day = 1 + d % 28;
        runs[j].hour = 8 + static_cast<int>(j);
        runs[j].minute = 0;
        runs[j].second = static_cast<int>(j);
    }
    return runs;
}

// The run index the child keeps beside (never inside) its data folder.
inline std::string runIndexPath(const std::string& dataFolder) {
    std::string folder = dataFolder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder + "-index/runs.sqlite";
}

// The round of a run file name "QTMyymmdd_...", or nullopt for another name.
inline std::optional<int> roundOf(const std::string& name) {
    if (name.size() < 9 || name.compare(0, 3, "QTM") != 0) return std::nullopt;
    for (size_t i = 3; i < 9; ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
    }
    const int year = 2000 + std::stoi(name.substr(3, 2));
    const int month = std::stoi(name.substr(5, 2));
    const int day = std::stoi(name.substr(7, 2));
    if (year < 2001 || month < 1 || month > 12 || day < 1 || day > 28) return std::nullopt;
    return (year - 2001) * 336 + (month - 1) * 28 + (day - 1);
}

}  // namespace lapdex::crash
