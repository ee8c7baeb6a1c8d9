// Sessions within a day: hand-made days at the edges of the gap rule.
#include <gtest/gtest.h>

#include "sessions.h"

namespace lapdex {
namespace {

struct SessionCase {
    const char* name;
    std::vector<std::pair<const char*, std::int64_t>> runs;  // start, total in hundredths
    int gapMinutes;
    std::vector<std::vector<std::size_t>> sessions;
    std::vector<std::pair<const char*, const char*>> spans;  // start, end of each session
};

TeamDay dayOf(const SessionCase& c) {
    TeamDay day;
    day.date = "2026-12-09";
    for (const auto& [start, total] : c.runs) {
        TeamDayRun run;
        run.start = start;
        run.totalCs = total;
        day.runs.push_back(run);
    }
    return day;
}

TEST(Sessions, GroupRunsByTheGapAfterEveryEarlierEnd) {
    const std::vector<SessionCase> cases = {
        {"no runs", {}, 45, {}, {}},
        {"one run",
         {{"2026-12-09T07:00:00", 12000}},
         45,
         {{0}},
         {{"2026-12-09T07:00:00", "2026-12-09T07:02:00"}}},
        {"exactly the gap apart stays together",
         {{"2026-12-09T07:00:00", 6000}, {"2026-12-09T07:46:00", 6000}},
         45,
         {{0, 1}},
         {{"2026-12-09T07:00:00", "2026-12-09T07:47:00"}}},
        {"one second more opens a session",
         {{"2026-12-09T07:00:00", 6000}, {"2026-12-09T07:46:01", 6000}},
         45,
         {{0}, {1}},
         {{"2026-12-09T07:00:00", "2026-12-09T07:01:00"},
          {"2026-12-09T07:46:01", "2026-12-09T07:47:01"}}},
        {"a long run covers a later short one",
         {{"2026-12-09T07:00:00", 360000},
          {"2026-12-09T07:10:00", 6000},
          {"2026-12-09T08:30:00", 6000}},
         45,
         {{0, 1, 2}},
         {{"2026-12-09T07:00:00", "2026-12-09T08:31:00"}}},
        {"morning and evening",
         {{"2026-12-09T07:00:00", 25000},
          {"2026-12-09T07:05:00", 25000},
          {"2026-12-09T18:00:00", 6500}},
         45,
         {{0, 1}, {2}},
         {{"2026-12-09T07:00:00", "2026-12-09T07:09:10"},
          {"2026-12-09T18:00:00", "2026-12-09T18:01:05"}}},
        {"a run crossing midnight ends on the next date",
         {{"2026-12-09T23:50:00", 120000}},
         45,
         {{0}},
         {{"2026-12-09T23:50:00", "2026-12-10T00:10:00"}}},
        {"hundredths round the end up",
         {{"2026-12-09T07:00:00", 101}},
         0,
         {{0}},
         {{"2026-12-09T07:00:00", "2026-12-09T07:00:02"}}},
        {"an unreadable total ends at the start",
         {{"2026-12-09T07:00:00", -1}, {"2026-12-09T07:00:01", 100}},
         0,
         {{0}, {1}},
         {{"2026-12-09T07:00:00", "2026-12-09T07:00:00"},
          {"2026-12-09T07:00:01", "2026-12-09T07:00:02"}}},
        {"an unreadable start joins the session before",
         {{"2026-12-09T07:00:00", 100}, {"", 100}, {"2026-12-09T09:00:00", 100}},
         45,
         {{0, 1}, {2}},
         {{"2026-12-09T07:00:00", "2026-12-09T07:00:01"},
          {"2026-12-09T09:00:00", "2026-12-09T09:00:01"}}},
    };
    for (const SessionCase& c : cases) {
        const TeamDay day = dayOf(c);
        const std::vector<TeamSession> sessions = sessionsOf(day, c.gapMinutes);
        ASSERT_EQ(sessions.size(), c.sessions.size()) << c.name;
        std::size_t covered = 0;
        for (std::size_t i = 0; i < sessions.size(); ++i) {
            EXPECT_EQ(sessions[i].runs, c.sessions[i]) << c.name << " session " << i;
            EXPECT_EQ(sessions[i].start, c.spans[i].first) << c.name << " session " << i;
            EXPECT_EQ(sessions[i].end, c.spans[i].second) << c.name << " session " << i;
            EXPECT_EQ(sessionDay(day, sessions[i]).runs.size(), c.sessions[i].size()) << c.name;
            covered += sessions[i].runs.size();
        }
        EXPECT_EQ(covered, day.runs.size()) << c.name << ": every run in exactly one session";
    }
}

}  // namespace
}  // namespace lapdex
