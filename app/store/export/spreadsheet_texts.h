// The header rows of runs.csv and laps.csv, and the sheet names of runs.xlsx, in both language
// sets; an export writes the set of the language shown (k7x-tool: the one its --lang names).
#pragma once

#include "bilingual_text.h"

namespace lapdex::spreadsheet_text {

using texts::Text;

inline constexpr Text kTabName{"タブ名", "Name"};
inline constexpr Text kSerial{"シリアル番号", "Serial number"};
inline constexpr Text kStart{"開始日時", "Start"};
inline constexpr Text kLapCount{"ラップ数", "Laps"};
inline constexpr Text kTotalSeconds{"トータルタイム(秒)", "Total (s)"};
inline constexpr Text kBestSeconds{"ベストラップ(秒)", "Best lap (s)"};
inline constexpr Text kBestNumber{"ベストラップNo", "Best lap no."};
inline constexpr Text kAverageSeconds{"平均ラップ(秒)", "Average lap (s)"};
inline constexpr Text kMemo{"メモ", "Memo"};
inline constexpr Text kFile{"ファイル", "File"};
inline constexpr Text kTotal{"トータルタイム", "Total"};
inline constexpr Text kBest{"ベストラップタイム", "Best lap"};
inline constexpr Text kAverage{"平均ラップタイム", "Average lap"};
inline constexpr Text kLapNumber{"ラップNo", "Lap no."};
inline constexpr Text kLapSeconds{"ラップ(秒)", "Lap (s)"};
inline constexpr Text kSplitSeconds{"スプリット(秒)", "Split (s)"};
inline constexpr Text kLapMemo{"ラップメモ", "Lap memo"};
inline constexpr Text kLap{"ラップ", "Lap"};
inline constexpr Text kSplit{"スプリット", "Split"};
inline constexpr Text kPc{"PC", "PC"};
inline constexpr Text kThisPc{"このPC", "This PC"};
inline constexpr Text kRunsSheet{"走行", "Runs"};
inline constexpr Text kLapsSheet{"ラップ", "Laps"};

}  // namespace lapdex::spreadsheet_text
