// Training sessions within a day.
#include "sessions.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace lapdex {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::optional<long long> secondsOf(const std::string& start) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char sep = 0;
    if (std::sscanf(start.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d", &y, &mo, &d, &sep, &h, &mi, &s) != 7)
        return std::nullopt;
    return daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s;
}

std::string textOf(long long seconds) {
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) rest += 86400, --days;
    // Civil date from days since the epoch (inverse of daysFromCivil).
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2);
    char text[96];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld", y, m, d,
                  rest / 3600, rest / 60 % 60, rest % 60);
    return text;
}

}  // namespace

std::vector<TeamSession> sessionsOf(const TeamDay& day, int gapMinutes) {
    std::vector<TeamSession> sessions;
    long long latestEnd = 0;
    for (std::size_t i = 0; i < day.runs.size(); ++i) {
        const TeamDayRun& run = day.runs[i];
        const std::optional<long long> start = secondsOf(run.start);
        const bool opens = sessions.empty() ||
                           (start && *start > latestEnd + static_cast<long long>(gapMinutes) * 60);
        if (opens) {
            sessions.push_back({run.start, run.start, {}});
            latestEnd = start.value_or(0);
        }
        sessions.back().runs.push_back(i);
        if (!start) continue;
        // Hundredths are rounded up, so a run never ends before its last lap did.
        const long long end = *start + (run.totalCs > 0 ? (run.totalCs + 99) / 100 : 0);
        if (end > latestEnd) {
            latestEnd = end;
            sessions.back().end = textOf(end);
        }
    }
    return sessions;
}

TeamDay sessionDay(const TeamDay& day, const TeamSession& session) {
    TeamDay part;
    part.date = day.date;
    for (std::size_t i : session.runs) {
        part.runs.push_back(day.runs[i]);
        part.lapColumns = std::max(part.lapColumns, static_cast<int>(day.runs[i].lapsCs.size()));
    }
    return part;
}

}  // namespace lapdex
