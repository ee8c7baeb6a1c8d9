// The comparison window's texts in both language sets.
#pragma once

#include "bilingual_text.h"

namespace lapdex::ui::compare_text {

using texts::Text;

inline constexpr Text kTitle{"走行の比較", "Compare runs"};
inline constexpr Text kCompareAction{"選択した走行を比較(&C)", "&Compare selected runs"};

}  // namespace lapdex::ui::compare_text
