// The texts of the PC filter beside the windows' group filters, in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::pc_filter_text {

// The filter's first choice.
inline constexpr Text kEveryPc{"すべてのPC", "Every PC"};
// The filter as screen readers name it.
inline constexpr Text kFilterName{"表示するPC", "PC shown"};

}  // namespace lapdex::ui::pc_filter_text
