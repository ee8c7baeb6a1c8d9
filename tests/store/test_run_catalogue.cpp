// The run catalogue: which names are runs of a day, the listing, the day masks and deletion.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <set>

#include "fake_catalogue_page.h"
#include "recorded_cells.h"
#include "run_catalogue.h"
#include "run_file_fixture.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::FakePage;
using testing::RecordedCells;

constexpr const char* kRunText = "n1\r\nn2\r\n\r\n\r\nh\r\n2015/03/14   09:30:15,t,1,1,b,a,\r\n\r\nl\r\n1,a,b,\r\n";

class RunCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        page.folder = selectedStopwatchFolder(folder.path(), 4);
        ASSERT_EQ(page.folder, folder / "QTM-05");
        ASSERT_TRUE(fs.createFolder(page.folder).ok());
    }
    std::string file(const std::string& name, const char* text = kRunText) {
        const std::string path = page.folder + "/" + name;
        testing::writeBytes(path, text);
        return path;
    }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder folder;
    FakePage page;
};

TEST_F(RunCatalogueTest, LeftoversOfAnInterruptedWriteAreNoRuns) {
    // What a crash in the middle of a memo rewrite or a download can leave beside a run.
    file("QTM150314_093015_ab8967452301_bak.csv");
    file("QTM150314_093016_ab8967452301_BAK.csv");
    file(".QTM150314_093017_ab8967452301.csv.tmp-12-0");
    EXPECT_FALSE(findRunsOfDay(fs, page, "QTM150314", SearchMode::Existence));
    EXPECT_FALSE(listRunsOfDay(fs, page, {2015, 3, 14}));
    // Nor is the day shown in bold for them.
    const std::uint32_t march14 = 1U << 13;
    EXPECT_EQ(computeDayMasks(fs, page)[1] & march14, 0U);
    const std::string run = file("QTM150314_093015_ab8967452301.csv");
    EXPECT_TRUE(listRunsOfDay(fs, page, {2015, 3, 14}));
    EXPECT_EQ(page.paths, std::vector<std::string>{run});
}

TEST_F(RunCatalogueTest, DayPatternDecidesWhatIsARun) {
    file("QTM150314_2460_x.csv");   // 24 is no hour
    file("qtm150314_0930.csv");     // found by the search, refused by the case-sensitive pattern
    file("QTM150314_0930.txt");
    ASSERT_TRUE(fs.createFolder(page.folder + "/QTM150314_0931.csv").ok());
    EXPECT_FALSE(findRunsOfDay(fs, page, "QTM150314", SearchMode::Existence));
    file("QTM150314_0930.csv");  // only "_" and four time digits are needed
    EXPECT_TRUE(findRunsOfDay(fs, page, "QTM150314", SearchMode::Existence));
    EXPECT_FALSE(findRunsOfDay(fs, page, "QTM150315", SearchMode::Existence));
}

TEST_F(RunCatalogueTest, ListsEachReadableRunWithItsOrdinal) {
    const std::string a = file("QTM150314_093015_0123456789ab.csv");
    const std::string b = file("QTM150314_235959_0123456789ab.csv");
    file("QTM150313_093015_0123456789ab.csv");
    const std::string held = file("QTM150314_120000_0123456789ab.csv");
    auto lock = fs.holdLock(held, LockMode::Exclusive);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(listRunsOfDay(fs, page, {2015, 3, 14}));
    ASSERT_EQ(page.paths.size(), 2u);
    EXPECT_EQ(std::set<std::string>(page.paths.begin(), page.paths.end()), (std::set<std::string>{a, b}));
    // Ordinals count the runs read, 1 and 2, whatever the folder order; 11 cells per run.
    ASSERT_EQ(page.cells.cells.size(), 22u);
    EXPECT_EQ(page.cells.cells.front().ordinal, 1);
    EXPECT_EQ(page.cells.cells.back().ordinal, 2);
    EXPECT_EQ(page.cells.cells.front().text, "2015/03/14   09:30:15");
}

TEST_F(RunCatalogueTest, MissingFolderListsNothing) {
    page.folder = selectedStopwatchFolder(folder.path(), -1);
    EXPECT_EQ(page.folder, folder / "QTM-00");
    EXPECT_FALSE(listRunsOfDay(fs, page, {2015, 3, 14}));
    EXPECT_TRUE(page.paths.empty());
}

TEST_F(RunCatalogueTest, MasksMarkReadableRunsOfDisplayedDays) {
    file("QTM150222_000000_a.csv");   // first shown day
    file("QTM150221_000000_a.csv");   // before the range
    file("QTM150331_235900_a.csv");
    file("QTM150404_000000_a.csv");   // second month runs to its end, past the last shown day
    const std::string held = file("QTM150305_000000_a.csv");
    auto lock = fs.holdLock(held, LockMode::Exclusive);
    const auto masks = computeDayMasks(fs, page);
    EXPECT_EQ(masks, (std::vector<std::uint32_t>{1U << 21, 1U << 30, 1U << 3}));
    EXPECT_EQ(page.handedMasks, masks);
    EXPECT_EQ(masks, dayMasksByDaySearch(fs, page));
}

TEST_F(RunCatalogueTest, NoRegisteredStopwatchMarksNothingAndOtherViewsGetNothing) {
    file("QTM150301_000000_a.csv");
    page.registered = 0;
    EXPECT_EQ(computeDayMasks(fs, page), (std::vector<std::uint32_t>{0, 0, 0}));
    EXPECT_EQ(page.handedCount, 1);
    page.registered = 1;
    page.monthView = false;
    EXPECT_TRUE(computeDayMasks(fs, page).empty());
    EXPECT_EQ(page.handedCount, 1);
}

TEST(MonthSpans, FollowTheDisplayedRangeOverYearEndsAndLeapYears) {
    const auto spans = monthSpans({{2023, 11, 27}, {2024, 2, 9}, 4});
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_EQ(spans[0].month, 11);
    EXPECT_EQ(spans[0].firstDay, 27);
    EXPECT_EQ(spans[0].lastDay, 30);
    EXPECT_EQ(spans[1].year, 2023);
    EXPECT_EQ(spans[1].lastDay, 31);
    EXPECT_EQ(spans[2].year, 2024);
    EXPECT_EQ(spans[2].month, 1);
    EXPECT_EQ(spans[3].month, 2);
    EXPECT_EQ(spans[3].lastDay, 9);
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(dayPrefix({2105, 1, 2}), "QTM050102");
}

// Names around the edges of many displayed ranges: the single scan must mark exactly the days the
// day-by-day search marks.
TEST_F(RunCatalogueTest, SingleScanAgreesWithDayByDaySearch) {
    std::mt19937 random(3);
    const char* tails[] = {"_0000_a.csv", "_2359.csv", "_2400.csv", "_1260_b.csv", "_093015_x.CSV",
                           ".csv", "_0930_QTM{}_1111.csv", "x_1200.csv"};
    for (int i = 0; i < 600; ++i) {
        char name[64];
        const int year = 23 + static_cast<int>(random() % 3);
        const int month = static_cast<int>(random() % 13);
        const int day = static_cast<int>(random() % 33);
        std::snprintf(name, sizeof name, "%s%02d%02d%02d", random() % 5 == 0 ? "qtm" : "QTM", year, month, day);
        std::string tail = tails[random() % 8];
        if (const auto at = tail.find("{}"); at != std::string::npos) tail.replace(at, 2, std::string(name + 3));
        file(name + tail);
    }
    ASSERT_TRUE(fs.createFolder(page.folder + "/QTM240301_1200.csv").ok());
    const DisplayedRange ranges[] = {{{2023, 12, 25}, {2024, 3, 3}, 4}, {{2024, 1, 29}, {2024, 3, 10}, 3},
                                     {{2024, 2, 1}, {2024, 3, 31}, 2},  {{2024, 11, 24}, {2025, 1, 4}, 3},
                                     {{2025, 2, 23}, {2025, 4, 5}, 3},  {{2023, 1, 1}, {2023, 1, 31}, 1}};
    for (const DisplayedRange& range : ranges) {
        page.range = range;
        const auto byDay = dayMasksByDaySearch(fs, page);
        EXPECT_EQ(computeDayMasks(fs, page), byDay);
        EXPECT_NE(std::count(byDay.begin(), byDay.end(), 0u), static_cast<long>(byDay.size()));
    }
}

// The hand-written day pattern must accept exactly what the ECMAScript pattern accepts.
TEST(DayPattern, AcceptsExactlyWhatTheRegularExpressionAccepts) {
    std::mt19937 random(7);
    const std::string prefixes[] = {"QTM150314", "QTM150315", "QTM000100"};
    std::vector<std::regex> patterns;
    for (const std::string& prefix : prefixes) {
        patterns.emplace_back(prefix + "_([0-1][0-9]|2[0-3])([0-5][0-9])", std::regex::ECMAScript);
    }
    int accepted = 0;
    for (int i = 0; i < 10000; ++i) {
        const std::size_t which = random() % 3;
        const std::string& prefix = prefixes[which];
        // Names pieced together from the prefix, its parts, times in and out of range and noise.
        const std::string pieces[] = {prefix, prefix.substr(0, 8), "qtm150314", "_", "_0930", "_2359", "_2400",
                                      "_1960", "_19", "23", "5", "9", "x", ".csv"};
        std::string name;
        for (std::size_t k = random() % 7; k > 0; --k) name += pieces[random() % std::size(pieces)];
        const bool expected = std::regex_search(name, patterns[which]);
        accepted += expected ? 1 : 0;
        ASSERT_EQ(containsRunOfDay(name, prefix), expected) << name << " / " << prefix;
    }
    EXPECT_GT(accepted, 100);  // the generated names reach both answers often
    EXPECT_TRUE(containsRunOfDay("xQTM150314_QTM150314_2359", "QTM150314"));
    EXPECT_FALSE(containsRunOfDay("QTM150314_2360QTM150314_240", "QTM150314"));
}

TEST_F(RunCatalogueTest, DeleteClearsReadOnlyButRefusesAFileInUse) {
    const std::string path = file("QTM150314_093015_a.csv");
    ASSERT_TRUE(fs.setReadOnlyAttribute(path, ReadOnly::On).ok());
    {
        auto lock = fs.holdLock(path, LockMode::Shared);
        ASSERT_NE(lock, nullptr);
        EXPECT_EQ(deleteRunFile(fs, path).error, FsError::InUse);
        EXPECT_TRUE(fs.isReadOnly(path));
    }
    EXPECT_TRUE(deleteRunFile(fs, path).ok());
    EXPECT_EQ(fs.kindOf(path), EntryKind::None);
    EXPECT_EQ(deleteRunFile(fs, path).error, FsError::NotFound);
}

}  // namespace
}  // namespace lapdex
