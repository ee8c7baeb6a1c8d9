// Progress of one stopwatch: which runs are shown and which set a best.
#include <gtest/gtest.h>

#include "progress.h"

namespace lapdex {
namespace {

struct ProgressCase {
    const char* name;
    std::vector<std::tuple<const char*, int, std::int64_t>> runs;  // start, laps, total
    ProgressQuery query;
    std::vector<std::pair<const char*, bool>> shown;  // start, personal best
    int lapCount;
};

TEST(Progress, ShowsOneLapCountAndMarksEachNewBest) {
    const std::vector<std::tuple<const char*, int, std::int64_t>> season = {
        {"2026-10-01T07:00:00", 4, 30000}, {"2026-10-02T07:00:00", 2, 12000},
        {"2026-10-08T07:00:00", 4, 29000}, {"2026-10-15T07:00:00", 4, 29000},
        {"2026-11-01T07:00:00", 4, 29500}, {"2026-11-08T07:00:00", 4, -1},
        {"2026-11-15T07:00:00", 4, 28500}, {"2026-11-16T07:00:00", 2, 13000}};
    const std::vector<ProgressCase> cases = {
        {"usual lap count, whole history",
         season,
         {"QTM-01", 0, "", ""},
         {{"2026-10-01T07:00:00", true},
          {"2026-10-08T07:00:00", true},
          {"2026-10-15T07:00:00", false},
          {"2026-11-01T07:00:00", false},
          {"2026-11-08T07:00:00", false},
          {"2026-11-15T07:00:00", true}},
         4},
        {"a date range still judges against earlier runs",
         season,
         {"QTM-01", 4, "2026-11-01", "2026-11-30"},
         {{"2026-11-01T07:00:00", false},
          {"2026-11-08T07:00:00", false},
          {"2026-11-15T07:00:00", true}},
         4},
        {"another lap count",
         season,
         {"QTM-01", 2, "", "2026-10-31"},
         {{"2026-10-02T07:00:00", true}},
         2},
        {"a lap count never run", season, {"QTM-01", 9, "", ""}, {}, 9},
        {"equally frequent lap counts: the smaller is usual",
         {{"2026-10-01T07:00:00", 3, 100}, {"2026-10-02T07:00:00", 2, 100}},
         {"QTM-01", 0, "", ""},
         {{"2026-10-02T07:00:00", true}},
         2},
    };
    const RunStopwatch stopwatch{"QTM-01", "0123456789ab", "A", {}};
    for (const ProgressCase& c : cases) {
        std::vector<RunRow> rows;
        for (const auto& [start, laps, total] : c.runs) {
            RunRow row{"QTM-01", stopwatch.serialText, "A", std::string("f") + start, {}, {}};
            row.run.start = start;
            row.run.lapCount = laps;
            row.run.totalCs = total;
            rows.push_back(row);
            row.folderName = "QTM-02";  // another stopwatch's run never counts
            row.run.totalCs = 1;
            rows.push_back(row);
        }
        const Progress progress = progressOf(stopwatch, rows, c.query);
        EXPECT_EQ(progress.lapCount, c.lapCount) << c.name;
        ASSERT_EQ(progress.runs.size(), c.shown.size()) << c.name;
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            EXPECT_EQ(progress.runs[i].start, c.shown[i].first) << c.name;
            EXPECT_EQ(progress.runs[i].personalBest, c.shown[i].second) << c.name << " " << i;
        }
    }
}

TEST(Progress, SquadTakesEachMonthsBestOfOneLapCount) {
    const std::vector<RunStopwatch> squad = {{"QTM-01", "a", "A", {}}, {"QTM-02", "b", "B", {}}};
    // folder, start, laps, total
    const std::vector<std::tuple<const char*, const char*, int, std::int64_t>> runs = {
        {"QTM-01", "2026-11-20T07:00:00", 4, 30000}, {"QTM-01", "2026-11-02T07:00:00", 4, 29000},
        {"QTM-02", "2026-12-01T07:00:00", 4, 31000}, {"QTM-02", "2027-02-01T07:00:00", 4, 30500},
        {"QTM-01", "2027-03-01T07:00:00", 2, 10000}, {"QTM-03", "2027-04-01T07:00:00", 4, 100},
        {"QTM-01", "2026-12-05T07:00:00", 4, -1}};
    std::vector<RunRow> rows;
    for (const auto& [folder, start, laps, total] : runs) {
        RunRow row{folder, "", "", start, {}, {}};
        row.run.start = start;
        row.run.lapCount = laps;
        row.run.totalCs = total;
        rows.push_back(row);
    }
    const SquadView view = squadOf(squad, rows, 4);
    EXPECT_EQ(view.months, (std::vector<std::string>{"2026-11", "2026-12", "2027-01", "2027-02"}));
    EXPECT_EQ(view.bestCs, (std::vector<std::vector<std::int64_t>>{{29000, -1, -1, -1},
                                                                   {-1, 31000, -1, 30500}}));
    EXPECT_TRUE(squadOf(squad, rows, 7).months.empty());
}

}  // namespace
}  // namespace lapdex
