// The Roster window's texts in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::roster_text {

inline constexpr Text kTitle{"ストップウオッチ一覧", "Stopwatches"};
inline constexpr Text kHeaders[10] = {{"ストップウオッチ", "Stopwatch"},
                                      {"シリアル番号", "Serial number"},
                                      {"走行数", "Runs"},
                                      {"最初の走行", "First run"},
                                      {"最後の走行", "Last run"},
                                      {"主なラップ数", "Usual laps"},
                                      {"ベストラップ", "Best lap"},
                                      {"ベストトータル", "Best total"},
                                      {"最後の読み取り", "Last read"},
                                      {"電池残量", "Battery"}};
// The table as screen readers name it.
inline constexpr Text kTableName{"ストップウオッチと走行の一覧", "Stopwatches and their runs"};
// %1: the number of stopwatches.
inline constexpr Text kStopwatchCount{"%1 台", "Stopwatches: %1"};
// %1: the line numbers, separated by commas.
inline constexpr Text kDamagedHistory{"　History.csv の壊れた行を読み飛ばしました: %1",
                                      "   Damaged lines of History.csv skipped: %1"};
// "2/5（2024/05/11）": %1 the level, %2 the low mark or nothing, %3 the day it was read.
inline constexpr Text kBattery{"%1/5%2（%3）", "%1/5%2 (%3)"};
inline constexpr Text kBatteryLow{" 低", " low"};

}  // namespace lapdex::ui::roster_text
