// The folder scan as a run source: it counts exactly the files the stopwatch page lists as runs,
// orders them by start, stopwatch and name, and names what it cannot read instead of leaving it
// out or making an empty row of it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "data_folder_fixture.h"
#include "export_run.h"
#include "fake_catalogue_page.h"
#include "folder_run_source.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "run_index.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

class FolderRunSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data = root / "data";
        ASSERT_TRUE(
            testing::makeDataFolder(fs, data, {{"0123456789ab", "A"}, {"00000000beef", "B"}}));
    }
    std::string write(int slot, const char* serial, const RunRecord& run) {
        const RunFileWriteResult written =
            writeRunFile(fs, withTrailingSlash(data), slot, serial, run);
        EXPECT_EQ(written.status, RunFileWriteStatus::Written);
        return written.path;
    }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder root;
    std::string data;
};

TEST_F(FolderRunSourceTest, CountsWhatTheStopwatchPageListsAsRuns) {
    const RunRecord run = testing::steadyRun({2024, 3, 1, 10, 10, 10}, 2, 6000);
    const std::string real = write(0, "0123456789ab", run);
    const std::string folder = data + "/QTM-01/";
    const std::string bytes = testing::fileBytes(real);
    for (const char* name :
         {"QTM240301_101010_x.CSV", "qtm240301_101010_y.csv", "QTM240301_101010_z_bak.csv",
          "QTM240301_2460_x.csv", "QTM240301-101010.csv", "xQTM240301_0959_x.csv",
          "QTM240301_0000_damaged.csv"}) {
        testing::writeBytes(folder + name, std::string(name).find("damaged") != std::string::npos
                                               ? "no run"
                                               : bytes);
    }
    ASSERT_EQ(::symlink(real.c_str(), (folder + "QTM240301_111111_link.csv").c_str()), 0);
    std::filesystem::create_directory(folder + "QTM240301_121212_folder.csv");

    FolderRunSource source(DataFolder(fs, data));
    const RunListing listing = source.listRuns(RunQuery{});
    ASSERT_TRUE(listing.answered);
    std::vector<std::string> found;
    for (const RunRow& row : listing.rows) found.push_back(folder + row.fileName);
    for (const RunProblem& p : listing.problems) found.push_back(data + "/" + p.path);
    testing::FakePage page;
    page.folder = data + "/QTM-01";
    ASSERT_TRUE(listRunsOfDay(fs, page, {2024, 3, 1}));
    std::sort(found.begin(), found.end());
    std::sort(page.paths.begin(), page.paths.end());
    EXPECT_EQ(found, page.paths);
    // The file that holds no run is named, never a row of empty fields.
    ASSERT_EQ(listing.problems.size(), 1U);
    EXPECT_EQ(listing.problems[0].path, "QTM-01/QTM240301_0000_damaged.csv");
    EXPECT_EQ(listing.problems[0].reason, kDamagedRunFile);
    EXPECT_EQ(source.readRun("QTM-01", "QTM240301_0000_damaged.csv").outcome,
              RunRead::Outcome::Unreadable);
    EXPECT_EQ(source.readRun("QTM-01", "QTM240301_101010_z_bak.csv").outcome,
              RunRead::Outcome::Gone);
}

TEST_F(FolderRunSourceTest, OrdersByStartThenStopwatchThenNameAndSaysWhenCut) {
    const RunRecord early = testing::steadyRun({2024, 3, 1, 8, 0, 0}, 1, 6000);
    const RunRecord late = testing::steadyRun({2024, 3, 1, 9, 0, 0}, 1, 6000);
    write(1, "00000000beef", late);
    const std::string a = write(0, "0123456789ab", late);
    // The same run under a second name in the same folder, and an earlier run last by name.
    testing::writeBytes(data + "/QTM-01/QTM240301_090000_0.csv", testing::fileBytes(a));
    write(1, "00000000beef", early);
    FolderRunSource source(DataFolder(fs, data));
    const std::vector<std::string> order = {
        "QTM-02/QTM240301_080000_00000000beef.csv", "QTM-01/QTM240301_090000_0.csv",
        "QTM-01/QTM240301_090000_0123456789ab.csv", "QTM-02/QTM240301_090000_00000000beef.csv"};
    for (int limit : {0, 1, 3, 4}) {
        RunQuery query;
        query.limit = limit;
        const RunListing listing = source.listRuns(query);
        std::vector<std::string> paths;
        for (const RunRow& row : listing.rows) paths.push_back(row.folderName + "/" + row.fileName);
        const std::size_t shown = limit == 0 ? order.size() : std::size_t(limit);
        EXPECT_EQ(paths, std::vector<std::string>(order.begin(), order.begin() + long(shown)));
        EXPECT_EQ(listing.truncated, shown < order.size()) << limit;
    }
}

TEST_F(FolderRunSourceTest, NamesFoldersItCannotListButNotOnesNeverMade) {
    write(0, "0123456789ab", testing::clockExample());
    std::filesystem::remove_all(data + "/QTM-01");
    std::filesystem::remove_all(data + "/QTM-02");
    testing::writeBytes(data + "/QTM-02", "a file where a folder should be");
    FolderRunSource source(DataFolder(fs, data));
    const RunListing listing = source.listRuns(RunQuery{});
    EXPECT_TRUE(listing.answered);
    EXPECT_TRUE(listing.rows.empty());
    ASSERT_EQ(listing.problems.size(), 1U);
    EXPECT_EQ(listing.problems[0].path, "QTM-02");
    EXPECT_EQ(listing.problems[0].reason, "Not a directory");
    // Without a readable registry there is no answer at all.
    std::filesystem::remove(data + "/Lapdex.dat");
    std::filesystem::create_directory(data + "/Lapdex.dat");
    EXPECT_FALSE(source.listRuns(RunQuery{}).answered);
    EXPECT_FALSE(source.registeredStopwatches().has_value());
}

TEST_F(FolderRunSourceTest, RunsThatCannotBeReadAfterTheListingAreNamedNotDropped) {
    const std::string kept = write(0, "0123456789ab", testing::clockExample());
    const std::string gone =
        write(0, "0123456789ab", testing::steadyRun({2024, 3, 1, 8, 0, 0}, 2, 6000));
    const std::string damaged =
        write(1, "00000000beef", testing::steadyRun({2024, 3, 2, 8, 0, 0}, 1, 6000));
    FolderRunSource source(DataFolder(fs, data));
    const RunListing listing = source.listRuns(RunQuery{});
    ASSERT_EQ(listing.rows.size(), 3U);
    ASSERT_EQ(::unlink(gone.c_str()), 0);
    ::chmod(damaged.c_str(), 0644);
    testing::writeBytes(damaged, "no run any more");
    const SourceAnswer<std::vector<ExportRun>> runs = collectExportRuns(source, listing.rows);
    ASSERT_TRUE(runs.value.has_value());
    ASSERT_EQ(runs.value->size(), 1U);
    EXPECT_EQ(data + "/" + (*runs.value)[0].relativePath, kept);
    EXPECT_EQ((*runs.value)[0].run.laps.size(), 3U);
    ASSERT_EQ(runs.problems.size(), 2U);
    EXPECT_EQ(runs.problems[0].path, "QTM-01/QTM240301_080000_0123456789ab.csv");
    EXPECT_EQ(runs.problems[0].reason, "no such run");
    EXPECT_EQ(runs.problems[1].path, "QTM-02/QTM240302_080000_00000000beef.csv");
    EXPECT_EQ(runs.problems[1].reason, kDamagedRunFile);
    EXPECT_EQ(countsOf(*runs.value).runs, 1);
}

// Memo words are found whatever their case and width, in run and lap memos alike, and the index
// answers as the folder scan does.
TEST_F(FolderRunSourceTest, MemoSearchIgnoresCaseAndWidthInBothSources) {
    const struct {
        const char* needle;
        const char* memo;
        bool lapMemo;
        bool found;
    } kRows[] = {
        {"HEAD", "headwind", false, true},
        {"ｈｅａｄ", "headwind", false, true},
        {"head", "ＨＥＡＤＷＩＮＤ", false, true},
        {"WIND", "Headwind", true, true},
        {"カタカナ", "ｶﾀｶﾅ", false, true},
        {"ｶﾀｶﾅ", "カタカナ", true, true},
        {"ｶﾞｯｺｳ", "ガッコウ", false, true},
        {"１２３", "lap 123", false, true},
        {"ａB", "AB", false, true},
        {"かたかな", "カタカナ", false, false},
        {"ガ", "カタカナ", false, false},
        {"tail", "headwind", false, false},
    };
    std::vector<std::string> files;
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        RunRecord run = testing::steadyRun({2024, 3, 1, 8, static_cast<int>(i), 0}, 2, 6000);
        (kRows[i].lapMemo ? run.laps[1].memo : run.memo) = kRows[i].memo;
        const std::string path = write(0, "0123456789ab", run);
        files.push_back(path.substr(path.rfind('/') + 1));
    }
    FolderRunSource scan{DataFolder(fs, data)};
    RunIndex index(fs, data, root / "cache/runs.sqlite");
    ASSERT_TRUE(index.open());
    ASSERT_TRUE(
        index.refreshAll(scan.registeredStopwatches().value_or(std::vector<RunStopwatch>{})));
    for (RunSource* source : {static_cast<RunSource*>(&scan), static_cast<RunSource*>(&index)}) {
        for (std::size_t i = 0; i < std::size(kRows); ++i) {
            RunQuery query;
            query.words = {kRows[i].needle};
            const RunListing listing = source->listRuns(query);
            ASSERT_TRUE(listing.complete());
            const bool found =
                std::any_of(listing.rows.begin(), listing.rows.end(),
                            [&](const RunRow& row) { return row.fileName == files[i]; });
            EXPECT_EQ(found, kRows[i].found) << kRows[i].needle << " in " << kRows[i].memo
                                             << (source == &index ? " (index)" : " (scan)");
        }
    }
}

}  // namespace
}  // namespace lapdex
