// The texts of the main window's view menu in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::view_text {

inline constexpr Text kMenu{"表示(&W)", "Vie&w"};
inline constexpr Text kAllRuns{"すべての走行(&A)...", "&All runs..."};
inline constexpr Text kRoster{"ストップウオッチ一覧(&L)...", "Stopwatch &list..."};
inline constexpr Text kTeamDay{"チームの一日(&D)...", "Team &day..."};
inline constexpr Text kProgress{"記録の推移(&P)...", "&Progress..."};

}  // namespace lapdex::ui::view_text
