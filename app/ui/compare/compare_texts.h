// The comparison window's texts in both language sets.
#pragma once

#include "bilingual_text.h"

namespace lapdex::ui::compare_text {

using texts::Text;

inline constexpr Text kTitle{"走行の比較", "Compare runs"};
inline constexpr Text kCompareAction{"選択した走行を比較(&C)", "&Compare selected runs"};
// The table's rows. %1: the lap number.
inline constexpr Text kLapRow{"ラップ %1", "Lap %1"};
inline constexpr Text kTotalRow{"トータル", "Total"};
// The chart as screen readers name it.
inline constexpr Text kChartName{"走行ごとのラップタイム", "Lap times of each run"};
inline constexpr Text kTableName{"走行ごとのラップタイムの表", "Table of the lap times of each run"};
inline constexpr Text kNotDrawn{"次の走行は読めないため比べていません:",
                                "These runs could not be read and are not compared:"};

}  // namespace lapdex::ui::compare_text
