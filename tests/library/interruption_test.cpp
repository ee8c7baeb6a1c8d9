// The leftovers of interrupted dumps and exports go at the next start, and only those whose
// writer has ended.
#include "interruption.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The id of a process that has ended (and was reaped), so no running process has it.
long endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST(K7xLeftovers, OnlyTemporariesOfEndedWritersAreRemoved) {
    const std::string dead = std::to_string(endedProcess());
    const std::string self = std::to_string(::getpid());
    struct Case {
        std::string name;
        bool removedByDump;    // removeDeadTemporaries(folder, false, "runs.bin")
        bool removedByExport;  // removeDeadExportTemporaries(folder)
    };
    const std::vector<Case> cases = {
        {"runs.bin.tmp-" + dead + "-0", true, false},
        {"runs.bin.tmp-" + self + "-0", false, false},  // this process still writes it
        {"runs.bin.tmp-1-0", false, false},             // init runs
        {"other.bin.tmp-" + dead + "-0", false, false},
        {"runs.bin", false, false},
        {".runs.csv.tmp-" + dead + "-3", false, true},
        {".laps.csv.tmp-" + dead + "-3", false, true},
        {".QTM240101_060010_0123456789ab.tcx.tmp-" + dead + "-9", false, true},
        {".laps.csv.tmp-" + self + "-3", false, false},
        {".notes.txt.tmp-" + dead + "-1", false, false},  // not an export's file
        {"runs.csv", false, false},
    };
    for (const bool exporting : {false, true}) {
        std::string pattern = (fs::temp_directory_path() / "k7x-leftovers-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        for (const Case& c : cases) std::ofstream(pattern + "/" + c.name) << "partial";
        const int removed = exporting ? k7x::removeDeadExportTemporaries(pattern)
                                      : k7x::removeDeadTemporaries(pattern, false, "runs.bin");
        int expected = 0;
        for (const Case& c : cases) {
            const bool gone = exporting ? c.removedByExport : c.removedByDump;
            expected += gone ? 1 : 0;
            EXPECT_EQ(fs::exists(pattern + "/" + c.name), !gone)
                << c.name << (exporting ? " (export)" : " (dump)");
        }
        EXPECT_EQ(removed, expected);
        fs::remove_all(pattern);
    }
}

}  // namespace
