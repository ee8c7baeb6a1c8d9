// The lap charts' texts in both language sets.
#pragma once

#include "bilingual_text.h"

namespace lapdex::ui::chart_text {

using texts::Text;

// %1 lap number, %2 lap time.
inline constexpr Text kLapToolTip{"ラップ %1：%2", "Lap %1: %2"};
// The average line's label; %1 the average lap in seconds.
inline constexpr Text kAverage{"平均 %1", "Average %1"};
// The chart as screen readers name it, and what they say about a bar.
inline constexpr Text kChartName{"ラップのグラフ", "Lap chart"};
inline constexpr Text kFastestBar{"最速ラップ", "fastest lap"};
inline constexpr Text kSlowestBar{"最遅ラップ", "slowest lap"};
inline constexpr Text kNoLaps{"ラップがありません", "No laps"};
inline constexpr Text kSeconds{"秒", "s"};

}  // namespace lapdex::ui::chart_text
