// The registry never mixes two stopwatches in one folder; a damaged Lapdex.dat is told apart and
// rebuilt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <vector>

#include "configuration.h"
#include "profile_file.h"
#include "registry_repair.h"
#include "run_file_format.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::TempFolder;
using namespace std::string_literals;

constexpr const char* kA = "0123456789ab";
constexpr const char* kB = "00000000beef";
constexpr const char* kC = "cafe00000000";

// Lays out a data set in `root`: Lapdex.dat holding `profile` when there is one, and each
// stopwatch folder (by slot number, 1 = QTM-01) with run files of the given names.
void layOut(const std::filesystem::path& root, const std::optional<std::string>& profile,
            const std::map<int, std::vector<std::string>>& folders) {
    if (profile) std::ofstream(root / "Lapdex.dat", std::ios::binary) << *profile;
    for (const auto& [number, names] : folders) {
        const std::string folder = DataFolder::stopwatchFolderName(number - 1);
        std::filesystem::create_directories(root / folder);
        for (const std::string& name : names) std::ofstream(root / (folder + "/" + name)) << "x";
    }
}

std::string runName(const std::string& serial, int second = 15) {
    char name[64];
    std::snprintf(name, sizeof name, "QTM240131_0930%02d_%s.csv", second, serial.c_str());
    return name;
}

// A file system whose listing of one folder fails, as an unreadable folder's would.
class UnlistableFolderFs : public PosixFileSystem {
  public:
    std::string unlistable;
    FolderListing listFolder(const std::string& folder) override {
        if (!unlistable.empty() && folder.ends_with(unlistable)) return {{FsError::Io, EACCES}, {}};
        return PosixFileSystem::listFolder(folder);
    }
};

class DataFolderTest : public ::testing::Test {
  protected:
    // Lays run files of `serials` (and any other names given) into the folder of slot number
    // `number`.
    void lay(int number, const std::vector<std::string>& names) {
        const std::filesystem::path folder = dir / DataFolder::stopwatchFolderName(number - 1);
        std::filesystem::create_directories(folder);
        for (const std::string& name : names) std::ofstream(folder / name) << "x";
    }
    void writeDat(std::string_view bytes) {
        std::ofstream(dir / "Lapdex.dat", std::ios::binary) << bytes;
    }
    std::string dat() { return fs.readFile(data.configurationFile()).bytes; }
    TempFolder dir;
    UnlistableFolderFs fs;
    DataFolder data{fs, dir.path()};
};

using NewStopwatchSlot = DataFolderTest;

TEST_F(NewStopwatchSlot, NeverGoesIntoAFolderHoldingAnotherStopwatchsRuns) {
    struct Case {
        const char* what;
        std::vector<int> registered;                      // slot numbers in use
        std::map<int, std::vector<std::string>> folders;  // slot number -> file names
        std::string unlistable;                           // a folder that cannot be listed
        int expected;                                     // slot index, -1: none
    };
    const std::vector<Case> cases = {
        {"empty data folder", {}, {}, "", 0},
        {"lost registry, QTM-01 holds another's runs", {}, {{1, {runName(kB)}}}, "", 1},
        {"its own runs are no obstacle", {}, {{1, {runName(kA)}}}, "", 0},
        {"other files are no obstacle", {}, {{1, {"notes.txt", "QTM240131_bak.csv"}}}, "", 0},
        {"upper-case names count", {}, {{1, {"qtm240131_093015_00000000BEEF.CSV"}}}, "", 1},
        {"several occupied folders in a row",
         {1, 2},
         {{3, {runName(kB)}}, {4, {runName(kC)}}},
         "",
         4},
        {"a folder that cannot be listed is passed over", {1}, {{2, {}}}, "QTM-02", 2},
        {"with slot 100 in use the next usable gap", {1, 2, 100}, {{3, {runName(kB)}}}, "", 3},
        {"past the last slot it wraps round to slot 1",
         {98},
         {{99, {runName(kB)}}, {100, {runName(kC)}}},
         "",
         0},
        {"none usable", {}, {}, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder fresh;
        DataFolder folder(fs, fresh.path());
        Configuration config;
        for (int number : c.registered) config.registry.entry(number - 1) = {kC, "x", 0};
        if (c.expected == -1) {
            for (int number = 1; number <= 99; ++number)
                config.registry.entry(number - 1) = {kC, "x", 0};
            layOut(fresh.path(), std::nullopt, {{100, {runName(kB)}}});
        }
        layOut(fresh.path(), std::nullopt, c.folders);
        fs.unlistable = c.unlistable;
        EXPECT_EQ(addStopwatch(config, folder, kA, nullptr), c.expected);
        if (c.expected >= 0) {
            EXPECT_EQ(config.registry.findBySerial(kA), c.expected);
            EXPECT_EQ(loadConfiguration(folder, "ENG").registry.entry(c.expected).serialText, kA);
        } else {
            EXPECT_EQ(config.registry.findBySerial(kA), -1);
        }
    }
}

TEST(RunFileNames, GiveTheSerialTheyCarry) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"QTM240131_093015_0123456789ab.csv", "0123456789ab"},
        {"qtm240131_093015_0123456789AB.CSV", "0123456789ab"},
        {"QTM2401311_0930150_0123456789ab.csv",
         "0123456789ab"},  // out-of-range fields take more digits
        {"QTM240131_093015_0123456789a.csv", ""},
        {"QTM240131_093015_0123456789ag.csv", ""},
        {"QTM240131_bak.csv", ""},
        {"QTM240131093015_0123456789ab.csv", ""},
        {"XTM240131_093015_0123456789ab.csv", ""},
        {".QTM240131_093015_0123456789ab.csv.tmp-12-0", ""},
        {"QTM_093015_0123456789ab.csv", ""},
    };
    for (const auto& [name, serial] : cases) EXPECT_EQ(serialOfRunFileName(name), serial) << name;
    RunStart start{2024, 1, 31, 9, 30, 15};
    EXPECT_EQ(serialOfRunFileName(runFileName(start, kA)), kA);
}

using ConfigurationFileHealth = DataFolderTest;

// ASCII text as UTF-16LE with its byte-order mark, as Lapdex.dat is kept once a name needs it.
std::string utf16(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

TEST_F(ConfigurationFileHealth, TellsADamagedFileFromASoundOne) {
    const std::string sound =
        "[Config]\r\nLOCATION=ENG\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n[User]\r\nQTM01_SERIAL=" +
        std::string(kA) + "\r\nQTM01_NAME=QTM-01\r\n";
    std::string random;
    for (int i = 0; i < 600; ++i) random += static_cast<char>((i * 7919 + 13) % 251);
    struct Case {
        const char* what;
        std::optional<std::string> file;
        bool runsOnDisk;
        ConfigurationFileState expected;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"no file", std::nullopt, true, ConfigurationFileState::Missing, ""},
        {"a saved file", sound, true, ConfigurationFileState::Sound, ""},
        {"UTF-16 with its mark", utf16(sound), true, ConfigurationFileState::Sound, ""},
        {"comments and blank lines", "; notes\r\n\r\n" + sound, true, ConfigurationFileState::Sound,
         ""},
        {"no stopwatch yet", "[Config]\r\nPCTIME=ON\r\n", false, ConfigurationFileState::Sound, ""},
        {"an empty file, no runs", "", false, ConfigurationFileState::Sound, ""},
        {"cut short before [User]", "[Config]\r\nLOCATION=ENG\r\nPCT", true,
         ConfigurationFileState::Damaged, "line 3 is neither a section, a setting nor a comment"},
        {"cut short at a line end", "[Config]\r\nLOCATION=ENG\r\n", true,
         ConfigurationFileState::Damaged, "it has no [User] section, yet QTM-01 holds run files"},
        {"an empty file beside runs", "", true, ConfigurationFileState::Damaged,
         "it has no [User] section, yet QTM-01 holds run files"},
        {"random bytes", random, true, ConfigurationFileState::Damaged, "line 1 "},
        {"a NUL inside a setting", "[User]\r\nQTM01_NAME=a\0b\r\n"s, false,
         ConfigurationFileState::Damaged, "line 2 "},
        {"a value without a key", "[User]\r\n=QTM-01\r\n", false, ConfigurationFileState::Damaged,
         "line 2 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder fresh;
        DataFolder folder(fs, fresh.path());
        std::map<int, std::vector<std::string>> folders;
        if (c.runsOnDisk) folders[1] = {runName(kA)};
        layOut(fresh.path(), c.file, folders);
        const ConfigurationFileCheck check = checkConfigurationFile(folder);
        EXPECT_EQ(check.state, c.expected);
        EXPECT_EQ(check.reason.substr(0, c.reason.size()), c.reason);
    }
}

TEST_F(ConfigurationFileHealth, AFileThatCannotBeReadIsUnreadableNotDamaged) {
    std::filesystem::create_directories(dir / "Lapdex.dat");  // reading a folder fails
    const ConfigurationFileCheck check = checkConfigurationFile(data);
    EXPECT_EQ(check.state, ConfigurationFileState::Unreadable);
    EXPECT_FALSE(check.status.ok());
}

using RegistryRepair = DataFolderTest;

TEST_F(RegistryRepair, RebuildsTheRegistryFromTheFoldersAndSaysWhatItCouldNotDecide) {
    struct Case {
        const char* what;
        std::optional<std::string> oldFile;
        std::map<int, std::vector<std::string>> folders;
        std::map<int, std::pair<std::string, std::string>> expected;  // slot number -> serial, name
        std::vector<std::pair<std::string, RepairDoubt>> undecided;
        std::string pcTime;
    };
    const std::string cutShort = "[Config]\r\nLOCATION=JPN\r\nTIMECOMP=OFF\r\nPCTIME=OFF\r\n";
    const std::string named = cutShort + "[User]\r\nQTM02_SERIAL=" + kB +
                              "\r\nQTM02_NAME=Hanako\r\n" + "QTM03_SERIAL=" + kA +
                              "\r\nQTM03_NAME=Moved\r\n";
    const std::vector<Case> cases = {
        {"no old file",
         std::nullopt,
         {{1, {runName(kA), runName(kA, 16)}}},
         {{1, {kA, "QTM-01"}}},
         {},
         "ON"},
        {"cut short: settings kept",
         cutShort,
         {{1, {runName(kA)}}, {3, {runName(kB), "notes.txt"}}},
         {{1, {kA, "QTM-01"}}, {3, {kB, "QTM-03"}}},
         {},
         "OFF"},
        {"names kept where the old file agrees",
         named,
         {{2, {runName(kB)}}, {4, {runName(kA)}}},
         {{2, {kB, "Hanako"}}, {4, {kA, "QTM-04"}}},
         {},
         "OFF"},
        {"mixed, empty and doubled folders are left out",
         "\x01\x02garbage\n\xff\xfe\xfd",
         {{1, {runName(kA)}},
          {2, {runName(kA), runName(kC)}},
          {5, {}},
          {7, {runName(kA, 20)}},
          {9, {runName(kB)}}},
         {{1, {kA, "QTM-01"}}, {9, {kB, "QTM-09"}}},
         {{"QTM-02", RepairDoubt::MixedSerials},
          {"QTM-05", RepairDoubt::NoRuns},
          {"QTM-07", RepairDoubt::SerialElsewhere}},
         "ON"},
        {"an unreadable folder",
         cutShort,
         {{1, {runName(kA)}}, {4, {runName(kB)}}},
         {{1, {kA, "QTM-01"}}},
         {{"QTM-04", RepairDoubt::Unreadable}},
         "OFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder fresh;
        DataFolder folder(fs, fresh.path());
        layOut(fresh.path(), c.oldFile, c.folders);
        fs.unlistable = c.undecided.size() == 1 && c.undecided[0].second == RepairDoubt::Unreadable
                            ? c.undecided[0].first
                            : "";
        std::tm now{};
        now.tm_sec = 5;
        now.tm_min = 4;
        now.tm_hour = 3;
        now.tm_mday = 2;
        now.tm_year = 125;
        const RepairResult result = repairConfiguration(folder, now, "ENG");
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.whole(), c.undecided.empty());
        ASSERT_EQ(result.undecided.size(), c.undecided.size());
        for (std::size_t i = 0; i < c.undecided.size(); ++i) {
            EXPECT_EQ(result.undecided[i].folder, c.undecided[i].first);
            EXPECT_EQ(result.undecided[i].doubt, c.undecided[i].second);
        }
        // The old bytes are kept aside, byte for byte; the new file is a sound profile.
        const std::string aside = fresh / "Lapdex.dat.damaged-20250102-030405";
        EXPECT_EQ(result.movedAside, c.oldFile ? aside : "");
        if (c.oldFile) {
            EXPECT_EQ(fs.readFile(aside).bytes, *c.oldFile);
        }
        EXPECT_EQ(checkConfigurationFile(folder).state, ConfigurationFileState::Sound);
        const Configuration rebuilt = loadConfiguration(folder, "ENG");
        EXPECT_EQ(rebuilt.settings.pcTime, c.pcTime);
        EXPECT_EQ(rebuilt.registry.registeredCount(), static_cast<int>(c.expected.size()));
        for (const auto& [number, entry] : c.expected) {
            EXPECT_EQ(rebuilt.registry.entry(number - 1).serialText, entry.first);
            EXPECT_EQ(rebuilt.registry.entry(number - 1).displayName, entry.second);
        }
    }
}

TEST_F(RegistryRepair, ADataFolderThatCannotBeListedChangesNothing) {
    writeDat("garbage\n");
    fs.unlistable = dir.path().substr(dir.path().find_last_of('/'));
    const RepairResult result = repairConfiguration(data, std::tm{}, "ENG");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(dat(), "garbage\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace lapdex
