// Times typed into a filter: every form the window shows reads as the same hundredths, and what
// cannot be read is said so rather than taken as no bound.
#include <gtest/gtest.h>

#include "time_entry.h"

namespace lapdex {
namespace {

TEST(TimeEntry, ReadsSecondsAndTheWindowsFormsOrSaysItCannot) {
    constexpr std::int64_t kUnreadable = -2;
    constexpr std::int64_t kEmpty = -1;
    const struct {
        const char* text;
        std::int64_t hundredths;  // kUnreadable, kEmpty or the time
    } kRows[] = {
        {"", kEmpty},          {"   ", kEmpty},          {"480", 48000},
        {"75.5", 7550},        {"75.25", 7525},          {"8:00", 48000},
        {" 1:04.49 ", 6449},   {"01:04.4", 6440},        {"1:02:03", 372300},
        {"00:01:04.49", 6449}, {"00:01'04\"49", 6449},   {"８：００", 48000},
        {"1:60", kUnreadable}, {"1:2:3:4", kUnreadable}, {"1:04.499", kUnreadable},
        {"8:", kUnreadable},   {":30", kUnreadable},     {"abc", kUnreadable},
        {"-5", kUnreadable},   {"1,5", kUnreadable},     {"1:123", kUnreadable},
    };
    for (const auto& row : kRows) {
        const TimeEntry entry = readTimeEntry(row.text);
        const std::int64_t got = entry.outcome == TimeEntry::Outcome::Unreadable ? kUnreadable
                                 : entry.outcome == TimeEntry::Outcome::Empty    ? kEmpty
                                                                                 : entry.hundredths;
        EXPECT_EQ(got, row.hundredths) << '"' << row.text << '"';
    }
}

}  // namespace
}  // namespace lapdex
