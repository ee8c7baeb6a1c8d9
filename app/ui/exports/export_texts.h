// The texts of the export commands (the program shows the Japanese set).
#pragma once

namespace lapdex::ui::export_text {

// Not エクスポート(&E): that menu item exports the whole data set, and Alt+E is its key.
inline constexpr const char* kMenu = "書き出し・印刷(&O)";
inline constexpr const char* kSpreadsheet = "表計算ソフト用 CSV(&S)...";
inline constexpr const char* kTcx = "トレーニング記録用 TCX(&T)...";
inline constexpr const char* kRunPdf = "走行シートをPDFで保存(&R)...";
inline constexpr const char* kDayPdf = "日のシートをPDFで保存(&D)...";
inline constexpr const char* kPrint = "印刷(&P)...";
inline constexpr const char* kNoRunShown = "表示中の走行がありません。";
inline constexpr const char* kDayTitle = "%1 の走行";
inline constexpr const char* kChosenTitle = "選んだ走行";
inline constexpr const char* kBrowseTitle = "書き出し先のフォルダを選んでください。";
inline constexpr const char* kOneTcxFile =
    "選んだ走行を1つのTCXファイルにまとめますか？\n「いいえ」で走行ごとに1ファイルずつ書き出します"
    "。";
inline constexpr const char* kOverwrite = "\"%s\"はすでにあります。\n上書きしますか？";
inline constexpr const char* kNoRuns = "書き出す走行がありません。";
inline constexpr const char* kIndexBusy =
    "走行の一覧を読めませんでした。\nしばらくしてからもう一度お試しください。";
inline constexpr const char* kWritten = "%1件の走行と%2周のラップを書き出しました。%3";
inline constexpr const char* kInsideData =
    "データフォルダの中には書き出せません。\n別のフォルダを選んでください。";
inline constexpr const char* kNoFolder = "\"%s\"はフォルダではありません。";
inline constexpr const char* kWriteFailed =
    "\"%s\"の書き込みに失敗しました。\nディスクの空きと書き込みの権限を確認してください。";

}  // namespace lapdex::ui::export_text
