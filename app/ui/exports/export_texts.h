// The texts of the export and print commands in both language sets.
#pragma once

#include "count_text.h"
#include "ui_text.h"

namespace lapdex::ui::export_text {

using texts::CountText;

// Not the data set's export item: that one already has Alt+E, so this menu takes O.
inline constexpr Text kMenu{"書き出し・印刷(&O)", "&Output and print"};
inline constexpr Text kWorkbook{"表計算ソフト用 (.xlsx)(&S)...", "&Spreadsheet (.xlsx)..."};
inline constexpr Text kSpreadsheet{"スクリプト・他のソフト用 CSV(&C)...", "&CSV for scripts..."};
inline constexpr Text kTcx{"トレーニング記録用 TCX(&T)...", "&Training log (TCX)..."};
inline constexpr Text kRunPdf{"走行シートをPDFで保存(&R)...", "&Run sheet as PDF..."};
inline constexpr Text kDayPdf{"日のシートをPDFで保存(&D)...", "&Day sheet as PDF..."};
inline constexpr Text kPrint{"印刷(&P)...", "&Print..."};
inline constexpr Text kNoRunShown{"表示中の走行がありません。", "No run is shown."};
inline constexpr Text kBrowseTitle{"書き出し先のフォルダを選んでください。",
                                   "Choose the folder to write to."};
inline constexpr Text kOneTcxFile{
    "選んだ走行を1つのTCXファイルにまとめますか？\n「いいえ」で走行ごとに1ファイルずつ書き出します"
    "。",
    "Put the chosen runs into one TCX file?\nChoose No for one file per run."};
inline constexpr Text kOverwrite{"\"%s\"はすでにあります。\n上書きしますか？",
                                 "\"%s\" already exists.\nReplace it?"};
inline constexpr Text kNoRuns{"書き出す走行がありません。", "There are no runs to write."};
inline constexpr Text kCannotRead{
    "走行を読めませんでした。走行の索引もデータフォルダも読めません。",
    "The runs could not be read: neither the index of runs nor the data folder can be read."};
// %s: the existing files, one per line.
inline constexpr Text kOverwriteSeveral{
    "次のファイルはすでにあります。\n%s\nすべて上書きしますか？",
    "These files already exist:\n%s\nReplace them all?"};
// After the first files of a long list. %1: how many more.
inline constexpr Text kMoreFiles{"ほか %1 個", "and %1 more"};
// Followed by the runs left out, one per line.
inline constexpr Text kNotWritten{"次の走行は書き出していません:", "These runs were not written:"};
inline constexpr Text kNothingWritten{"書き出せる走行がありません。",
                                      "None of the runs can be written."};
// %1: the runs (kRunCount), %2: the laps (kLapCount), %3: a line break and kFilesIn.
inline constexpr Text kWritten{"%1と%2を書き出しました。%3", "Wrote %1 and %2.%3"};
// %1: how many files, %2: the folder they are in.
inline constexpr CountText kFilesIn{{"%2 に %1 個のファイル", "%1 file in %2"},
                                    {"%2 に %1 個のファイル", "%1 files in %2"}};
// What an export covers, before the folder is chosen. %1: the runs (kRunCount).
inline constexpr Text kCoverChosen{"すべての走行で選んだ%1を書き出します。",
                                   "Writing %1 chosen in All runs."};
// %1: the runs (kRunCount), %2: the date, "2024/05/10".
inline constexpr Text kCoverDay{"%2 の全ストップウオッチの%1を書き出します。",
                                "Writing %1 of %2, all stopwatches."};
inline constexpr CountText kRunCount{{"%1件の走行", "%1 run"}, {"%1件の走行", "%1 runs"}};
inline constexpr CountText kLapCount{{"%1周のラップ", "%1 lap"}, {"%1周のラップ", "%1 laps"}};
inline constexpr Text kInsideData{
    "データフォルダの中には書き出せません。\n別のフォルダを選んでください。",
    "Files cannot be written inside the data folder.\nPlease choose another folder."};
inline constexpr Text kNoFolder{"\"%s\"はフォルダではありません。", "\"%s\" is not a folder."};
inline constexpr Text kWriteFailed{
    "\"%s\"の書き込みに失敗しました。\nディスクの空きと書き込みの権限を確認してください。",
    "\"%s\" could not be written.\nCheck the free disk space and the permission to write."};

}  // namespace lapdex::ui::export_text
