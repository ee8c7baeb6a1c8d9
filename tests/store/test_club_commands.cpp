// k7x-tool over this PC's data folder and another PC's (--also): every answer names the PC of its
// rows and lists a run reached through both folders once; nothing is written into a club folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <tuple>

#include "club_files.h"
#include "club_refusal.h"
#include "command_capture.h"
#include "data_folder_fixture.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using Json = nlohmann::ordered_json;

// "own" and the club folder "pc-b". Stopwatch A is on both PCs (in another slot on pc-b); its run
// reached pc-b too, with another memo. Stopwatch C is pc-b's only, with a conflict copy of its run.
class ClubCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        ASSERT_TRUE(testing::makeDataFolder(fs, own, {{"0123456789ab", "A"}}));
        ASSERT_TRUE(
            testing::makeDataFolder(fs, pcB, {{"00000000cafe", "C"}, {"0123456789ab", "A on B"}}));
        RunRecord shared = testing::clockExample();
        write(own, 0, "0123456789ab", shared);
        shared.memo = "b memo";
        write(pcB, 1, "0123456789ab", shared);
        cRun = write(pcB, 0, "00000000cafe", testing::steadyRun({2024, 1, 31, 9, 40, 0}, 3, 6000));
        testing::writeBytes(
            pcB + "/QTM-01/QTM240131_094000_x.sync-conflict-20261210-101010-ABCDEFG.csv",
            testing::fileBytes(pcB + "/QTM-01/" + cRun));
    }
    void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }
    std::string write(const std::string& data, int slot, const char* serial, const RunRecord& run) {
        const RunFileWriteResult written =
            writeRunFile(fs, withTrailingSlash(data), slot, serial, run);
        EXPECT_EQ(written.status, RunFileWriteStatus::Written);
        return std::filesystem::path(written.path).filename().string();
    }
    Json answer(std::vector<std::string> words) {
        words.push_back("--json");
        const testing::CapturedCommand run = testing::captureLine(words);
        EXPECT_EQ(run.status, 0) << run.err;
        return Json::parse(run.out, nullptr, false);
    }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder root;
    std::string own = root / "own";
    std::string pcB = root / "pc-b";
    std::string cRun;
};

// The rows of a JSON answer: an array's objects, a record, or each session's runs.
std::vector<Json> rowsOf(const Json& document) {
    if (document.is_array()) return {document.begin(), document.end()};
    if (document.contains("sessions")) {
        std::vector<Json> rows;
        for (const Json& session : document["sessions"])
            rows.insert(rows.end(), session["runs"].begin(), session["runs"].end());
        return rows;
    }
    if (document.contains("runs")) {
        std::vector<Json> rows;
        for (Json run : document["runs"]) {
            if (document.contains("pc")) run["pc"] = document["pc"];
            rows.push_back(run);
        }
        return rows;
    }
    return {document};
}

// Runs answered with --also are those of each folder alone, the club folder's copies of this
// folder's runs left out, and each row names its pc.
TEST_F(ClubCommands, RunsAreEachFoldersOwnOnceWithThePcTheyCameFrom) {
    auto key = [](const Json& row) {
        return std::make_tuple(row["serial"], row["start"], row["lap count"], row["total"],
                               row["best lap"], row["average lap"]);
    };
    std::vector<Json> expected;
    for (Json row : answer({"runs", own})) {
        row["pc"] = "own";
        expected.push_back(row);
    }
    const std::size_t owned = expected.size();
    std::size_t syncFiles = 0;
    for (Json row : answer({"runs", pcB})) {
        row["pc"] = "pc-b";
        // Read as a data folder of its own, pc-b's conflict copy is a run; as a club folder not.
        const std::string path = row["path"];
        if (isSyncConflictName(path.substr(path.find('/') + 1))) {
            ++syncFiles;
            continue;
        }
        const bool copy = std::any_of(expected.begin(), expected.begin() + owned,
                                      [&](const Json& o) { return key(o) == key(row); });
        if (!copy) expected.push_back(row);
    }
    std::sort(expected.begin(), expected.end(), [](const Json& a, const Json& b) {
        return std::tie(a["start"], a["path"], a["pc"]) < std::tie(b["start"], b["path"], b["pc"]);
    });
    std::vector<Json> got;
    for (Json row : answer({"runs", own, "--also", pcB})) {
        ASSERT_EQ(row.begin().key(), "pc");
        got.push_back(row);
    }
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        for (const auto& [name, value] : expected[i].items())
            EXPECT_EQ(got[i][name], value) << name;
    }
    EXPECT_EQ(syncFiles, 1U);
    EXPECT_LT(expected.size(), owned + answer({"runs", pcB}).size() - syncFiles);
}

// Every command over a data folder: with --also its rows come from both folders and say which;
// without, no row names a pc.
TEST_F(ClubCommands, EveryCommandNamesThePcOfItsRows) {
    const struct {
        std::vector<std::string> words;
        std::multiset<std::string> pcs;  // of the rows with --also
        bool alone;                      // answered without --also too
    } kCases[] = {
        {{"runs", own}, {"own", "pc-b"}, true},
        {{"roster", own}, {"own", "pc-b", "pc-b"}, true},
        {{"stats", own, cRun}, {"pc-b"}, false},
        {{"day", own, "2024-01-31"}, {"own", "pc-b"}, true},
        {{"sessions", own, "2024-01-31"}, {"own", "pc-b"}, true},
        {{"progress", own, "--stopwatch", "C"}, {"pc-b"}, false},
        {{"progress", own, "--stopwatch", "0123456789ab"}, {"own"}, true},
        {{"bests", own}, {"own", "own", "pc-b", "pc-b"}, true},
        {{"bests", own, "--stopwatch", "0123456789ab"}, {"own", "own"}, true},
        {{"runs", own, "--stopwatch", "0123456789ab"}, {"own"}, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.words[0] + " " + c.words.back());
        for (const Json& row : c.alone ? rowsOf(answer(c.words)) : std::vector<Json>{})
            EXPECT_FALSE(row.contains("pc")) << row;
        std::vector<std::string> words = c.words;
        words.insert(words.end(), {"--also", pcB});
        std::multiset<std::string> pcs;
        for (const Json& row : rowsOf(answer(words))) pcs.insert(row.value("pc", "(none)"));
        EXPECT_EQ(pcs, c.pcs);
        // The tab-separated answer has the same column first.
        const testing::CapturedCommand tabs = testing::captureLine(words);
        EXPECT_TRUE(tabs.out.rfind("pc\t", 0) == 0 || tabs.out.find("\npc\t") != std::string::npos)
            << tabs.out;
    }
    // Two folders of one name are told apart.
    const std::string other = root / "elsewhere";
    ASSERT_TRUE(fs.createFolder(other).ok());
    std::filesystem::create_directory_symlink(pcB, other + "/pc-b");
    std::set<std::string> labels;
    for (const Json& row : answer({"roster", own, "--also", pcB, "--also", other + "/pc-b"}))
        labels.insert(row["pc"].get<std::string>());
    EXPECT_EQ(labels, (std::set<std::string>{"own", "pc-b", "pc-b (2)"}));
    // What a club folder cannot give is named with that folder's path.
    testing::writeBytes(pcB + "/QTM-02/QTM240131_100000_x.csv", "no run");
    const testing::CapturedCommand partial = testing::captureLine({"runs", own, "--also", pcB});
    EXPECT_EQ(partial.status, 3);
    EXPECT_EQ(partial.err, "k7x-tool: warning: " + pcB +
                               "/QTM-02/QTM240131_100000_x.csv: damaged run file; left out\n");
}

// An export with --also holds both folders' runs; nothing is ever written into a club folder,
// whether --also names it or Lapdex's settings list it.
TEST_F(ClubCommands, NeverWritesIntoAClubFolder) {
    std::filesystem::create_directories(root / "config/Lapdex");
    testing::writeBytes(root / "config/Lapdex/Lapdex.conf",
                        "[General]\nclubOwnLabel=コーチ\n\n[clubFolders]\n1\\label=B\n1\\path=\"" +
                            root / "pc-c" + "\"\nsize=1\n");
    ASSERT_TRUE(testing::makeDataFolder(fs, root / "pc-c", {{"00000000cafe", "C"}}));
    const struct {
        std::vector<std::string> words;
        int status;  // -1: not refused, left to the stopwatch commands
        const char* message;
    } kCases[] = {
        {{"export", own, pcB + "/out", "--format", "csv", "--also", pcB}, 2, "given by --also"},
        {{"export", own, pcB + "/QTM-01/../x", "--format", "csv", "--also", pcB}, 2, "--also"},
        {{"export", own, root / "out", "--format", "csv", "--also", pcB}, 0, ""},
        {{"export", own, root / "pc-c/out", "--format", "csv"}, 1, "club folder in Lapdex's"},
        {{"repair", root / "pc-c"}, 1, "never writes there"},
        {{"download", "all", root / "pc-c/"}, 1, "never writes there"},
        {{"dump", "new", root / "pc-c/QTM-01/raw.bin"}, 1, "never writes there"},
        {{"--log", root / "pc-c", "info"}, 1, "never writes there"},
        {{"dump", "new", root / "raw.bin"}, -1, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.words[0] + " " + c.words[1]);
        const testing::CapturedCommand run = testing::captureLine(c.words);
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.status > 0) {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(pcB + "/out"));
    EXPECT_FALSE(std::filesystem::exists(root / "pc-c/out"));
    EXPECT_NE(testing::fileBytes(root / "out/runs.csv").find("pc-b"), std::string::npos);
}

// The club folders of a settings file as Qt 6.4's QSettings wrote it for awkward paths.
TEST(ClubSettingsFile, ReadsTheFoldersAsQtWroteThem) {
    const std::string written =
        "[General]\nclubOwnLabel=コーチ\n\n[clubFolders]\n"
        "1\\label=L0\n1\\path=/srv/club/PC-B\n2\\label=L1\n2\\path=/home/u/クラブ/PC C\n"
        "3\\label=L2\n3\\path=\"/x/a,b;c\"\n4\\label=L3\n4\\path=@@odd\n"
        "5\\label=L4\n5\\path=/q\\\"uote\\\\back\n6\\label=L5\n6\\path=\"/t=eq #h\"\n"
        "10\\path=/tenth\nsize=10\n\n[window]\ngeometry=@ByteArray(\\x1\\x2)\n";
    EXPECT_EQ(k7x::clubFoldersOfSettings(written),
              (std::vector<std::string>{"/srv/club/PC-B", "/home/u/クラブ/PC C", "/x/a,b;c", "@odd",
                                        "/q\"uote\\back", "/t=eq #h", "/tenth"}));
    EXPECT_TRUE(k7x::clubFoldersOfSettings("[General]\nsize=1\n").empty());
}

}  // namespace
}  // namespace lapdex
