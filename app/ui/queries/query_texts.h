// Texts of the windows' answers about runs that could not be had in full, in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::query_text {

inline constexpr Text kGone{"消えていました", "no longer there"};
inline constexpr Text kUnreadable{"読めません", "cannot be read"};
inline constexpr Text kNoLaps{"ラップがありません", "has no laps"};
inline constexpr Text kUnavailable{"走行の索引もフォルダも読めません",
                                   "neither the index nor the folders can be read"};
// %1: the path from the data folder, %2: why (one of the above), %3: the details, in brackets.
inline constexpr Text kMissedLine{"%1: %2%3", "%1: %2%3"};
// %1: the number of further runs not listed.
inline constexpr Text kMoreMissed{"ほか %1 件", "and %1 more"};
// The windows while their question is being answered.
inline constexpr Text kPreparing{"走行を読んでいます…", "Reading the runs…"};
// The windows when neither the index nor the folders answered.
inline constexpr Text kCannotRead{"走行を読めません", "The runs cannot be read"};
// %1: the runs shown, %2: the runs that could not be read.
inline constexpr Text kShownWithMissed{"%1 件（読めない走行 %2 件）",
                                       "Runs: %1 (%2 could not be read)"};

}  // namespace lapdex::ui::query_text
