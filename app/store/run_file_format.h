// Names, time texts and line layout of run files (one comma-separated file per run).
#pragma once

#include <string>
#include <string_view>

#include "run_record.h"

namespace lapdex {

// Line numbers (1-based) that carry data: the summary and the first lap.
inline constexpr int kSummaryLine = 6;
inline constexpr int kFirstLapLine = 9;

// Longest memos, in characters.
inline constexpr std::size_t kRunMemoLimit = 200;
inline constexpr std::size_t kLapMemoLimit = 20;

// "QTM" + yymmdd + "_" + hhmmss + "_" + serialText + ".csv", every part of the start two digits
// with leading zeros (a field out of range, as read from the stopwatch, takes more digits).
std::string runFileName(const RunStart& start, const std::string& serialText);

// The serial text a run file name carries (lower case), or "" when `name` is not a run file name
// ("QTM", digits, "_", digits, "_", 12 hexadecimal digits, ".csv"; letters in any case).
std::string serialOfRunFileName(std::string_view name);

// Clock: "%02d:%02d:%02d.%02d" (hours may take more digits). DecimalMinute: thousandths as at
// least three digits, a point and exactly three digits ("001.500", "1234.567").
std::string formatRunTime(const RunTime& time, TimeFormat timeFormat);

// "%Y/%m/%d   %H:%M:%S" of the start fields as they are (no calendar normalisation).
std::string formatRunStart(const RunStart& start);

// A memo in its stored form: enclosed in double quotes, each inner double quote doubled.
std::string quoteMemo(const std::string& memo);

// The whole file as UTF-8 with CR LF after every line: the notes, the summary and one line per
// lap, every lap of the record. Memos that are set are written in quoted form.
std::string runFileText(const RunRecord& record);

}  // namespace lapdex
