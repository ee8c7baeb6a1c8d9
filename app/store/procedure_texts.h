// The exact texts the export, import and removal procedures show (UTF-8; caption "K7X Stopwatch").
#pragma once

namespace lapdex::texts {

inline constexpr const char* kExportBrowseTitle = "エクスポート先のフォルダーを選択してください。";
// %1: stopwatch folders, %2: run files, %3: the chosen folder.
inline constexpr const char* kExportDone =
    "エクスポートしました。\nストップウオッチ %1 台分のフォルダーと計測データのファイル %2 "
    "個を\n%3\nにコピーしました。";
inline constexpr const char* kExportFailed = "このフォルダーにアクセスする許可がありません。";
inline constexpr const char* kImportBrowseTitle = "インポートするフォルダーを選択してください。";
inline constexpr const char* kImportInvalid = "インポートするデータが正しくありません。";
inline constexpr const char* kImportOtherLanguage =
    "異なる言語形式へインポートされようとしています。\nよろしいですか？";
inline constexpr const char* kImportRestart =
    "インポートした内容を反映するためにアプリケーションを再起動してください。";
inline constexpr const char* kImportFailed =
    "インポートに失敗しました。\nインポート対象のファイルを開いていないか確認してください。";
// %s: the stopwatch's name.
inline constexpr const char* kRemoveConfirm =
    "\"%s\"の全てのデータを削除します。\n保存されたCSVファイルも削除されます。\nよろしいですか？";
inline constexpr const char* kRemoveFailed =
    "\"%s\"の削除に失敗しました。\n対象のファイルを開いていないか確認してください。";

// Texts of this program's own safeguards.
inline constexpr const char* kFolderOverlapsDataFolder =
    "データフォルダー、その中のフォルダー、またはデータフォルダーを含むフォルダーは選択できません。\n"
    "別のフォルダーを選択してください。";
inline constexpr const char* kImportCopyFailedRestored =
    "インポートに失敗しました。\nインポート元のファイルをコピーできなかったため、元のデータに戻しました。";
// %s: the backup folder's path.
inline constexpr const char* kRestoreFailedBackupKept =
    "元のデータを完全には戻せませんでした。\nバックアップフォルダー \"%s\" を削除せずに残しました。";
inline constexpr const char* kStopwatchFolderUnsafe =
    "\"%s\"のフォルダーがデータフォルダーの外を指しているため、削除できません。";

}  // namespace lapdex::texts
