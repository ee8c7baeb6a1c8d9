// Texts and time forms shared by the windows over the run index.
#pragma once

#include <QString>
#include <cstdint>

#include "run_record.h"
#include "ui_text.h"

namespace lapdex::ui {

namespace run_text {

// The All runs window.
inline constexpr Text kAllRunsTitle{"すべての走行", "All runs"};
inline constexpr Text kHeaders[7] = {{"ストップウオッチ", "Stopwatch"},
                                     {"開始日時", "Start"},
                                     {"ラップ数", "Laps"},
                                     {"トータルタイム", "Total time"},
                                     {"ベストラップ", "Best lap"},
                                     {"平均ラップ", "Average lap"},
                                     {"メモ", "Memo"}};
inline constexpr Text kDateRange{"期間(&D)", "&Dates"};
inline constexpr Text kStopwatch{"ストップウオッチ(&S)", "&Stopwatch"};
inline constexpr Text kMemo{"メモ(&M)", "&Memo"};
inline constexpr Text kLapCount{"ラップ数(&L)", "&Laps"};
inline constexpr Text kTotal{"トータル(&T)", "&Total"};
inline constexpr Text kRangeDash{"～", "to"};
inline constexpr Text kMemoWords{"走行メモ・ラップメモの言葉", "Words in run or lap memos"};
inline constexpr Text kSeconds{"秒 または 分:秒", "seconds or m:ss"};
inline constexpr Text kUnreadableTime{
    "この時間は読めません。秒（480）、分:秒（8:00）、時:分:秒（1:02:03）、分:秒.1/100秒"
    "（1:04.49）で入力してください。",
    "This time cannot be read. Type seconds (480), m:ss (8:00), h:mm:ss (1:02:03) or mm:ss.cc "
    "(1:04.49)."};
inline constexpr Text kReversedTotals{
    "トータルの下限が上限より大きいため、当てはまる走行はありません。",
    "The lower total is above the upper one, so no run can match: swap them."};
inline constexpr Text kEvery{"すべて", "All"};
// %1: a stopwatch's name, %2: the label of the other PC that has it.
inline constexpr Text kStopwatchOfPc{"%1（%2）", "%1 (%2)"};
// %1: a group's name, among the stopwatches to choose from.
inline constexpr Text kGroupItem{"グループ: %1", "Group: %1"};
// The fields and the table as screen readers name them (the dates and the upper total have no
// label of their own).
inline constexpr Text kFromDateName{"期間の最初の日", "First day of the dates"};
inline constexpr Text kToDateName{"期間の最後の日", "Last day of the dates"};
inline constexpr Text kMinTotalName{"トータルの下限", "Shortest total"};
inline constexpr Text kMaxTotalName{"トータルの上限", "Longest total"};
inline constexpr Text kTableName{"見つかった走行", "Runs found"};
// %1: the number of runs found.
inline constexpr Text kRunsFound{"%1 件", "Runs found: %1"};

// %1: the rows shown while the others are still being read.
inline constexpr Text kFirstRowsShown{"最初の %1 件を表示中、残りを読んでいます…",
                                      "Showing the first %1 runs; reading the others…"};

}  // namespace run_text

// A time of hundredths of a second as the stopwatch page shows it: "00:01'04\"70" (Clock) or
// "001'078" thousandths of a minute (DecimalMinute); "" for -1.
QString runTimeText(std::int64_t hundredths, TimeFormat format);

// "2024-01-31T09:30:15" as "2024/01/31 09:30:15".
QString startText(const std::string& isoStart);

}  // namespace lapdex::ui
