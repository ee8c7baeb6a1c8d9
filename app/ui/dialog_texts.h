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

// Asked before the memo editor drops the line breaks that pasted text brought.
inline constexpr Text kDropLineBreaks{
    "メモには改行を保存できません。\n貼り付けた文字列の改行を取り除きますか？\n"
    "「いいえ」を選ぶと貼り付ける前の内容に戻ります。",
    "A memo cannot hold line breaks.\nRemove the line breaks of the pasted text?\n"
    "No puts back the text as it was before."};
// Asked before the memo editor cuts text over its limit. %1: the limit, %2: the characters over it.
inline constexpr Text kCutOverLimit{
    "メモは %1 文字までです。\n超えた %2 文字を切り捨てますか？\n"
    "「いいえ」を選ぶと入力する前の内容に戻ります。",
    "A memo holds at most %1 characters.\nCut the %2 characters over the limit?\n"
    "No puts back the text as it was before."};

}  // namespace lapdex::ui::dialog_text
