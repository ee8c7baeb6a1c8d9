// One run file as everything that computes on runs sees it: its summary, laps and memos, read the
// way the page reads them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run_record.h"

namespace lapdex {

// Times are kept in hundredths of a second: a Clock time exactly, a DecimalMinute time
// (thousandths of a minute, six hundredths each) exactly too. -1 marks a time that could not be
// read.
struct LapDetails {
    int number = 0;
    std::int64_t lapCs = -1;
    std::int64_t splitCs = -1;
    std::string memo;  // UTF-8

    bool operator==(const LapDetails&) const = default;
};

struct RunDetails {
    std::string start;  // "YYYY-MM-DDTHH:MM:SS" from the summary line
    TimeFormat timeFormat = TimeFormat::Clock;
    int lapCount = 0;
    std::int64_t totalCs = -1;
    std::int64_t bestLapCs = -1;
    int bestLapNumber = 0;
    std::int64_t averageLapCs = -1;
    std::int64_t slowestLapCs = -1;  // the slowest lap, the earliest of equal ones
    int slowestLapNumber = 0;
    std::string memo;  // UTF-8, at most 200 characters
    std::vector<LapDetails> laps;

    bool operator==(const RunDetails&) const = default;
};

// Reads a whole run file's bytes (Shift_JIS) into its index entry.
RunDetails summariseRunFile(std::string_view bytes);

// A run time text in hundredths of a second: "hh:mm:ss.cc" (Clock) or "ddd.ddd" thousandths of
// a minute (DecimalMinute). -1 when the text is neither.
std::int64_t runTimeHundredths(std::string_view text);

// Seconds with two decimals ("121.33"); "" for -1.
std::string secondsText(std::int64_t hundredths);

// The laps in one text, a line per lap: number, lap, split (hundredths) and the memo as the rest of
// the line (a memo never holds a line break), for the index's one column of laps.
std::string lapsText(const std::vector<LapDetails>& laps);
std::vector<LapDetails> lapsFromText(std::string_view text);

// The run memo and lap memos joined by line feeds and folded (foldedForSearch): the text that
// memo searches look in, for words folded the same way.
std::string searchTextOf(const RunDetails& run);

}  // namespace lapdex
