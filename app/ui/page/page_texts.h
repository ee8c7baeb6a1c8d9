// The page's own texts in both language sets: tool tips, lap list headers, message boxes and
// the month calendar's names.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::page_text {

using texts::Text;

inline constexpr Text kMemoToolTip{"ダブルクリックでメモの編集が出来ます。",
                                   "Double-click to edit the memo."};
// The run memo box opens its editor on one click or from the keyboard.
inline constexpr Text kRunMemoToolTip{"クリック、またはEnterキーでメモの編集が出来ます。",
                                      "Click or press Enter to edit the memo."};
inline constexpr Text kLapHeaders[4] = {
    {"No.", "No."},
    {"ラップ", "Lap"},
    {"スプリット", "Split"},
    {"ラップメモ（20文字まで）", "Lap memo (up to 20 characters)"}};

// %1: the run list line of the run.
inline constexpr Text kReadFailed{
    "\"%1\"の読み込みに失敗しました。\n対象のファイルを開いていないか確認してください。",
    "\"%1\" could not be read.\nMake sure its file is not open in another program."};
inline constexpr Text kDeleteConfirm{
    "\"%1\"を削除します。\n保存されたCSVファイルも削除されます。\nよろしいですか？",
    "\"%1\" will be deleted,\nits saved CSV file too.\nDelete it?"};
inline constexpr Text kDeleteFailed{
    "\"%1\"の削除に失敗しました。\n対象ファイルを開いていないか確認してください。",
    "\"%1\" could not be deleted.\nMake sure its file is not open in another program."};
inline constexpr Text kSaveFailed{
    "データの保存に失敗しました。\n対象のファイルを開いていないか確認してください。",
    "The data could not be saved.\nMake sure the file is not open in another program."};
// %1: the characters that Shift_JIS cannot hold, each once.
inline constexpr Text kMemoNotEncodable{
    "メモに保存できない文字が含まれています：%1\nこれらの文字を除いてから入力してください。",
    "The memo holds characters that cannot be saved: %1\nRemove them and enter the memo again."};

// The month calendar: a month's title (%1 the year, %2 the month's name), the names of the
// months and the weekdays from Sunday.
inline constexpr Text kMonthTitle{"%1年%2", "%2 %1"};
inline constexpr Text kMonthNames[12] = {
    {"1月", "January"},   {"2月", "February"}, {"3月", "March"},     {"4月", "April"},
    {"5月", "May"},       {"6月", "June"},     {"7月", "July"},      {"8月", "August"},
    {"9月", "September"}, {"10月", "October"}, {"11月", "November"}, {"12月", "December"}};
inline constexpr Text kWeekdays[7] = {{"日", "Su"}, {"月", "Mo"}, {"火", "Tu"}, {"水", "We"},
                                      {"木", "Th"}, {"金", "Fr"}, {"土", "Sa"}};
// A day as screen readers read it: %1 the year, %2 the month's name, %3 the day, %4 the
// weekday's full name; a day with runs adds the second text.
inline constexpr Text kDayName{"%1年%2%3日 %4", "%4, %2 %3, %1"};
inline constexpr Text kFullWeekdays[7] = {
    {"日曜日", "Sunday"},   {"月曜日", "Monday"}, {"火曜日", "Tuesday"}, {"水曜日", "Wednesday"},
    {"木曜日", "Thursday"}, {"金曜日", "Friday"}, {"土曜日", "Saturday"}};
inline constexpr Text kDayHasRuns{"、走行あり", ", runs recorded"};
// The star beside a run that set a personal best.
inline constexpr Text kBestRunToolTip{"この走行で自己ベストを更新しました",
                                      "This run set a personal best"};
// The month choice's year field: %1 stands for the number.
inline constexpr Text kYearField{"%1年", "%1"};
// The month choice's fields as screen readers name them.
inline constexpr Text kYearName{"年", "Year"};
inline constexpr Text kMonthName{"月", "Month"};
inline constexpr Text kCancel{"キャンセル", "Cancel"};

}  // namespace lapdex::ui::page_text
