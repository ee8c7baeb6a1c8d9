// The page's own texts: tool tip and message box texts (Japanese only).
#pragma once

#include <QString>

namespace lapdex::ui::page_text {

inline const QString kMemoToolTip = QStringLiteral("ダブルクリックでメモの編集が出来ます。");
inline const QString kLapHeaders[4] = {QStringLiteral("No."), QStringLiteral("ラップ"),
                                       QStringLiteral("スプリット"),
                                       QStringLiteral("ラップメモ（20文字まで）")};

// %1: the run list line of the run.
inline const QString kReadFailed =
    QStringLiteral("\"%1\"の読み込みに失敗しました。\n対象のファイルを開いていないか確認してください。");
inline const QString kDeleteConfirm =
    QStringLiteral("\"%1\"を削除します。\n保存されたCSVファイルも削除されます。\nよろしいですか？");
inline const QString kDeleteFailed =
    QStringLiteral("\"%1\"の削除に失敗しました。\n対象ファイルを開いていないか確認してください。");
inline const QString kSaveFailed =
    QStringLiteral("データの保存に失敗しました。\n対象のファイルを開いていないか確認してください。");
// %1: the characters that Shift_JIS cannot hold, each once.
inline const QString kMemoNotEncodable = QStringLiteral(
    "メモに保存できない文字が含まれています：%1\nこれらの文字を除いてから入力してください。");

}  // namespace lapdex::ui::page_text
