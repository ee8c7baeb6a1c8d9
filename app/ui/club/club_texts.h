// The texts of club folders in both language sets.
#pragma once

#include "ui_text.h"

namespace lapdex::ui::club_text {

inline constexpr Text kThisPc{"このPC", "This PC"};
inline constexpr Text kPcColumn{"PC", "PC"};

// The Settings menu and the club folders dialog.
inline constexpr Text kSettingsMenu{"設定(&S)", "&Settings"};
inline constexpr Text kClubFoldersAction{"クラブのフォルダ(&C)...", "&Club folders..."};
inline constexpr Text kDialogTitle{"クラブのフォルダ", "Club folders"};
inline constexpr Text kIntro{
    "他のPCのデータフォルダ（Syncthing やネットワーク共有でこのPCに届くもの）の走行も、"
    "読み取り専用で表示します。",
    "The runs of other PCs' data folders (carried here by Syncthing or a network share) are "
    "shown too, read-only."};
inline constexpr Text kLabelHeader{"ラベル", "Label"};
inline constexpr Text kFolderHeader{"フォルダ", "Folder"};
inline constexpr Text kAdd{"追加(&A)...", "&Add..."};
inline constexpr Text kEditLabel{"ラベルの変更(&E)...", "&Edit label..."};
inline constexpr Text kRemove{"削除(&R)", "&Remove"};
inline constexpr Text kOwnLabel{"このPCのラベル(&P)", "This PC's &label"};
inline constexpr Text kChooseFolder{"クラブのフォルダを選択", "Choose a club folder"};
inline constexpr Text kLabelPrompt{"「PC」の列に表示する名前:", "Name shown in the \"PC\" column:"};
// %1: the folder chosen.
inline constexpr Text kOwnFolderRefused{
    "%1 はこのPCのデータフォルダです。クラブのフォルダには他のPCのデータフォルダを選んでください。",
    "%1 is this PC's own data folder. Choose another PC's data folder as a club folder."};
// %1: the folder chosen, %2: the label it is listed under.
inline constexpr Text kAlreadyListed{"%1 はすでに「%2」として追加されています。",
                                     "%1 is already listed as \"%2\"."};
inline constexpr Text kNoLapdexDat{
    "%1 には Lapdex.dat がありません。他のPCで Lapdex が使っているデータフォルダ"
    "（またはその同期先）を選んでください。",
    "%1 holds no Lapdex.dat. Choose the data folder another PC's Lapdex uses (or its "
    "synchronised copy)."};
// %1: a label.
inline constexpr Text kLabelTaken{"ラベル「%1」はすでに使われています。別の名前にしてください。",
                                  "The label \"%1\" is already used. Choose another name."};

// Runs of a club folder, which this PC only reads. %1: the club folder's label.
inline constexpr Text kKeptOn{"%1 のPCで管理されています。このPCでは変更できません。",
                              "Kept on %1's PC: it cannot be changed on this PC."};
// %1: the stopwatch's name, %2: the start, %3: the club folder's label.
inline constexpr Text kRunTitle{"%1 %2（%3）", "%1 %2 (%3)"};
inline constexpr Text kRunMemo{"走行メモ", "Run memo"};
inline constexpr Text kLapHeaders[4] = {{"ラップ", "Lap"},
                                        {"ラップタイム", "Lap time"},
                                        {"スプリット", "Split"},
                                        {"ラップメモ", "Lap memo"}};
inline constexpr Text kCannotRead{"この走行は読めません: %1", "This run cannot be read: %1"};
inline constexpr Text kClose{"閉じる", "Close"};

// All runs: the PC filter and the context menu of a run.
inline constexpr Text kPcFilter{"PC(&P)", "&PC"};
inline constexpr Text kOpenRun{"走行を開く(&O)", "&Open run"};
// %1: the label of the PC whose data folder holds the run.
inline constexpr Text kRunOfPc{"PC: %1", "PC: %1"};

}  // namespace lapdex::ui::club_text
