// Runs for the export tests: Japanese names, memos a spreadsheet or an XML reader could misread,
// and both time formats.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "export_run.h"

namespace lapdex::testing {

inline RunDetails clockRun() {
    RunDetails run;
    run.start = "2024-01-31T09:30:15";
    run.timeFormat = TimeFormat::Clock;
    run.lapCount = 3;
    run.totalCs = 20000;
    run.bestLapCs = 6470;
    run.bestLapNumber = 2;
    run.averageLapCs = 6666;
    run.memo = "向かい風, \"強い\"\r\n二本目";
    run.laps = {{1, 7050, 7050, "=1+1"}, {2, 6470, 13520, "<速い> & 軽い"}, {3, 6480, 20000, ""}};
    return run;
}

inline RunDetails decimalRun() {
    RunDetails run;
    run.start = "2024-01-31T09:30:15";  // the same second on another stopwatch
    run.timeFormat = TimeFormat::DecimalMinute;
    run.lapCount = 2;
    run.totalCs = 2999 * 6;
    run.bestLapCs = 1499 * 6;
    run.bestLapNumber = 2;
    run.averageLapCs = 1499 * 6;
    run.memo = "-5秒";
    run.laps = {{1, 1500 * 6, 1500 * 6, "@集合"}, {2, 1499 * 6, 2999 * 6, "+ゴール"}};
    return run;
}

inline std::vector<ExportRun> exampleRuns() {
    return {
        {"走者Ａ・髙橋", "0123456789ab", "QTM-01/QTM240131_093015_0123456789ab.csv", clockRun()},
        {"QTM-02", "00000000beef", "QTM-02/QTM240131_093015_00000000beef.csv", decimalRun()}};
}

// Runs `command` through the shell; its standard output, and its exit status in `status`.
inline std::string commandOutput(const std::string& command, int& status) {
    std::string out;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer{};
        for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
            out.append(buffer.data(), n);
        status = ::pclose(pipe);
    } else {
        status = -1;
    }
    return out;
}

// `text` quoted for the shell.
inline std::string shellQuoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace lapdex::testing
