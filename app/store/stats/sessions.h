// Training sessions within a day: runs grouped by the pauses between them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "team_day.h"

namespace lapdex {

inline constexpr int kDefaultSessionGapMinutes = 45;

// One session of a day: its runs (indexes into TeamDay::runs, in start order) and when it
// began and ended ("YYYY-MM-DDTHH:MM:SS"; the end may fall on the next date).
struct TeamSession {
    std::string start;
    std::string end;
    std::vector<std::size_t> runs;

    bool operator==(const TeamSession&) const = default;
};

// The sessions of `day`. A run begins a new session when it starts more than `gapMinutes`
// after every earlier run of the day has ended (start plus total time). A run whose total
// could not be read ends where it starts. Runs whose start cannot be read join the session
// before them.
std::vector<TeamSession> sessionsOf(const TeamDay& day, int gapMinutes);

// The runs of session `session` only, as a day of its own, so the same column marks apply.
TeamDay sessionDay(const TeamDay& day, const TeamSession& session);

}  // namespace lapdex
