// The time and date texts of the exports: seconds for calculating, the page's form for reading.
#pragma once

#include <cstdint>
#include <string>

#include "run_record.h"

namespace lapdex {

// Seconds with the stopwatch's precision, as a spreadsheet reads a number: "121.33". Both time
// formats resolve to whole hundredths (a thousandth of a minute is six of them). "" for -1.
std::string exportSeconds(std::int64_t hundredths);

// The time as the stopwatch page shows it: Clock 00:02'01"33, DecimalMinute 002'022. "" for -1.
std::string exportDisplayTime(std::int64_t hundredths, TimeFormat format);

// "YYYY-MM-DD HH:MM:SS" from the index's "YYYY-MM-DDTHH:MM:SS".
std::string exportStartText(const std::string& isoStart);

// The index's "YYYY-MM-DDTHH:MM:SS" from a local time written "YYYY-MM-DD HH:MM:SS" (History.csv),
// for the answers that print every date-time alike.
std::string isoDateTimeText(const std::string& localTime);

}  // namespace lapdex
