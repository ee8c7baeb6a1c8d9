// Run data decoding: the walk over the buffer, lap times, best lap, averages and odd input.
#include <gtest/gtest.h>

#include <vector>

#include "run_data_builder.h"
#include "run_decoder.h"

namespace lapdex {
namespace {

using testing::appendRun;
using testing::HeaderBytes;
using testing::SplitBytes;

std::vector<RunRecord> decodeAll(const std::vector<std::uint8_t>& data, TimeFormat format) {
    std::vector<RunRecord> records;
    const std::size_t handed =
        decodeRunData(data, format, [&](RunRecord&& record) { records.push_back(std::move(record)); });
    EXPECT_EQ(handed, records.size());
    return records;
}

RunTime clock(std::uint32_t h, std::uint32_t m, std::uint32_t s, std::uint32_t c) {
    return RunTime{h, m, s, c, 0};
}

RunTime thousandths(std::uint32_t value) { return RunTime{0, 0, 0, 0, value}; }

TEST(RunDecoder, TimeFormatFollowsProductType) {
    EXPECT_EQ(timeFormatFromProductType(0), TimeFormat::DecimalMinute);
    EXPECT_EQ(timeFormatFromProductType(1), TimeFormat::DecimalMinute);
    EXPECT_EQ(timeFormatFromProductType(2), TimeFormat::Clock);
    EXPECT_EQ(timeFormatFromProductType(3), TimeFormat::Clock);
    EXPECT_EQ(timeFormatFromProductType(4), TimeFormat::Clock);
    EXPECT_EQ(timeFormatFromProductType(255), TimeFormat::Clock);
}

TEST(RunDecoder, ClockWorkedExample) {
    std::vector<std::uint8_t> data;
    appendRun(data, {}, {{0, 1, 10, 50}, {0, 2, 15, 20}, {0, 3, 20, 0}});
    const auto records = decodeAll(data, TimeFormat::Clock);
    ASSERT_EQ(records.size(), 1u);
    const RunRecord& run = records[0];
    EXPECT_EQ(run.start, (RunStart{2024, 1, 31, 9, 30, 15}));
    EXPECT_EQ(run.timeFormat, TimeFormat::Clock);
    ASSERT_EQ(run.laps.size(), 3u);
    EXPECT_EQ(run.lapCount, 3);
    EXPECT_EQ(run.laps[0].lap, clock(0, 1, 10, 50));
    EXPECT_EQ(run.laps[1].lap, clock(0, 1, 4, 70));
    EXPECT_EQ(run.laps[2].lap, clock(0, 1, 4, 80));
    EXPECT_EQ(run.laps[1].split, clock(0, 2, 15, 20));
    EXPECT_EQ(run.laps[2].number, 3);
    EXPECT_EQ(run.bestLapNumber, 2);
    EXPECT_EQ(run.bestLap, clock(0, 1, 4, 70));
    EXPECT_EQ(run.total, clock(0, 3, 20, 0));
    EXPECT_EQ(run.averageLap, clock(0, 1, 6, 66));
    EXPECT_TRUE(run.memo.empty());
}

TEST(RunDecoder, DecimalMinuteWorkedExample) {
    std::vector<std::uint8_t> data;
    appendRun(data, {}, {{0, 1, 30, 0}, {0, 2, 59, 99}});
    const auto records = decodeAll(data, TimeFormat::DecimalMinute);
    ASSERT_EQ(records.size(), 1u);
    const RunRecord& run = records[0];
    EXPECT_EQ(run.laps[0].split.thousandths, 1500u);
    EXPECT_EQ(run.laps[1].split.thousandths, 2999u);
    EXPECT_EQ(run.laps[0].lap, thousandths(1500));
    EXPECT_EQ(run.laps[1].lap, thousandths(1499));
    EXPECT_EQ(run.bestLapNumber, 2);
    EXPECT_EQ(run.bestLap, thousandths(1499));
    EXPECT_EQ(run.total.thousandths, 2999u);
    EXPECT_EQ(run.averageLap, thousandths(1499));
}

TEST(RunDecoder, DecimalMinuteDropsHundredthsBelowAThousandth) {
    std::vector<std::uint8_t> data;
    appendRun(data, {}, {{0, 0, 0, 5}, {0, 0, 0, 6}, {1, 0, 0, 0}});
    const auto records = decodeAll(data, TimeFormat::DecimalMinute);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].laps[0].split.thousandths, 0u);
    EXPECT_EQ(records[0].laps[1].split.thousandths, 1u);
    EXPECT_EQ(records[0].laps[1].lap, thousandths(1));
    EXPECT_EQ(records[0].total.thousandths, 60000u);
    EXPECT_EQ(records[0].averageLap, thousandths(20000));
}

TEST(RunDecoder, WalksRunsInBufferOrderAndStopsAtATruncatedRun) {
    std::vector<std::uint8_t> data;
    appendRun(data, {.day = 1}, {{0, 0, 10, 0}});
    appendRun(data, {.day = 2}, {{0, 0, 20, 0}, {0, 0, 30, 0}});
    appendRun(data, {.day = 3}, {{0, 0, 40, 0}}, 10);  // claims ten laps: reaches past the end
    appendRun(data, {.day = 4}, {{0, 0, 50, 0}});
    const auto records = decodeAll(data, TimeFormat::Clock);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].start.day, 1);
    EXPECT_EQ(records[1].start.day, 2);
    EXPECT_EQ(records[1].lapCount, 2);
}

TEST(RunDecoder, ShortBufferHoldsNoRun) {
    std::vector<std::uint8_t> data;
    appendRun(data, {}, {});
    data.pop_back();  // 15 bytes
    EXPECT_TRUE(decodeAll(data, TimeFormat::Clock).empty());
    EXPECT_TRUE(decodeAll({}, TimeFormat::Clock).empty());
}

TEST(RunDecoder, RunWithoutLapsIsSkippedAndTheWalkGoesOn) {
    std::vector<std::uint8_t> data;
    appendRun(data, {.day = 5}, {});
    appendRun(data, {.day = 6}, {{0, 0, 12, 34}});
    const auto records = decodeAll(data, TimeFormat::Clock);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].start.day, 6);
}

TEST(RunDecoder, OneLapIsItsOwnTotalBestAndAverage) {
    std::vector<std::uint8_t> data;
    appendRun(data, {}, {{1, 2, 3, 4}});
    for (TimeFormat format : {TimeFormat::Clock, TimeFormat::DecimalMinute}) {
        const auto records = decodeAll(data, format);
        ASSERT_EQ(records.size(), 1u);
        const RunRecord& run = records[0];
        EXPECT_EQ(run.bestLapNumber, 1);
        EXPECT_EQ(run.laps[0].lap, run.bestLap);
        EXPECT_EQ(run.averageLap, run.bestLap);
        if (format == TimeFormat::Clock) {
            EXPECT_EQ(run.laps[0].lap, clock(1, 2, 3, 4));
            EXPECT_EQ(run.total, run.laps[0].lap);
        } else {
            EXPECT_EQ(run.laps[0].lap.thousandths, 62050u);
            EXPECT_EQ(run.total.thousandths, run.laps[0].lap.thousandths);
        }
    }
}

TEST(RunDecoder, EarliestOfEqualFastestLapsIsBest) {
    std::vector<std::uint8_t> data;
    appendRun(data, {}, {{0, 1, 0, 0}, {0, 1, 50, 0}, {0, 2, 40, 0}, {0, 3, 30, 0}});
    for (TimeFormat format : {TimeFormat::Clock, TimeFormat::DecimalMinute}) {
        const auto records = decodeAll(data, format);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].bestLapNumber, 2);
    }
}

TEST(RunDecoder, HeaderDateIsKeptAsReadEvenWhenItDoesNotExist) {
    std::vector<std::uint8_t> data;
    appendRun(data, {.year = 24, .month = 4, .day = 31, .hour = 23, .minute = 59, .second = 59}, {{0, 0, 1, 0}});
    appendRun(data, {.year = 255, .month = 0, .day = 0, .hour = 24, .minute = 60, .second = 61}, {{0, 0, 1, 0}});
    const auto records = decodeAll(data, TimeFormat::Clock);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].start, (RunStart{2024, 4, 31, 23, 59, 59}));
    EXPECT_EQ(records[1].start, (RunStart{2255, 0, 0, 24, 60, 61}));
}

TEST(RunDecoder, KeepsEveryLapBeyondThreeHundred) {
    for (int lapCount : {300, 301, 1000}) {
        std::vector<SplitBytes> splits;
        for (int i = 1; i <= lapCount; ++i) {
            splits.push_back({static_cast<std::uint8_t>(i / 60 / 60), static_cast<std::uint8_t>(i / 60 % 60),
                              static_cast<std::uint8_t>(i % 60), 0});
        }
        std::vector<std::uint8_t> data;
        appendRun(data, {}, splits);
        const auto records = decodeAll(data, TimeFormat::Clock);
        ASSERT_EQ(records.size(), 1u);
        ASSERT_EQ(records[0].laps.size(), static_cast<std::size_t>(lapCount));
        EXPECT_EQ(records[0].lapCount, lapCount);
        EXPECT_EQ(records[0].laps.back().number, lapCount);
        EXPECT_EQ(records[0].laps.back().lap, clock(0, 0, 1, 0));
        EXPECT_EQ(records[0].averageLap, clock(0, 0, 1, 0));
    }
}

TEST(RunDecoder, DecreasingSplitGivesAZeroLapAndKeepsTheSplit) {
    std::vector<std::uint8_t> data;
    appendRun(data, {}, {{0, 1, 0, 0}, {0, 0, 59, 99}, {0, 2, 0, 0}});
    const auto clockRuns = decodeAll(data, TimeFormat::Clock);
    ASSERT_EQ(clockRuns.size(), 1u);
    EXPECT_EQ(clockRuns[0].laps[1].lap, clock(0, 0, 0, 0));
    EXPECT_EQ(clockRuns[0].laps[1].split, clock(0, 0, 59, 99));
    EXPECT_EQ(clockRuns[0].laps[2].lap, clock(0, 1, 0, 1));
    EXPECT_EQ(clockRuns[0].bestLapNumber, 2);
    const auto minuteRuns = decodeAll(data, TimeFormat::DecimalMinute);
    ASSERT_EQ(minuteRuns.size(), 1u);
    EXPECT_EQ(minuteRuns[0].laps[1].lap, thousandths(0));
    EXPECT_EQ(minuteRuns[0].laps[1].split.thousandths, 999u);
    EXPECT_EQ(minuteRuns[0].laps[2].lap, thousandths(1001));
}

TEST(RunDecoder, HoursAreNotLimitedTo23) {
    std::vector<std::uint8_t> data;
    appendRun(data, {}, {{150, 0, 0, 0}, {250, 59, 59, 99}});
    const auto records = decodeAll(data, TimeFormat::Clock);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].laps[1].lap, clock(100, 59, 59, 99));
    EXPECT_EQ(records[0].averageLap, clock(125, 29, 59, 99));
}

}  // namespace
}  // namespace lapdex
