// The progress window's texts in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::progress_text {

inline constexpr Text kTitle{"記録の推移", "Progress"};
inline constexpr Text kStopwatch{"ストップウオッチ(&S)", "&Stopwatch"};
inline constexpr Text kLaps{"ラップ数(&L)", "&Laps"};
inline constexpr Text kUsualLaps{"いつもの数", "Usual"};
inline constexpr Text kRange{"期間(&R)", "&Range"};
inline constexpr Text kSeason{"今シーズン（4月から）", "This season (from April)"};
inline constexpr Text kLastYear{"過去12か月", "Last 12 months"};
inline constexpr Text kAllTime{"すべて", "All"};
inline constexpr Text kGroup{"チームのグループ(&G)", "Squad's &group"};
inline constexpr Text kEveryStopwatch{"すべてのストップウオッチ", "Every stopwatch"};
inline constexpr Text kRunsTab{"走行", "Runs"};
inline constexpr Text kSquadTab{"チーム（月ごとのベスト）", "Squad (best of each month)"};
inline constexpr Text kHeaders[4] = {{"開始日時", "Start"},
                                     {"トータルタイム", "Total time"},
                                     {"ベストラップ", "Best lap"},
                                     {"自己ベスト", "Personal best"}};
inline constexpr Text kTotal{"トータル", "Total"};
inline constexpr Text kBestLap{"ベストラップ", "Best lap"};
inline constexpr Text kPersonalBest{"★ 自己ベスト", "★ personal best"};
// %1: runs shown, %2: their lap count.
inline constexpr Text kCount{"%1 件（%2 ラップ）", "Runs: %1 (%2 laps)"};
inline constexpr Text kNoRuns{"この条件の走行はありません", "No runs match"};
// %1: start, %2: total, %3: best lap.
inline constexpr Text kPoint{"%1  トータル %2  ベストラップ %3", "%1  total %2  best lap %3"};
inline constexpr Text kImproved{"前の月より速い", "faster than the month before"};
inline constexpr Text kChartName{"記録の推移のグラフ", "Progress chart"};
inline constexpr Text kTableName{"記録の推移の走行", "Runs of the progress"};
inline constexpr Text kSquadName{"チームの月ごとのベスト", "Squad's best of each month"};

}  // namespace lapdex::ui::progress_text
