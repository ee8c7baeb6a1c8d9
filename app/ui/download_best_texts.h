// The texts of a download's completion that names the personal bests its runs set.
#pragma once

#include "bilingual_text.h"

namespace lapdex::ui::download_best_text {

using texts::Text;

inline constexpr Text kHeading{"自己ベストを更新しました:", "New personal best:"};
// %1 the lap time, %2 the run's start, %3 the lap number, %4 the best it beat.
inline constexpr Text kLap{"最速ラップ %1（%2 の走行のラップ %3、これまで %4）",
                           "Fastest lap %1 (lap %3 of the run at %2; was %4)"};
// %1 the lap count, %2 the total, %3 the run's start, %4 the best it beat.
inline constexpr Text kTotal{"%1 ラップのトータル %2（%3 の走行、これまで %4）",
                             "Total for %1 laps %2 (run at %3; was %4)"};

}  // namespace lapdex::ui::download_best_text
