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
inline constexpr Text kGroup{"グループ(&R)", "G&roup"};
inline constexpr Text kEveryStopwatch{"すべてのストップウオッチ", "Every stopwatch"};
inline constexpr Text kSession{"セッション(&E)", "S&ession"};
inline constexpr Text kAllSessions{"すべてのセッション（%1 件）", "All sessions (%1 runs)"};
// %1: start, %2: end (HH:MM), %3: the number of runs.
inline constexpr Text kSessionItem{"%1～%2（%3 件）", "%1 to %2 (%3 runs)"};
inline constexpr Text kGap{"間隔(&G)", "&Gap"};
inline constexpr Text kGapSuffix{" 分", " min"};
inline constexpr Text kGapTip{
    "前の走行がすべて終わってからこの時間より後に始まった走行は、新しいセッションになります",
    "A run that starts more than this long after every earlier run has ended begins a new session"};
// The marks' texts: the tool tip and what a screen reader says of a marked time, and the legend.
inline constexpr Text kFastestMark{"最速", "fastest"};
inline constexpr Text kPrint{"印刷(&P)...", "&Print..."};
inline constexpr Text kSlowestMark{"最遅", "slowest"};
// The table as screen readers name it.
inline constexpr Text kTableName{"その日の走行とラップ", "Runs and laps of the day"};

}  // namespace lapdex::ui::team_day_text
