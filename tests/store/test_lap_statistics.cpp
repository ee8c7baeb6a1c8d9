// Lap statistics on runs worked out by hand, in both time formats.
#include <gtest/gtest.h>

#include "lap_statistics.h"
#include "personal_bests.h"
#include "team_day.h"

namespace lapdex {
namespace {

RunRecord clockRun(const std::vector<RunTime>& laps) {
    RunRecord run;
    run.timeFormat = TimeFormat::Clock;
    for (std::size_t i = 0; i < laps.size(); ++i)
        run.laps.push_back({static_cast<int>(i) + 1, laps[i], {}, ""});
    run.lapCount = static_cast<int>(laps.size());
    return run;
}

RunRecord decimalRun(const std::vector<std::uint32_t>& thousandths) {
    RunRecord run;
    run.timeFormat = TimeFormat::DecimalMinute;
    for (std::size_t i = 0; i < thousandths.size(); ++i)
        run.laps.push_back({static_cast<int>(i) + 1, {0, 0, 0, 0, thousandths[i]}, {}, ""});
    run.lapCount = static_cast<int>(thousandths.size());
    return run;
}

struct Expected {
    std::int64_t total, best;
    int bestNumber;
    std::int64_t slowest;
    int slowestNumber;
    double average, median, deviation, variation;
    bool halves;
    double first, second, fade;
    bool withoutFirst;
    double averageWithoutFirst;
};

TEST(LapStatistics, MatchHandComputedRunsInBothFormats) {
    const struct {
        const char* name;
        RunRecord run;
        Expected expected;
    } kCases[] = {
        // 60, 62, 64, 66 s: deviations ±100, ±300 cs, variance 50000.
        {"clock, steady fade",
         clockRun({{0, 1, 0, 0, 0}, {0, 1, 2, 0, 0}, {0, 1, 4, 0, 0}, {0, 1, 6, 0, 0}}),
         {25200, 6000, 1, 6600, 4, 6300, 6300, 223.6068, 0.0354931, true, 6100, 6500, 400, true,
          6400}},
        // The worked example: 70.50, 64.70, 64.80 s. Odd count: the middle lap is in neither half.
        {"clock, fast finish",
         clockRun({{0, 1, 10, 50, 0}, {0, 1, 4, 70, 0}, {0, 1, 4, 80, 0}}),
         {20000, 6470, 2, 7050, 1, 6666.667, 6480, 271.0884, 0.0406633, true, 7050, 6480, -570,
          true, 6475}},
        // Hours count: one lap of 1:00:00.01 is all the statistics there are.
        {"clock, one lap",
         clockRun({{1, 0, 0, 1, 0}}),
         {360001, 360001, 1, 360001, 1, 360001, 360001, 0, 0, false, 0, 0, 0, false, 0}},
        // 1.000, 1.000, 1.100, 1.100, 1.000 minutes = 60, 60, 66, 66, 60 s; ties keep the earliest.
        {"decimal minutes, ties",
         decimalRun({1000, 1000, 1100, 1100, 1000}),
         {31200, 6000, 1, 6600, 3, 6240, 6000, 293.9388, 0.0471055, true, 6000, 6300, 300, true,
          6300}},
        // 1.500 and 1.499 minutes: 90.00 and 89.94 s; the median of two is their mean.
        {"decimal minutes, two laps",
         decimalRun({1500, 1499}),
         {17994, 8994, 2, 9000, 1, 8997, 8997, 3, 0.000333444, true, 9000, 8994, -6, true, 8994}},
        // Zero laps (a press of the lap key twice): no spread, no variation.
        {"clock, zero laps",
         clockRun({{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}),
         {0, 0, 1, 0, 1, 0, 0, 0, 0, true, 0, 0, 0, true, 0}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::optional<LapStatistics> s = runStatistics(c.run);
        ASSERT_TRUE(s.has_value());
        const Expected& e = c.expected;
        EXPECT_EQ(s->lapCount, static_cast<int>(c.run.laps.size()));
        EXPECT_EQ(s->totalCs, e.total);
        EXPECT_EQ(s->bestLapCs, e.best);
        EXPECT_EQ(s->bestLapNumber, e.bestNumber);
        EXPECT_EQ(s->slowestLapCs, e.slowest);
        EXPECT_EQ(s->slowestLapNumber, e.slowestNumber);
        EXPECT_NEAR(s->averageLapCs, e.average, 1e-3);
        EXPECT_NEAR(s->medianLapCs, e.median, 1e-9);
        EXPECT_NEAR(s->standardDeviationCs, e.deviation, 1e-3);
        EXPECT_NEAR(s->coefficientOfVariation, e.variation, 1e-6);
        EXPECT_EQ(s->hasHalves, e.halves);
        EXPECT_NEAR(s->firstHalfAverageCs, e.first, 1e-9);
        EXPECT_NEAR(s->secondHalfAverageCs, e.second, 1e-9);
        EXPECT_NEAR(s->fadeCs, e.fade, 1e-9);
        EXPECT_EQ(s->hasAverageWithoutFirst, e.withoutFirst);
        EXPECT_NEAR(s->averageWithoutFirstCs, e.averageWithoutFirst, 1e-9);
    }
}

TEST(LapStatistics, NeedLapsWithKnownTimes) {
    EXPECT_FALSE(lapStatistics({}).has_value());
    EXPECT_FALSE(lapStatistics({6000, -1, 6100}).has_value());
    RunDetails unreadable;
    unreadable.laps = {{1, 6000, 6000, ""}, {2, -1, -1, ""}};
    EXPECT_FALSE(runStatistics(unreadable).has_value());
    RunDetails readable;
    readable.laps = {{1, 6000, 6000, ""}, {2, 6200, 12200, ""}};
    ASSERT_TRUE(runStatistics(readable).has_value());
    EXPECT_EQ(runStatistics(readable)->slowestLapNumber, 2);
}

TEST(LapStatistics, HundredthsOfEitherFormat) {
    EXPECT_EQ(hundredthsOf({2, 3, 4, 5, 0}, TimeFormat::Clock), ((2 * 60 + 3) * 60 + 4) * 100 + 5);
    // A thousandth of a minute is six hundredths of a second; the Clock fields are ignored.
    EXPECT_EQ(hundredthsOf({9, 9, 9, 9, 1234567}, TimeFormat::DecimalMinute), 7407402);
    EXPECT_EQ(hundredthsOf({0, 0, 0, 0, 7}, TimeFormat::Clock), 0);
}

RunRow row(const char* file, const char* start, int laps, std::int64_t total, std::int64_t bestLap,
           int bestNumber) {
    RunRow r;
    r.folderName = "QTM-01";
    r.fileName = file;
    r.run.start = start;
    r.run.lapCount = laps;
    r.run.totalCs = total;
    r.run.bestLapCs = bestLap;
    r.run.bestLapNumber = bestNumber;
    return r;
}

const std::vector<RunRow> kHistory = {
    row("a.csv", "2024-01-01T09:00:00", 3, 20000, 6500, 1),
    row("b.csv", "2024-01-02T09:00:00", 3, 20100, 6400, 2),  // faster lap
    row("c.csv", "2024-01-03T09:00:00", 4, 27000, 6600, 4),  // first run of four laps
    row("d.csv", "2024-01-04T09:00:00", 4, 26900, 6450, 3),  // faster four-lap total
    row("e.csv", "2024-01-05T09:00:00", 3, 20000, 6400, 1),  // only equals the bests
    row("f.csv", "2024-01-06T09:00:00", 3, -1, -1, 0),       // unreadable times
};

TEST(PersonalBests, HoldTheEarliestFastestOfEachKind) {
    const PersonalBests bests = personalBestsOf({"QTM-01", "0123456789ab", "走者A", {}}, kHistory);
    EXPECT_EQ(bests.fastestLap.cs, 6400);
    EXPECT_EQ(bests.fastestLap.lapNumber, 2);
    EXPECT_EQ(bests.fastestLap.fileName, "b.csv");
    EXPECT_EQ(bests.fastestLap.start, "2024-01-02T09:00:00");
    ASSERT_EQ(bests.fastestTotal.size(), 2U);
    EXPECT_EQ(bests.fastestTotal.at(3).cs, 20000);
    EXPECT_EQ(bests.fastestTotal.at(3).fileName, "a.csv");
    EXPECT_EQ(bests.fastestTotal.at(4).cs, 26900);
    EXPECT_EQ(bests.fastestTotal.at(4).fileName, "d.csv");
    // Each lap count's own fastest lap: the four-lap runs' is slower than the three-lap runs'.
    ASSERT_EQ(bests.fastestLapOfCount.size(), 2U);
    EXPECT_EQ(bests.fastestLapOfCount.at(3), bests.fastestLap);
    EXPECT_EQ(bests.fastestLapOfCount.at(4), (BestTime{6450, 3, "d.csv", "2024-01-04T09:00:00"}));
    EXPECT_EQ(bests.stopwatch.tabName, "走者A");
}

TEST(PersonalBests, OnlyRunsThatBeatAnEarlierRunSetOne) {
    EXPECT_EQ(runsThatSetBests(kHistory), (std::set<std::string>{"b.csv", "d.csv"}));
    EXPECT_TRUE(runsThatSetBests({}).empty());
    EXPECT_TRUE(runsThatSetBests({kHistory[0]}).empty());
}

TEST(PersonalBests, ADownloadNamesOnlyTheBestsItsOwnRunsSet) {
    using Kind = BestSet::Kind;
    struct Named {
        Kind kind;
        int lapCount;
        std::int64_t cs;
        std::string file;
        std::int64_t beaten;
    };
    const struct {
        std::set<std::string> newFiles;
        std::vector<Named> named;
    } kCases[] = {
        {{}, {}},
        {{"a.csv"}, {}},  // a first run has nothing to beat
        {{"b.csv"}, {{Kind::Lap, 0, 6400, "b.csv", 6500}}},
        {{"c.csv"}, {}},  // the first run of four laps, and no faster lap
        {{"d.csv"}, {{Kind::Total, 4, 26900, "d.csv", 27000}}},
        {{"e.csv", "f.csv"}, {}},  // equal times and unreadable ones set nothing
        {{"b.csv", "c.csv", "d.csv", "e.csv", "f.csv"},
         {{Kind::Lap, 0, 6400, "b.csv", 6500}, {Kind::Total, 4, 26900, "d.csv", 27000}}},
    };
    for (const auto& c : kCases) {
        const std::vector<BestSet> set = bestsSetBy(kHistory, c.newFiles);
        ASSERT_EQ(set.size(), c.named.size()) << c.newFiles.size();
        for (std::size_t i = 0; i < set.size(); ++i) {
            EXPECT_EQ(set[i].kind, c.named[i].kind);
            EXPECT_EQ(set[i].lapCount, c.named[i].lapCount);
            EXPECT_EQ(set[i].best.cs, c.named[i].cs);
            EXPECT_EQ(set[i].best.fileName, c.named[i].file);
            EXPECT_EQ(set[i].beatenCs, c.named[i].beaten);
        }
    }
}

TEST(PersonalBests, OfTwoNewRunsThatBeatEachOtherTheLastIsNamed) {
    std::vector<RunRow> rows = kHistory;
    rows.push_back(row("g.csv", "2024-01-07T09:00:00", 3, 19900, 6300, 3));
    const std::vector<BestSet> set = bestsSetBy(rows, {"b.csv", "g.csv"});
    ASSERT_EQ(set.size(), 2U);
    EXPECT_EQ(set[0].best.fileName, "g.csv");
    EXPECT_EQ(set[0].best.lapNumber, 3);
    EXPECT_EQ(set[0].beatenCs, 6400);
    EXPECT_EQ(set[1].lapCount, 3);
    EXPECT_EQ(set[1].best.cs, 19900);
    EXPECT_EQ(set[1].beatenCs, 20000);
}

TEST(TeamDay, ColumnExtremesSkipRunsWithoutThatLap) {
    TeamDay day;
    day.runs.resize(3);
    day.runs[0].lapsCs = {6000, 6100, 6200};
    day.runs[0].splitsCs = {6000, 12100, 18300};
    day.runs[1].lapsCs = {5900};
    day.runs[1].splitsCs = {5900};
    day.runs[2].lapsCs = {6300, -1};
    day.runs[2].splitsCs = {6300, -1};
    const struct {
        int lap;
        bool split;
        std::int64_t fastest, slowest;
    } kCases[] = {
        {0, false, 5900, 6300}, {1, false, 6100, 6100}, {2, true, 18300, 18300},
        {0, true, 5900, 6300},  {3, false, -1, -1},     {-1, false, -1, -1},
    };
    for (const auto& c : kCases) {
        const ColumnExtremes e = lapColumnExtremes(day, c.lap, c.split);
        EXPECT_EQ(e.fastestCs, c.fastest) << c.lap;
        EXPECT_EQ(e.slowestCs, c.slowest) << c.lap;
    }
    // Totals likewise skip the runs whose total could not be read.
    day.runs[0].totalCs = 18300;
    day.runs[1].totalCs = 5900;
    const ColumnExtremes totals = totalColumnExtremes(day);
    EXPECT_EQ(totals.fastestCs, 5900);
    EXPECT_EQ(totals.slowestCs, 18300);
    EXPECT_EQ(totalColumnExtremes(TeamDay{}).fastestCs, -1);
}

}  // namespace
}  // namespace lapdex
