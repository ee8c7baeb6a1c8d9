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
inline constexpr Text kSeconds{"秒", "seconds"};
inline constexpr Text kEvery{"すべて", "All"};
// %1: the number of runs found.
inline constexpr Text kRunsFound{"%1 件", "Runs found: %1"};

// Both index windows while the run index cannot answer.
inline constexpr Text kIndexPreparing{"走行の索引を準備しています…",
                                      "Preparing the index of runs…"};
inline constexpr Text kIndexUnavailable{"走行の索引を開けません",
                                        "The index of runs cannot be opened"};

}  // namespace run_text

// A time of hundredths of a second in the run file's own form: "00:01:04.70" (Clock) or
// "001.078" thousandths of a minute (DecimalMinute); "" for -1.
QString runTimeText(std::int64_t hundredths, TimeFormat format);

// "2024-01-31T09:30:15" as "2024/01/31 09:30:15".
QString startText(const std::string& isoStart);

}  // namespace lapdex::ui
