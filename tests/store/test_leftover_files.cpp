// Temporaries of writes that never finished go at the next start, and only they.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "configuration.h"
#include "leftover_files.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::TempFolder;

TEST(LeftoverFiles, StartUpRemovesTheTemporariesOfACrashAndNothingElse) {
    struct Case {
        std::string path;  // inside the data folder
        bool removed;
    };
    const std::vector<Case> cases = {
        {"QTM-01/.QTM240131_093015_0123456789ab.csv.tmp-4242-0", true},
        {"QTM-100/.QTM240131_093015_0123456789ab.csv.tmp-1-17", true},
        {".Lapdex.dat.tmp-77-3", true},
        {".History.csv.tmp-77-4", true},
        {"QTM-01/QTM240131_093015_0123456789ab.csv", false},
        {"QTM-01/QTM240131_bak.csv", false},
        {"QTM-01/.hidden", false},
        {"QTM-01/.x.tmp-12", false},
        {"QTM-01/.x.tmp-12-", false},
        {"QTM-01/.x.tmp-a-1", false},
        {"QTM-01/x.csv.tmp-12-1", false},  // not one of the store's hidden names
        {"Lapdex.dat", false},
        {"Temp_20240131/.x.tmp-1-1", false},  // outside the stopwatch folders
    };
    TempFolder dir;
    for (const Case& c : cases) {
        std::filesystem::create_directories(std::filesystem::path(dir / c.path).parent_path());
        std::ofstream(dir / c.path) << "partial";
        ::chmod((dir / c.path).c_str(), 0444);  // the run file writer's temporaries are read-only
    }
    PosixFileSystem fs;
    DataFolder data(fs, dir.path());
    createStopwatchFolders(data, loadConfiguration(data, "ENG").registry);
    for (const Case& c : cases)
        EXPECT_EQ(!std::filesystem::exists(dir / c.path), c.removed) << c.path;
}

TEST(LeftoverFiles, TemporaryNamesGiveTheirWritersProcess) {
    struct Case {
        std::string name;
        bool hidden;
        std::string target;
        long owner;
    };
    const std::vector<Case> cases = {
        {".runs.csv.tmp-123-0", true, "", 123},
        {".runs.csv.tmp-123-0", true, "runs.csv", 123},
        {".laps.csv.tmp-123-0", true, "runs.csv", 0},
        {"dump.bin.tmp-99-2", false, "dump.bin", 99},
        {"dump.bin.tmp-99-2", true, "", 0},
        {"other.bin.tmp-99-2", false, "dump.bin", 0},
        {".tmp-1-1", true, "", 0},
        {".a.tmp-12345678901-1", true, "", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(temporaryFileOwner(c.name, c.hidden, c.target), c.owner) << c.name;
}

}  // namespace
}  // namespace lapdex
