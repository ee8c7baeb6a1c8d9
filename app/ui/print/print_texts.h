// The texts of the run and day sheets in both language sets.
#pragma once

#include "count_text.h"
#include "ui_text.h"

namespace lapdex::ui::print_text {

using texts::CountText;

// Run sheet. %1: the start "2024/01/31 09:30:15", %2: the serial number.
inline constexpr Text kStartAndSerial{"%1　シリアル番号 %2", "%1   Serial number %2"};
inline constexpr Text kTotal{"トータルタイム", "Total time"};
inline constexpr Text kLapCount{"ラップ数", "Laps"};
inline constexpr Text kBestNumber{"ベストラップNo", "Best lap no."};
inline constexpr Text kBest{"ベストラップタイム", "Best lap"};
inline constexpr Text kAverage{"平均ラップタイム", "Average lap"};
inline constexpr Text kNumber{"No.", "No."};
inline constexpr Text kLap{"ラップ", "Lap"};
inline constexpr Text kSplit{"スプリット", "Split"};
inline constexpr Text kLapMemo{"ラップメモ", "Lap memo"};
// %1: the run memo.
inline constexpr Text kMemo{"メモ：%1", "Memo: %1"};

// Day sheet. %1: the date, "2024/01/31".
inline constexpr Text kDayTitle{"%1 の走行", "Runs of %1"};
// A chosen set of several days. %1: the first date, %2: the last, "2024/05/10".
inline constexpr Text kDaysTitle{"%1～%2 の走行", "Runs of %1 to %2"};
inline constexpr CountText kRuns{{"%1件の走行", "%1 run"}, {"%1件の走行", "%1 runs"}};
// %1 and %2: the symbols of the fastest and the slowest time.
inline constexpr Text kLegend{"%1 緑（太字）はその列の最速、%2 赤（斜体）は最遅です。",
                              "%1 Green (bold): fastest in its column. %2 Red (italics): slowest."};
// The laps of one part of a wide table. %1: its first lap, %2: its last lap.
inline constexpr Text kLapRange{"ラップ %1～%2", "Laps %1 to %2"};
// %1: the session's number in the day, %2 and %3: its start and end (HH:MM).
inline constexpr Text kSession{"セッション %1（%2～%3）", "Session %1 (%2 to %3)"};
inline constexpr Text kNoRuns{"この日の走行はありません。", "No runs on this day."};

}  // namespace lapdex::ui::print_text
