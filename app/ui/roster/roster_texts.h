// The Roster window's texts in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::roster_text {

inline constexpr Text kTitle{"ストップウオッチ一覧", "Stopwatches"};
inline constexpr Text kHeaders[11] = {{"ストップウオッチ", "Stopwatch"},
                                      {"シリアル番号", "Serial number"},
                                      {"走行数", "Runs"},
                                      {"最初の走行", "First run"},
                                      {"最後の走行", "Last run"},
                                      {"主なラップ数", "Usual laps"},
                                      {"ベストラップ（主なラップ数）", "Best lap (usual laps)"},
                                      {"ベストトータル（主なラップ数）", "Best total (usual laps)"},
                                      {"最後の読み取り", "Last read"},
                                      {"電池残量", "Battery"},
                                      {"グループ", "Groups"}};
inline constexpr Text kGroupsButton{"グループ(&G)...", "&Groups..."};
// The group filter's first choice.
inline constexpr Text kEveryGroup{"すべてのストップウオッチ", "Every stopwatch"};
inline constexpr Text kGroupFilterName{"表示するグループ", "Group shown"};
// %1: the stopwatch's tab name.
inline constexpr Text kGroupsPrompt{"%1 のグループ（読点かコンマで区切る）:",
                                    "Groups of %1 (separated by commas):"};
// %1: the name refused.
inline constexpr Text kGroupRefused{"「%1」はグループ名にできません（1～40 文字、タブなし）。",
                                    "\"%1\" cannot name a group (1 to 40 characters, no tab)."};
// %1: why the file could not be written.
inline constexpr Text kGroupsNotSaved{"グループを保存できません: %1",
                                      "The groups could not be saved: %1"};
// The table as screen readers name it.
inline constexpr Text kTableName{"ストップウオッチと走行の一覧", "Stopwatches and their runs"};
// %1: the number of stopwatches.
inline constexpr Text kStopwatchCount{"%1 台", "Stopwatches: %1"};
// %1: the line numbers, separated by commas.
inline constexpr Text kDamagedHistory{"　History.csv の壊れた行を読み飛ばしました: %1",
                                      "   Damaged lines of History.csv skipped: %1"};
// %1: how many conflict copies a sync engine left in the data folders read; the tool tip lists
// them.
inline constexpr Text kSyncConflicts{"　同期の競合コピー: %1 件", "   Sync conflict copies: %1"};
// The tool tip's line of one copy. %1: its PC, %2: its path from that PC's data folder.
inline constexpr Text kSyncConflictLine{"%1: %2", "%1: %2"};
// "2/5（2024/05/11）": %1 the level, %2 the low mark or nothing, %3 the day it was read.
inline constexpr Text kBattery{"%1/5%2（%3）", "%1/5%2 (%3)"};
inline constexpr Text kBatteryLow{" 低", " low"};
// The tool tip of the best lap and best total cells. %1: the lap count they cover.
inline constexpr Text kUsualBest{"%1 ラップの走行のベストです。ほかのラップ数は「自己ベスト」に。",
                                 "Best of the %1-lap runs. Other lap counts: Personal bests."};

// The personal bests of one stopwatch.
inline constexpr Text kBestsButton{"自己ベスト(&B)...", "Personal &bests..."};
// %1: the stopwatch's name.
inline constexpr Text kBestsTitle{"自己ベスト: %1", "Personal bests: %1"};
inline constexpr Text kBestsHeaders[6] = {{"ラップ数", "Laps"},    {"ベストトータル", "Best total"},
                                          {"その走行", "Its run"}, {"ベストラップ", "Best lap"},
                                          {"ラップNo", "Lap no."}, {"その走行", "Its run"}};
// %1: the number of lap counts shown.
inline constexpr Text kLapCounts{"%1 種類のラップ数", "Lap counts: %1"};
inline constexpr Text kBestsHint{"Enter で走行を開きます", "Enter opens the run"};

}  // namespace lapdex::ui::roster_text
