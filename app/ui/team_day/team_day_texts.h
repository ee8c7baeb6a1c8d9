// The team day window's texts in both language sets.
#pragma once

#include "bilingual_text.h"

namespace lapdex::ui::team_day_text {

using texts::Text;

inline constexpr Text kTitle{"チームの一日", "Team day"};
inline constexpr Text kDate{"日付(&D)", "&Date"};
inline constexpr Text kLaps{"ラップ(&L)", "&Laps"};
inline constexpr Text kSplits{"スプリット(&S)", "&Splits"};
inline constexpr Text kTabName{"名前", "Name"};
inline constexpr Text kStart{"開始", "Start"};
// %1: the lap number.
inline constexpr Text kLap{"%1", "%1"};
inline constexpr Text kTotal{"トータル", "Total"};
inline constexpr Text kBest{"ベスト", "Best"};
inline constexpr Text kAverage{"平均", "Average"};
// %1: the number of runs.
inline constexpr Text kRunCount{"%1 件", "Runs: %1"};
inline constexpr Text kFastestMark{"最速", "fastest"};
inline constexpr Text kPrint{"印刷(&P)...", "&Print..."};
inline constexpr Text kSlowestMark{"最遅", "slowest"};

}  // namespace lapdex::ui::team_day_text
