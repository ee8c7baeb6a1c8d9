// k7x-tool stats, day and bests over a real data folder, its index in a cache folder of the test's
// own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "command_capture.h"
#include "configuration.h"
#include "data_folder_fixture.h"
#include "folder_run_source.h"
#include "index_session.h"
#include "lap_commands.h"
#include "personal_bests.h"
#include "progress.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "sessions.h"
#include "stopwatch_groups.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using Command = const char*;

// 1 February 2024 08:00:00, laps 64, 66 and 68 s: a faster lap and a faster total than the
// worked example of 31 January.
RunRecord steadyRun() {
    RunRecord r = testing::clockExample();
    r.start = {2024, 2, 1, 8, 0, 0};
    const RunTime laps[3] = {{0, 1, 4, 0, 0}, {0, 1, 6, 0, 0}, {0, 1, 8, 0, 0}};
    const RunTime splits[3] = {{0, 1, 4, 0, 0}, {0, 2, 10, 0, 0}, {0, 3, 18, 0, 0}};
    for (int i = 0; i < 3; ++i) r.laps[i] = {i + 1, laps[i], splits[i], ""};
    r.total = splits[2];
    r.bestLapNumber = 1;
    r.bestLap = laps[0];
    r.averageLap = {0, 1, 6, 0, 0};
    return r;
}

// 1 February 2024 07:05:09 in thousandths of a minute: laps 1.500 and 1.499.
RunRecord decimalRun() {
    return testing::decimalExample({2024, 2, 1, 7, 5, 9});
}

class LapCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        data = root / "data";
        ASSERT_TRUE(testing::makeDataFolder(
            fs, data, {{"0123456789ab", "走者A"}, {"00000000beef", "QTM-02"}}));
        write(0, "0123456789ab", testing::clockExample());
        write(0, "0123456789ab", steadyRun());
        write(1, "00000000beef", decimalRun());
    }
    void write(int slot, const char* serial, const RunRecord& run) {
        ASSERT_EQ(writeRunFile(fs, withTrailingSlash(data), slot, serial, run).status,
                  RunFileWriteStatus::Written);
    }
    int run(Command command, std::vector<std::string> args) {
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

TEST_F(LapCommands, StatsPrintsEveryStatisticInSeconds) {
    const char* const kWorkedExample =
        "start\t2024-01-31T09:30:15\nlap count\t3\ntotal\t200.00\nbest lap\t64.70\n"
        "best lap number\t2\naverage lap\t66.66\nslowest lap\t70.50\nslowest lap number\t1\n"
        "median lap\t64.80\nstandard deviation\t2.71\ncoefficient of variation %\t4.07\n"
        "first half average\t70.50\nsecond half average\t64.80\nfade\t-5.70\n"
        "average without lap 1\t64.75\n";
    const struct {
        std::string file;
        const char* lines;
    } kCases[] = {
        {data + "/QTM-01/QTM240131_093015_0123456789ab.csv", kWorkedExample},
        // The bare name, as bests prints it, is found in its stopwatch's folder.
        {"QTM240131_093015_0123456789ab.csv", kWorkedExample},
        // Thousandths of a minute: 1.500 and 1.499 are 90.00 and 89.94 s.
        {"QTM-02/QTM240201_070509_00000000beef.csv",
         "start\t2024-02-01T07:05:09\nlap count\t2\ntotal\t179.94\nbest lap\t89.94\n"
         "best lap number\t2\naverage lap\t89.94\nslowest lap\t90.00\nslowest lap number\t1\n"
         "median lap\t89.97\nstandard deviation\t0.03\ncoefficient of variation %\t0.03\n"
         "first half average\t90.00\nsecond half average\t89.94\nfade\t-0.06\n"
         "average without lap 1\t89.94\n"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(run("stats", {data, c.file}), 0) << err;
        EXPECT_EQ(out, c.lines);
    }
}

TEST_F(LapCommands, DayKeepsLapColumnsInPlaceForShorterRuns) {
    ASSERT_EQ(run("day", {data, "2024-02-01"}), 0) << err;
    EXPECT_EQ(out,
              "tab name\tstart\tlap 1\tlap 2\tlap 3\ttotal\n"
              "QTM-02\t2024-02-01T07:05:09\t90.00\t89.94\t\t179.94\n"
              "走者A\t2024-02-01T08:00:00\t64.00\t66.00\t68.00\t198.00\n");
    ASSERT_EQ(run("day", {data, "2024-03-01"}), 0) << err;
    EXPECT_EQ(out, "tab name\tstart\ttotal\n");
}

TEST_F(LapCommands, BestsNameTheRunThatHoldsEach) {
    const std::string steady = "2024-02-01T08:00:00\tQTM240201_080000_0123456789ab.csv\n";
    const std::string decimal = "2024-02-01T07:05:09\tQTM240201_070509_00000000beef.csv\n";
    const std::string header = "tab name\tbest\tlap count\ttime\tlap number\tstart\tfile\n";
    const std::string runnerA = "走者A\tfastest lap\t\t64.00\t1\t" + steady +
                                "走者A\tfastest total\t3\t198.00\t\t" + steady;
    const std::string second = "QTM-02\tfastest lap\t\t89.94\t2\t" + decimal +
                               "QTM-02\tfastest total\t2\t179.94\t\t" + decimal;
    EXPECT_EQ(run("bests", {data}), 0) << err;
    EXPECT_EQ(out, header + runnerA + second);
    EXPECT_EQ(run("bests", {data, "--stopwatch", "00000000beef"}), 0) << err;
    EXPECT_EQ(out, header + second);
}

TEST_F(LapCommands, TheLaterFasterRunIsTheOneThatSetABest) {
    const std::unique_ptr<k7x::IndexSession> session = k7x::openIndexSession(data, stderr);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(loadRunsThatSetBests(*session->index, "QTM-01"),
              (std::set<std::string>{"QTM240201_080000_0123456789ab.csv"}));
    EXPECT_EQ(loadRunsThatSetBests(*session->index, "QTM-02"), std::set<std::string>{});
}

TEST_F(LapCommands, ADownloadNamesTheBestsItsNewRunsSet) {
    const std::unique_ptr<k7x::IndexSession> session = k7x::openIndexSession(data, stderr);
    ASSERT_NE(session, nullptr);
    const std::string steady = "QTM240201_080000_0123456789ab.csv";
    const std::optional<std::vector<BestSet>> set =
        loadBestsSetBy(*session->index, "QTM-01", {steady});
    ASSERT_TRUE(set.has_value());
    ASSERT_EQ(set->size(), 2U);
    EXPECT_EQ((*set)[0].kind, BestSet::Kind::Lap);
    EXPECT_EQ((*set)[0].best.cs, 6400);
    EXPECT_EQ((*set)[0].best.lapNumber, 1);
    EXPECT_EQ((*set)[0].best.start, "2024-02-01T08:00:00");
    EXPECT_EQ((*set)[0].beatenCs, 6470);
    EXPECT_EQ((*set)[1].kind, BestSet::Kind::Total);
    EXPECT_EQ((*set)[1].lapCount, 3);
    EXPECT_EQ((*set)[1].best.cs, 19800);
    EXPECT_EQ((*set)[1].best.fileName, steady);
    EXPECT_EQ((*set)[1].beatenCs, 20000);
    // The older run set nothing; a file the index does not hold yet leaves the answer open.
    EXPECT_EQ(loadBestsSetBy(*session->index, "QTM-01", {"QTM240131_093015_0123456789ab.csv"}),
              std::vector<BestSet>{});
    EXPECT_EQ(loadBestsSetBy(*session->index, "QTM-01", {steady, "QTM240301_080000_x.csv"}),
              std::nullopt);
}

// sessions and progress print what the store computes from a plain scan of the folders, and
// --group keeps the group's stopwatches only.
TEST_F(LapCommands, SessionsProgressAndGroupsAnswerAsAScanDoes) {
    FolderRunSource scan(DataFolder(fs, data));
    for (int gap : {45, 60}) {
        ASSERT_EQ(run("sessions", {data, "2024-02-01", "--gap", std::to_string(gap), "--json"}), 0)
            << err;
        const auto document = nlohmann::json::parse(out);
        const TeamDay day = *loadTeamDay(scan, "2024-02-01").value;
        const std::vector<TeamSession> sessions = sessionsOf(day, gap);
        ASSERT_EQ(document["sessions"].size(), sessions.size()) << gap;
        EXPECT_EQ(document["gap_minutes"], gap);
        for (std::size_t n = 0; n < sessions.size(); ++n) {
            EXPECT_EQ(document["sessions"][n]["end"], sessions[n].end);
            ASSERT_EQ(document["sessions"][n]["runs"].size(), sessions[n].runs.size());
            const TeamDayRun& first = day.runs[sessions[n].runs.front()];
            EXPECT_EQ(document["sessions"][n]["runs"][0]["path"],
                      first.folderName + "/" + first.fileName);
            EXPECT_EQ(document["sessions"][n]["runs"][0]["total"], first.totalCs / 100.0);
        }
    }
    // Without a header: each block's own line, then its runs only.
    EXPECT_EQ(run("sessions", {data, "2024-02-01", "--no-header"}), 0) << err;
    EXPECT_NE(out.find("\nsession 2\t2024-02-01T08:00:00\t2024-02-01T08:03:18\n走者A\t"),
              std::string::npos)
        << out;
    ASSERT_EQ(run("progress", {data, "--stopwatch", "走者A", "--json"}), 0) << err;
    const auto progress = nlohmann::json::parse(out);
    const Progress expected = *loadProgress(scan, {"QTM-01", 0, "", ""}).value;
    EXPECT_EQ(progress["laps"], expected.lapCount);
    ASSERT_EQ(progress["runs"].size(), expected.runs.size());
    for (std::size_t i = 0; i < expected.runs.size(); ++i) {
        EXPECT_EQ(progress["runs"][i]["start"], expected.runs[i].start);
        EXPECT_EQ(progress["runs"][i]["pb"], expected.runs[i].personalBest);
    }
    // QTM-02 alone is in "U18".
    StopwatchGroups groups;
    groups.bySerial["00000000beef"] = {"U18"};
    ASSERT_TRUE(writeGroups(DataFolder(fs, data), groups).ok());
    const struct {
        std::vector<std::string> args;
        std::size_t lines;  // header included
    } kGrouped[] = {{{"runs", data, "--group", "U18"}, 2},
                    {{"runs", data, "--group", "U18", "--stopwatch", "走者A"}, 1},
                    {{"day", data, "2024-02-01", "--group", "U18"}, 2},
                    {{"roster", data, "--group", "U18"}, 2},
                    {{"bests", data, "--group", "U18"}, 3}};
    for (const auto& c : kGrouped) {
        std::vector<std::string> args(c.args.begin() + 1, c.args.end());
        EXPECT_EQ(run(c.args[0].c_str(), args), 0) << err;
        EXPECT_EQ(static_cast<std::size_t>(std::count(out.begin(), out.end(), '\n')), c.lines)
            << out;
        EXPECT_EQ(out.find("走者A"), std::string::npos) << out;
    }
}

TEST_F(LapCommands, RefuseWhatTheyCannotAnswer) {
    const struct {
        Command command;
        std::vector<std::string> args;
        int status;
        const char* message;
    } kCases[] = {
        {"stats", {data}, 2, "'stats' needs a run file RUNFILE"},
        {"stats", {data, "QTM-01/QTM990101_000000_0123456789ab.csv"}, 1, "is no run file"},
        {"stats", {data, "QTM990101_000000_0123456789ab.csv"}, 1, "is no run file"},
        {"stats", {root / "missing", "QTM-01/x.csv"}, 1, "is not a data folder"},
        {"day", {data, "2024-02-30x"}, 2, "YYYY-MM-DD"},
        {"day", {data}, 2, "YYYY-MM-DD"},
        {"bests", {data, "--stopwatch"}, 2, "--stopwatch needs a value"},
        {"bests", {data, "--stopwatch", "nobody"}, 1, "no stopwatch is registered as nobody"},
        {"progress", {data}, 2, "'progress' needs --stopwatch"},
        {"sessions", {data, "2024-02-01", "--gap", "0"}, 2, "--gap"},
        {"day",
         {data, "2024-02-01", "--group", "Nobody"},
         1,
         "no registered stopwatch is in the group Nobody"},
        {"runs", {data, "--group", "Nobody"}, 1, "no registered stopwatch is in the group Nobody"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(run(c.command, c.args), c.status) << c.message;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(out, "");
    }
}

}  // namespace
}  // namespace lapdex
