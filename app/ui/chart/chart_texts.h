// The lap charts' texts in both language sets.
#pragma once

#include "bilingual_text.h"

namespace lapdex::ui::chart_text {

using texts::Text;

// %1 lap number, %2 lap time.
inline constexpr Text kLapToolTip{"ラップ %1：%2", "Lap %1: %2"};
inline constexpr Text kAverage{"平均", "Average"};
inline constexpr Text kNoLaps{"ラップがありません", "No laps"};
inline constexpr Text kSeconds{"秒", "s"};

}  // namespace lapdex::ui::chart_text
