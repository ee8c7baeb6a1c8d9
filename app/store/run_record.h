// Decoded run of a stopwatch: the shared record that run decoding produces and the run file writer stores.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lapdex {

// How the times of one download are expressed; chosen from the stopwatch's product type.
enum class TimeFormat {
    Clock,          // hours, minutes, seconds and hundredths of a second
    DecimalMinute,  // one count of thousandths of a minute
};

// One time of a run. Clock uses hours..hundredths; DecimalMinute uses thousandths only.
// Values are kept as decoded: a split read from the stopwatch may hold fields out of range.
struct RunTime {
    std::uint32_t hours = 0;
    std::uint32_t minutes = 0;
    std::uint32_t seconds = 0;
    std::uint32_t hundredths = 0;
    std::uint32_t thousandths = 0;

    friend bool operator==(const RunTime&, const RunTime&) = default;
};

// Local start date and time of a run exactly as the stopwatch's header holds it. Plain fields, never
// normalised through a calendar: a date that does not exist (month 0, 31 April) stays as read.
struct RunStart {
    int year = 2000;  // 2000 plus the header's year byte
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const RunStart&, const RunStart&) = default;
};

// One lap of a run.
struct LapEntry {
    int number = 0;    // 1-based
    RunTime lap;       // the time of this lap alone
    RunTime split;     // elapsed time from the start of the run, as read
    std::string memo;  // UTF-8, at most 20 characters; empty after a download
};

// One decoded run. All times are in `timeFormat`. A record always has at least one lap.
struct RunRecord {
    RunStart start;
    TimeFormat timeFormat = TimeFormat::Clock;
    std::vector<LapEntry> laps;  // in order, numbered from 1; every lap of the run, however many
    int lapCount = 0;            // lap count from the header; equals laps.size()
    RunTime total;               // the split of the last lap
    int bestLapNumber = 0;       // 1-based; the earliest of equal fastest laps
    RunTime bestLap;
    RunTime averageLap;
    std::string memo;  // UTF-8, at most 200 characters; empty after a download
};

}  // namespace lapdex
