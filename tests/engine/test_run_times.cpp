// Lap and average arithmetic against the stopwatch's field-by-field rules, written out step by step.
#include <gtest/gtest.h>

#include <random>

#include "run_times.h"

namespace lapdex {
namespace {

// The field-wise subtraction with borrows, exactly as the stopwatch's software describes it.
RunTime borrowDifference(RunTime previous, RunTime current) {
    RunTime lap;
    if (current.hundredths < previous.hundredths) {
        current.hundredths += 100;
        if (current.seconds == 0) {
            current.seconds = 59;
            if (current.minutes == 0) {
                current.minutes = 59;
                current.hours -= 1;
            } else {
                current.minutes -= 1;
            }
        } else {
            current.seconds -= 1;
        }
    }
    lap.hundredths = current.hundredths - previous.hundredths;
    if (current.seconds < previous.seconds) {
        current.seconds += 60;
        if (current.minutes == 0) {
            current.minutes = 59;
            current.hours -= 1;
        } else {
            current.minutes -= 1;
        }
    }
    lap.seconds = current.seconds - previous.seconds;
    if (current.minutes < previous.minutes) {
        current.minutes += 60;
        current.hours -= 1;
    }
    lap.minutes = current.minutes - previous.minutes;
    lap.hours = current.hours - previous.hours;
    return lap;
}

// Long division of the last split's fields.
RunTime longDivision(const RunTime& t, std::uint32_t n) {
    RunTime a;
    a.hours = t.hours / n;
    std::uint32_t r = t.hours % n;
    a.minutes = (60 * r + t.minutes) / n;
    r = (60 * r + t.minutes) % n;
    a.seconds = (60 * r + t.seconds) / n;
    r = (60 * r + t.seconds) % n;
    a.hundredths = (100 * r + t.hundredths) / n;
    return a;
}

std::uint64_t hundredthsOf(const RunTime& t) {
    return ((std::uint64_t{t.hours} * 60 + t.minutes) * 60 + t.seconds) * 100 + t.hundredths;
}

RunTime randomSplit(std::mt19937& random) {
    return RunTime{static_cast<std::uint32_t>(random() % 256), static_cast<std::uint32_t>(random() % 60),
                   static_cast<std::uint32_t>(random() % 60), static_cast<std::uint32_t>(random() % 100), 0};
}

TEST(RunTimes, ClockLapEqualsTheBorrowRuleForSplitsThatDoNotDecrease) {
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        RunTime a = randomSplit(random);
        RunTime b = i % 3 == 0 ? a : randomSplit(random);
        if (i % 5 == 0) b.hours = a.hours;  // many pairs within the same hour exercise the borrows
        if (hundredthsOf(b) < hundredthsOf(a)) std::swap(a, b);
        ASSERT_EQ(lapTime(a, b, TimeFormat::Clock), borrowDifference(a, b));
    }
}

TEST(RunTimes, ClockAverageEqualsLongDivision) {
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        const RunTime total = randomSplit(random);
        const std::uint32_t n = 1 + random() % (i % 2 == 0 ? 10 : 16379);
        ASSERT_EQ(averageLapTime(total, n, TimeFormat::Clock), longDivision(total, n));
    }
}

TEST(RunTimes, DecimalMinuteAverageFollowsTheFormula) {
    std::mt19937 random(13);
    for (int i = 0; i < 20000; ++i) {
        const RunTime total = randomSplit(random);
        const std::uint32_t n = 1 + random() % 500;
        const std::uint32_t wholeMinutes = 60 * total.hours + total.minutes;
        const std::uint32_t b = (6000 * (wholeMinutes % n) + 100 * total.seconds + total.hundredths) / n;
        const std::uint32_t expected = 1000 * (wholeMinutes / n) + b / 6;
        ASSERT_EQ(averageLapTime(total, n, TimeFormat::DecimalMinute).thousandths, expected);
    }
}

TEST(RunTimes, ClockComparisonIsFieldByField) {
    EXPECT_TRUE(isFaster({0, 59, 59, 99, 0}, {1, 0, 0, 0, 0}, TimeFormat::Clock));
    EXPECT_TRUE(isFaster({0, 1, 4, 69, 0}, {0, 1, 4, 70, 0}, TimeFormat::Clock));
    EXPECT_FALSE(isFaster({0, 1, 4, 70, 0}, {0, 1, 4, 70, 0}, TimeFormat::Clock));
    EXPECT_FALSE(isFaster({0, 0, 0, 0, 5}, {0, 0, 0, 0, 5}, TimeFormat::DecimalMinute));
    EXPECT_TRUE(isFaster({9, 0, 0, 0, 4}, {0, 0, 0, 0, 5}, TimeFormat::DecimalMinute));
}

}  // namespace
}  // namespace lapdex
