// The texts of club folders in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::club_text {

inline constexpr Text kThisPc{"このPC", "This PC"};
inline constexpr Text kPcColumn{"PC", "PC"};

}  // namespace lapdex::ui::club_text
