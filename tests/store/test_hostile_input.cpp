// Hostile input: import folders with links leading out, odd names, huge files and deep trees;
// a Lapdex.dat of random bytes or thousands of keys; run files edited into nonsense. Each gets a
// clear outcome or is skipped, nothing is written outside the data folder, nothing is lost.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "configuration.h"
#include "cp932.h"
#include "data_procedures.h"
#include "memo_rewrite.h"
#include "profile_file.h"
#include "recorded_cells.h"
#include "run_file_reader.h"
#include "scripted_ui.h"
#include "tree_fixture.h"

namespace lapdex {
namespace {

using testing::put;
using testing::snapshot;
using testing::TempFolder;
using Tree = std::map<std::string, std::string>;

constexpr char kDat[] =
    "[Config]\r\nLOCATION=JPN\r\n[User]\r\nQTM01_SERIAL=0123456789ab\r\nQTM01_NAME=Alpha\r\n";
constexpr char kRunText[] =
    "n1\r\nn2\r\n\r\n\r\nh\r\n2015/03/14   09:30:15,t,1,1,b,a,\r\n\r\nl\r\n1,a,b,\r\n";

std::string randomBytes(std::mt19937& random, size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

class HostileInput : public ::testing::Test {
  protected:
    void SetUp() override {
        put(fs, home / "Lapdex.dat", kDat);
        put(fs, home / "QTM-01/QTM150314_093015_0123456789ab.csv", kRunText, ReadOnly::On);
        put(fs, outside / "secret.txt", "outside");
        put(fs, outside / "QTM150314_093016_0123456789ab.csv", "outside run");
        config = loadConfiguration(data, "JPN");
        ui.folder = source.path();
    }
    // The import either left the old data set or brought the new one; outside never changed.
    void expectNothingLostAndNothingOutside(ProcedureOutcome outcome, const Tree& before,
                                            const Tree& outsideBefore) {
        EXPECT_EQ(snapshot(fs, outside.path()), outsideBefore);
        if (outcome != ProcedureOutcome::Done) {
            EXPECT_EQ(snapshot(fs, home.path()), before);
            EXPECT_FALSE(ui.errors.empty());
        }
        EXPECT_TRUE(loadProfile(fs, home / "Lapdex.dat").ok());
        for (const auto& [rel, content] : snapshot(fs, home.path())) {
            EXPECT_NE(content, "<link>") << rel << " is a link in the data folder";
            EXPECT_EQ(content.find("outside"), std::string::npos)
                << rel << " was copied from outside";
        }
    }

    TempFolder home;
    TempFolder source;
    TempFolder outside;
    FileSystem& fs = systemFileSystem();
    DataFolder data{fs, home.path()};
    Configuration config;
    testing::ScriptedUi ui;
    testing::FixedClock clock{testing::march14At093015()};
};

TEST_F(HostileInput, ImportNeverFollowsLinksOutOfTheChosenFolder) {
    put(fs, source / "Lapdex.dat", "[Config]\r\nLOCATION=JPN\r\n");
    std::filesystem::create_directories(source / "QTM-02");
    std::filesystem::create_symlink(outside.path(), source / "QTM-01");
    std::filesystem::create_symlink(outside / "secret.txt",
                                    source / "QTM-02/QTM150314_093015_0123456789ab.csv");
    std::filesystem::create_symlink(outside.path(), source / "QTM-02/escape");
    const Tree before = snapshot(fs, home.path());
    const Tree outsideBefore = snapshot(fs, outside.path());
    ProcedureOutcome outcome = importData(ui, data, config, clock);
    expectNothingLostAndNothingOutside(outcome, before, outsideBefore);
}

TEST_F(HostileInput, ImportWhoseLapdexDatIsALinkIsRefusedOrCopiedAsNoLink) {
    put(fs, outside / "Lapdex.dat", "[Config]\r\nLOCATION=JPN\r\n[User]\r\nQTM01_NAME=outside\r\n");
    std::filesystem::create_symlink(outside / "Lapdex.dat", source / "Lapdex.dat");
    const Tree before = snapshot(fs, home.path());
    const Tree outsideBefore = snapshot(fs, outside.path());
    ProcedureOutcome outcome = importData(ui, data, config, clock);
    EXPECT_NE(outcome, ProcedureOutcome::BackupKept);
    expectNothingLostAndNothingOutside(outcome, before, outsideBefore);
}

TEST_F(HostileInput, ImportOfOddNamesHugeFilesAndDeepTreesEndsCleanly) {
    put(fs, source / "Lapdex.dat",
        "[Config]\r\nLOCATION=JPN\r\n[User]\r\nQTM02_SERIAL=bbbbbbbbbbbb\r\n");
    // Not UTF-8, and UTF-8 that code page 932 cannot hold.
    put(fs, source / "QTM-02/QTM160101_000000_\xff\xfe.csv", kRunText);
    put(fs, source / "QTM-02/QTM160101_000001_\xF0\x9F\x98\x80.csv", kRunText);
    // A run file of 8 MiB.
    put(fs, source / "QTM-02/QTM160101_000002_bbbbbbbbbbbb.csv", std::string(8 << 20, 'x'));
    // A tree deeper than any path the platform accepts.
    std::string deep = source / "QTM-02";
    for (int level = 0; level < 40 && deep.size() < 3900; ++level)
        deep += "/" + std::string(100, 'd');
    std::error_code ec;
    std::filesystem::create_directories(deep, ec);
    const Tree before = snapshot(fs, home.path());
    const Tree outsideBefore = snapshot(fs, outside.path());
    ProcedureOutcome outcome = importData(ui, data, config, clock);
    EXPECT_TRUE(outcome == ProcedureOutcome::Done || outcome == ProcedureOutcome::Failed);
    expectNothingLostAndNothingOutside(outcome, before, outsideBefore);
    if (outcome == ProcedureOutcome::Done) {
        EXPECT_EQ(fs.readFile(home / "QTM-02/QTM160101_000001_\xF0\x9F\x98\x80.csv").bytes,
                  kRunText);
        EXPECT_EQ(fs.readFile(home / "QTM-02/QTM160101_000002_bbbbbbbbbbbb.csv").bytes.size(),
                  8u << 20);
    }
}

TEST_F(HostileInput, LapdexDatOfRandomBytesGivesDefaultsAndSavingKeepsItsLines) {
    std::mt19937 random(8);
    for (int round = 0; round < 20; ++round) {
        const std::string bytes = randomBytes(random, 64 + random() % 4096);
        put(fs, home / "Lapdex.dat", bytes);
        Configuration loaded = loadConfiguration(data, "ENG");
        EXPECT_TRUE(loaded.settings.location == "ENG" || loaded.settings.location == "JPN");
        EXPECT_LE(loaded.registry.registeredCount(), 100);
        // Saving what was loaded never loses the file: it still loads to the same registry.
        ASSERT_TRUE(saveConfiguration(data, loaded).ok());
        Configuration again = loadConfiguration(data, "ENG");
        EXPECT_EQ(again.registry.registeredCount(), loaded.registry.registeredCount()) << round;
        EXPECT_EQ(again.settings.location, loaded.settings.location) << round;
    }
    // An import from a folder whose Lapdex.dat is noise is refused and changes nothing.
    put(fs, home / "Lapdex.dat", kDat);
    put(fs, source / "Lapdex.dat", randomBytes(random, 2000));
    const Tree before = snapshot(fs, home.path());
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Invalid);
    EXPECT_EQ(snapshot(fs, home.path()), before);
}

TEST_F(HostileInput, ConfigurationWithThousandsOfKeysLoadsAndSavesWithAllOfThem) {
    std::string text = kDat;
    for (int key = 0; key < 5000; ++key)
        text += "KEY" + std::to_string(key) + "=value" + std::to_string(key) + "\r\n";
    text += "[Other]\r\n";
    for (int key = 0; key < 5000; ++key)
        text += "X" + std::to_string(key) + "=" + std::to_string(key) + "\r\n";
    put(fs, home / "Lapdex.dat", text);
    const auto start = std::chrono::steady_clock::now();
    Configuration loaded = loadConfiguration(data, "JPN");
    EXPECT_EQ(loaded.registry.findBySerial("0123456789ab"), 0);
    ASSERT_TRUE(renameStopwatch(loaded, data, 0, "Beta"));
    // Was minutes when each line of a section searched for the section's end again.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    ProfileLoad saved = loadProfile(fs, home / "Lapdex.dat");
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.profile.readString("User", "KEY4999", ""), "value4999");
    EXPECT_EQ(saved.profile.readString("Other", "X4999", ""), "4999");
    EXPECT_EQ(saved.profile.readString("User", "QTM01_NAME", ""), "Beta");
}

// Run files a user has edited by hand into nonsense, read and then given a memo.
TEST_F(HostileInput, NonsenseRunFilesAreReadWithinLimitsAndRewrittenSafely) {
    const std::string folder = home / "QTM-01/";
    const std::map<std::string, std::string> nonsense{
        {"missing_lines", "n1\r\nn2\r\n"},
        {"empty", ""},
        {"columns", "n1\r\nn2\r\n\r\n\r\nh\r\n" + std::string(20000, ',') + "\r\n\r\nl\r\n" +
                        std::string(20000, ',') + "\r\n"},
        {"huge_memo", "n1\r\nn2\r\n\r\n\r\nh\r\n2015/03/14   09:30:15,t,1,1,b,a,\"" +
                          std::string(1 << 20, 'M') + "\"\r\n\r\nl\r\n1,a,b,\"" +
                          std::string(1 << 20, 'L') + "\r\n"},
        {"unterminated_quote",
         "n1\r\nn2\r\n\r\n\r\nh\r\n2015,t,1,1,b,a,\"abc\r\n\r\nl\r\n1,a,b,\"x\"\"\r\n"},
        {"binary", std::string("\x00\x81\x82\xff\r\r\n\n\x81", 9)},
    };
    int n = 0;
    for (const auto& [what, bytes] : nonsense) {
        const std::string path =
            folder + "QTM150314_1000" + std::to_string(10 + n++) + "_0123456789ab.csv";
        put(fs, path, bytes, ReadOnly::On);
        testing::RecordedCells cells;
        EXPECT_TRUE(readRunFile(fs, path, 1, cells)) << what;
        for (const auto& cell : cells.cells) {
            EXPECT_LE(cell.column, cell.row == 0 ? 6 : 3) << what;
            EXPECT_LE(cell.text.size(), 3u * 200u) << what;  // memos are cut to 200 characters
        }
        for (MemoKind kind : {MemoKind::Run, MemoKind::Lap}) {
            MemoRewriteResult result = rewriteMemo(fs, path, "memo", kind, 0);
            EXPECT_TRUE(result.ok()) << what;
            FsBytes after = fs.readFile(path);
            ASSERT_TRUE(after.ok()) << what;
            // No line is dropped, and the file stays read-only.
            EXPECT_GE(std::count(after.bytes.begin(), after.bytes.end(), '\n'),
                      std::count(bytes.begin(), bytes.end(), '\n'))
                << what;
            EXPECT_TRUE(fs.isReadOnly(path)) << what;
        }
    }
    // The untouched run beside them is as it was.
    EXPECT_EQ(fs.readFile(folder + "QTM150314_093015_0123456789ab.csv").bytes, kRunText);
}

// The fuzz corpus kept in the repository, replayed on every test run.
TEST(FuzzCorpus, RunFileReaderAndProfileReaderTakeEveryCorpusFile) {
    int files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(LAPDEX_FUZZ_CORPUS_DIR "/run_file_reader")) {
        FsBytes bytes = systemFileSystem().readFile(entry.path().string());
        ASSERT_TRUE(bytes.ok()) << entry.path();
        testing::RecordedCells cells;
        readRunFileBytes(bytes.bytes, 1, cells);
        for (const auto& cell : cells.cells) {
            EXPECT_TRUE(isValidUtf8(cell.text)) << entry.path();
            EXPECT_LE(cell.column, cell.row == 0 ? 6 : 3) << entry.path();
        }
        ++files;
    }
    for (const auto& entry :
         std::filesystem::directory_iterator(LAPDEX_FUZZ_CORPUS_DIR "/profile_reader")) {
        FsBytes bytes = systemFileSystem().readFile(entry.path().string());
        ASSERT_TRUE(bytes.ok()) << entry.path();
        // A file that is only read comes back byte for byte.
        EXPECT_EQ(ProfileFile::parse(bytes.bytes).serialize(), bytes.bytes) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 15);
}

}  // namespace
}  // namespace lapdex
