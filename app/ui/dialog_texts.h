// Texts that the status and edit dialogs add to their templates, in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::dialog_text {

// The About box's line before the data folder.
inline constexpr Text kDataFolderPrefix{"データフォルダー: ", "Data folder: "};
// %1: the most characters the field takes.
inline constexpr Text kLengthLimit{"%1 文字以内で入力してください。",
                                   "Enter at most %1 characters."};
// The button of a notice about written files that opens their folder.
inline constexpr Text kOpenFolder{"フォルダを開く", "Open folder"};

}  // namespace lapdex::ui::dialog_text
