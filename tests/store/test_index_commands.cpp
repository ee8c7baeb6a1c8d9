// k7x-tool runs and roster over a real data folder, its index in a cache folder of the test's own.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "command_capture.h"
#include "configuration.h"
#include "data_folder_fixture.h"
#include "index_commands.h"
#include "lap_commands.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using Command = const char*;

class IndexCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        data = root / "data";
        ASSERT_TRUE(testing::makeDataFolder(
            fs, data, {{"0123456789ab", "走者A"}, {"00000000beef", "QTM-02"}}));
        RunRecord a = testing::clockExample();
        a.memo = "向かい風\tつよい";
        write(0, "0123456789ab", a);
        const RunRecord b = testing::decimalExample({2024, 2, 1, 7, 5, 9});
        write(1, "00000000beef", b);
    }
    void write(int slot, const char* serial, const RunRecord& run) {
        ASSERT_EQ(writeRunFile(fs, withTrailingSlash(data), slot, serial, run).status,
                  RunFileWriteStatus::Written);
    }

    int run(const std::string& command, std::vector<std::string> args) {
        args.insert(args.begin(), command);
        testing::CapturedCommand captured = testing::captureLine(args);
        out = std::move(captured.out);
        err = std::move(captured.err);
        return captured.status;
    }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder root;
    std::string data;
    std::string out;
    std::string err;
};

constexpr const char* kHeader =
    "tab name\tserial\tstart\tlap count\ttotal\tbest lap\tbest lap number\taverage lap\tpath\trun "
    "memo\n";
constexpr const char* kRunA =
    "走者A\t0123456789ab\t2024-01-31T09:30:15\t3\t200.00\t64.70\t2\t66.66\t"
    "QTM-01/QTM240131_093015_0123456789ab.csv\t向かい風 つよい\n";
constexpr const char* kRunB =
    "QTM-02\t00000000beef\t2024-02-01T07:05:09\t2\t179.94\t89.94\t2\t89.94\t"
    "QTM-02/QTM240201_070509_00000000beef.csv\t\n";

TEST_F(IndexCommands, RunsListsEveryRunOrThoseThatMatch) {
    const struct {
        std::vector<std::string> options;
        std::string lines;
    } kCases[] = {
        {{}, std::string(kRunA) + kRunB},
        {{"--stopwatch", "走者A"}, kRunA},
        {{"--stopwatch", "00000000beef"}, kRunB},
        {{"--from", "2024-02-01"}, kRunB},
        {{"--to", "2024-01-31"}, kRunA},
        {{"--text", "向かい\xE3\x80\x80つよ"}, kRunA},
        {{"--text", "追い風"}, ""},
        {{"--laps", "2"}, kRunB},
    };
    for (const auto& c : kCases) {
        std::vector<std::string> args{data};
        args.insert(args.end(), c.options.begin(), c.options.end());
        EXPECT_EQ(run("runs", args), 0) << err;
        EXPECT_EQ(out, kHeader + c.lines) << (c.options.empty() ? "" : c.options[0]);
    }
}

TEST_F(IndexCommands, RosterSummarisesEachStopwatch) {
    // Two contacts of the first stopwatch and a damaged line. The last line is the last contact,
    // with its low battery, although the clock had been set back before it.
    testing::writeBytes(data + "/History.csv",
                        "local time,serial,tab name,action,runs written,runs failed,raw "
                        "battery,battery level,result\r\n"
                        "2024-02-01 08:00:00,0123456789ab,走者A,download,1,0,3400,5,ok\r\n"
                        "2024-02-01 08:0\r\n"
                        "2024-01-31 09:40:00,0123456789ab,走者A,download,1,0,2900,1,ok\r\n");
    ASSERT_EQ(run("roster", {data}), 0) << err;
    EXPECT_EQ(err, "k7x-tool: History.csv line 3 is damaged and was skipped\n");
    EXPECT_EQ(out,
              "tab name\tserial\truns\tfirst run\tlast run\tusual lap count\tbest lap\tbest total\t"
              "last contact\tbattery level\tbattery low\n"
              "走者A\t0123456789ab\t1\t2024-01-31T09:30:15\t2024-01-31T09:30:15\t3\t64.70\t200.00\t"
              "2024-01-31T09:40:00\t1\tyes\n"
              "QTM-02\t00000000beef\t1\t2024-02-01T07:05:09\t2024-02-01T07:05:09\t2\t89.94\t179."
              "94\t\t\t\n");
}

TEST_F(IndexCommands, RefusesWhatIsNoDataFolderOrNoCommand) {
    const std::string plain = root / "plain";
    ASSERT_TRUE(fs.createFolder(plain).ok());
    // A Lapdex.dat that cannot be read is told as such, even to root.
    const std::string unreadable = root / "unreadable";
    ASSERT_TRUE(fs.createFolder(unreadable).ok());
    ASSERT_TRUE(fs.createFolder(unreadable + "/Lapdex.dat").ok());
    const struct {
        Command command;
        std::vector<std::string> args;
        int status;
        const char* message;
    } kCases[] = {
        {"runs", {plain}, 1, "is not a data folder"},
        {"runs", {unreadable}, 1, "unreadable/Lapdex.dat cannot be read: Is a directory"},
        {"day", {unreadable, "2024-01-31"}, 1, "Lapdex.dat cannot be read"},
        {"roster", {root / "missing"}, 1, "is not a data folder"},
        {"runs", {data, "--from", "2024-13-01"}, 2, "YYYY-MM-DD"},
        {"runs", {data, "--laps", "x"}, 2, "--laps"},
        {"runs", {data, "--stopwatch"}, 2, "needs a value"},
        {"runs", {data, "--stopwatch", "nobody"}, 1, "no stopwatch is registered as nobody"},
        {"runs", {}, 2, "needs a data folder"},
        {"roster", {}, 2, "'roster' needs a data folder DATAFOLDER"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(run(c.command, c.args), c.status) << c.message;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(out, "");
    }
    // The index lives in the cache folder, never in the data folder.
    EXPECT_EQ(fs.findMatching(data + "/", "*.sqlite*").entries.size(), 0U);
}

// Every command over a data folder, as a user would type it after the data folder.
std::vector<std::pair<Command, std::vector<std::string>>> everyCommand(const std::string& data,
                                                                       const std::string& out) {
    return {{"runs", {data}},
            {"roster", {data}},
            {"day", {data, "2024-02-01"}},
            {"bests", {data}},
            {"stats", {data, "QTM-01/QTM240131_093015_0123456789ab.csv"}},
            {"export", {data, out, "--format", "csv", "--force"}},
            {"export", {data, out, "--format", "xlsx", "--force"}}};
}

TEST_F(IndexCommands, WithoutAnIndexTheFoldersGiveTheSameAnswer) {
    const std::string exports = root / "exports";
    ASSERT_TRUE(fs.createFolder(exports).ok());
    testing::writeBytes(root / "blocker", "a file where the cache folder should be");
    for (const auto& [command, args] : everyCommand(data, exports)) {
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        ASSERT_EQ(run(command, args), 0) << err;
        EXPECT_EQ(err, "");
        const std::string indexed = out;
        ::setenv("XDG_CACHE_HOME", (root / "blocker/cache").c_str(), 1);
        EXPECT_EQ(run(command, args), 0) << err;
        EXPECT_EQ(out, indexed);
        // Said once, with where the index could not be kept.
        EXPECT_EQ(err.find("k7x-tool: the run index cannot be kept in " + root / "blocker/cache"),
                  0U)
            << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

TEST_F(IndexCommands, WhatCannotBeReadIsNamedAndTheAnswerIsPartial) {
    // A damaged run file beside run A, and QTM-02 turned into a file that cannot be listed.
    testing::writeBytes(data + "/QTM-01/QTM240201_120000_0123456789ab.csv", "not a run\r\n");
    ASSERT_EQ(::rename((data + "/QTM-02").c_str(), (data + "/moved").c_str()), 0);
    testing::writeBytes(data + "/QTM-02", "");
    const std::string exports = root / "exports";
    ASSERT_TRUE(fs.createFolder(exports).ok());
    const std::string damaged =
        data + "/QTM-01/QTM240201_120000_0123456789ab.csv: damaged run file";
    // The reason is the system's text (here "Not a directory"), as each source words it.
    const std::string unlisted = "warning: " + data + "/QTM-02: ";
    testing::writeBytes(root / "blocker", "");
    for (const char* cache : {"cache", "blocker/cache"}) {
        ::setenv("XDG_CACHE_HOME", (root / cache).c_str(), 1);
        for (const auto& [command, args] : everyCommand(data, exports)) {
            const int status = run(command, args);
            if (std::string(command) == "stats") {
                EXPECT_EQ(status, 0) << err;  // the run asked for is whole
                continue;
            }
            EXPECT_EQ(status, 3) << cache << ' ' << args.size() << '\n' << out << err;
            // The day of the damaged run is 1 February too: every command names both.
            EXPECT_NE(err.find(damaged), std::string::npos) << cache << '\n' << err;
            EXPECT_NE(err.find(unlisted), std::string::npos) << cache << '\n' << err;
            EXPECT_EQ(out.find("QTM240201_120000"), std::string::npos) << out;
        }
        EXPECT_EQ(run("runs", {data}), 3);
        EXPECT_EQ(out, kHeader + std::string(kRunA)) << cache;
    }
}

TEST_F(IndexCommands, ATcxExportCountsOnlyTheRunsItWrites) {
    // Run B without its lap lines: a run still, but no TCX activity can be made of it.
    const std::string runB = data + "/QTM-02/QTM240201_070509_00000000beef.csv";
    std::string bytes = testing::fileBytes(runB);
    std::size_t end = 0;
    for (int line = 0; line < 8; ++line) end = bytes.find('\n', end) + 1;
    ::chmod(runB.c_str(), 0644);
    testing::writeBytes(runB, bytes.substr(0, end));
    const std::string exports = root / "exports";
    ASSERT_TRUE(fs.createFolder(exports).ok());
    EXPECT_EQ(run("export", {data, exports, "--format", "tcx"}), 3) << err;
    EXPECT_EQ(err,
              "k7x-tool: warning: " + data +
                  "/QTM-02/QTM240201_070509_00000000beef.csv: no laps for a TCX activity; left "
                  "out\n");
    EXPECT_EQ(out,
              exports + "/QTM240131_093015_0123456789ab.tcx\n1 run and 3 laps written in 1 file\n");
}

}  // namespace
}  // namespace lapdex
