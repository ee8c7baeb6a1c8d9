// The main window's and the application's message texts in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::main_text {

inline constexpr Text kClearConfirm{
    "ストップウオッチ本体の全データをクリアします。\n"
    "まだダウンロードしていない計測データは、クリアする前にファイルに保存します。\n"
    "保存できなかったときはクリアしません。\nよろしいですか？",
    "All data in the stopwatch will be cleared.\n"
    "Runs not downloaded yet are saved to files first.\n"
    "If they cannot be saved, nothing is cleared.\nClear the stopwatch?"};
inline constexpr Text kDuplicateName{"既に同じ名前を登録済みです。\n再度入力してください。",
                                     "This name is already taken.\nEnter another name."};
// A stopwatch needs a name: an empty one would leave a tab that cannot be told apart or found.
inline constexpr Text kEmptyName{"名前を入力してください。\n空の名前は登録できません。",
                                 "Enter a name.\nA stopwatch cannot have an empty name."};
// %1: the file or folder.
inline constexpr Text kCannotOpen{"開くためのアプリケーションが見つかりませんでした。\n場所：%1",
                                  "No program was found to open it.\nLocation: %1"};

// %1 runs in the download, %2 of them without a file, %3 the folder.
inline constexpr Text kRunFileErrorSome{
    "計測データ %1 件のうち %2 件をファイルに保存できませんでした。\n"
    "保存先: %3\n"
    "空き容量と書き込み権限を確認してから、再読み込みしてください。",
    "Runs downloaded: %1. Runs that could not be saved to files: %2.\n"
    "Folder: %3\n"
    "Check the free space and the permission to write, then reload."};
// %1 runs in the download, none saved, %2 the folder.
inline constexpr Text kRunFileErrorAll{
    "計測データ %1 件をファイルに保存できませんでした（1 件も保存されていません）。\n"
    "保存先: %2\n"
    "空き容量と書き込み権限を確認してから、再読み込みしてください。",
    "None of the downloaded runs could be saved to files (runs downloaded: %1).\n"
    "Folder: %2\n"
    "Check the free space and the permission to write, then reload."};
inline constexpr Text kClearKept{
    "まだダウンロードしていない計測データをファイルに保存できなかったため、クリアしませんでした。\n"
    "データフォルダーの空き容量と書き込み権限を確認してください。",
    "The stopwatch was not cleared: runs not downloaded yet could not be saved to files.\n"
    "Check the free space and the permission to write in the data folder."};

// %1 the data folder.
inline constexpr Text kDataFolderUnwritable{
    "データフォルダーに書き込めません。\n%1\n"
    "このままではストップウオッチのデータを保存できません。"
    "フォルダーの書き込み権限と空き容量を確認してください。",
    "The data folder cannot be written.\n%1\n"
    "The stopwatches' data cannot be saved as things are. "
    "Check the folder's permission to write and its free space."};
// %1: the data folder.
inline constexpr Text kFolderInUse{
    "Lapdex はこのデータフォルダーで既に実行されています。\n%1\n同時に使えるのは1つだけです。",
    "Lapdex is already running with this data folder.\n%1\nOnly one copy can use it at a time."};

}  // namespace lapdex::ui::main_text
