// The texts the export, import and removal procedures show, in both language sets
// (UTF-8; caption "K7X Stopwatch").
#pragma once

#include <string>

#include "bilingual_text.h"

namespace lapdex::texts {

inline constexpr Text kExportBrowseTitle{"エクスポート先のフォルダーを選択してください。",
                                         "Choose the folder to export to."};
// %1: stopwatch folders, %2: run files, %3: the chosen folder.
inline constexpr Text kExportDone{
    "エクスポートしました。\nストップウオッチ %1 台分のフォルダーと計測データのファイル %2 "
    "個を\n%3\nにコピーしました。",
    "Export finished.\nStopwatch folders: %1, run files: %2, copied to\n%3"};
inline constexpr Text kExportFailed{"このフォルダーにアクセスする許可がありません。",
                                    "You are not allowed to use this folder."};
inline constexpr Text kImportBrowseTitle{"インポートするフォルダーを選択してください。",
                                         "Choose the folder to import."};
inline constexpr Text kImportInvalid{"インポートするデータが正しくありません。",
                                     "The data to import is not valid."};
inline constexpr Text kImportOtherLanguage{
    "異なる言語形式へインポートされようとしています。\nよろしいですか？",
    "The data to import was saved with another language setting.\nImport it anyway?"};
inline constexpr Text kImportRestart{
    "インポートした内容を反映するためにアプリケーションを再起動してください。",
    "Restart the program to see the imported data."};
inline constexpr Text kImportFailed{
    "インポートに失敗しました。\nインポート対象のファイルを開いていないか確認してください。",
    "The import failed.\nMake sure none of the files to import is open in another program."};
// %s: the stopwatch's name.
inline constexpr Text kRemoveConfirm{
    "\"%s\"の全てのデータを削除します。\n保存されたCSVファイルも削除されます。\nよろしいですか？",
    "All data of \"%s\" will be deleted,\nits saved CSV files too.\nDelete it?"};
inline constexpr Text kRemoveFailed{
    "\"%s\"の削除に失敗しました。\n対象のファイルを開いていないか確認してください。",
    "\"%s\" could not be deleted.\nMake sure none of its files is open in another program."};

// Texts of this program's own safeguards.
inline constexpr Text kFolderOverlapsDataFolder{
    "データフォルダー、その中のフォルダー、またはデータフォルダーを含むフォルダーは選択できません。"
    "\n"
    "別のフォルダーを選択してください。",
    "You cannot choose the data folder, a folder inside it or a folder that holds it.\n"
    "Choose another folder."};
inline constexpr Text kImportCopyFailedRestored{
    "インポートに失敗しました。\nインポート元のファイルをコピーできなかったため、元のデータに戻しま"
    "した。",
    "The import failed.\nThe files to import could not be copied, so your data was put back as it "
    "was."};
// %s: the backup folder's path.
inline constexpr Text kRestoreFailedBackupKept{
    "元のデータを完全には戻せませんでした。\nバックアップフォルダー \"%s\" "
    "を削除せずに残しました。",
    "Your data could not be put back completely.\nThe backup folder \"%s\" has been kept."};
inline constexpr Text kStopwatchFolderUnsafe{
    "\"%s\"のフォルダーがデータフォルダーの外を指しているため、削除できません。",
    "The folder of \"%s\" points outside the data folder, so it cannot be deleted."};

// The text in the language shown now, as the procedures hand it to their ProcedureUi.
inline std::string shown(const Text& text) {
    return std::string(localized(text));
}

}  // namespace lapdex::texts
