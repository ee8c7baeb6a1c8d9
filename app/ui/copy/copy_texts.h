// The copy command's text in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::copy_text {

inline constexpr Text kCopy{"コピー(&C)", "&Copy"};

}  // namespace lapdex::ui::copy_text
