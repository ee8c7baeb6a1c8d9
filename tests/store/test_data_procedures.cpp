#include "data_procedures.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

#include "procedure_texts.h"
#include "tree_operations.h"
#include "scripted_ui.h"
#include "tree_fixture.h"

namespace lapdex {
namespace {

using testing::put;
using testing::snapshot;
using testing::TempFolder;
using Tree = std::map<std::string, std::string>;

// Fails every copy whose source path contains `failOn`, as a disk error would.
class FaultyFileSystem : public PosixFileSystem {
public:
    std::string failOn;
    std::vector<std::string> createdFolders;
    FsStatus copyFile(const std::string& from, const std::string& to, Existing existing) override {
        if (!failOn.empty() && from.find(failOn) != std::string::npos) return {FsError::Io, 5};
        return PosixFileSystem::copyFile(from, to, existing);
    }
    FsStatus createFolder(const std::string& folder) override {
        createdFolders.push_back(folder);
        return PosixFileSystem::createFolder(folder);
    }
};

class ProcedureTest : public ::testing::Test {
protected:
    void SetUp() override {
        put(fs, home / "Lapdex.dat",
            "[Config]\r\nLOCATION=JPN\r\n[User]\r\nQTM01_SERIAL=0123456789ab\r\nQTM01_NAME=Alpha\r\n");
        put(fs, home / "QTM-01/QTM150314_093015_0123456789ab.csv", "run1", ReadOnly::On);
        put(fs, home / "QTM-01/QTM150315_101010_0123456789ab.csv", "run2", ReadOnly::On);
        put(fs, home / "QTM-00/orphan.csv", "orphan");
        put(fs, home / "QTM-7/keep.csv", "not data");
        put(fs, home / "Lapdex", "program");
        config = loadConfiguration(data, "JPN");
    }
    // No procedure asks or tells the user while it holds the worker lock: a dialog's event loop
    // would then repaint the window, which reads what the lock guards.
    void TearDown() override { EXPECT_FALSE(ui.dialogUnderLock); }
    std::string ro(const std::string& s) { return s + " [ro]"; }
    void expectNoBackupFolder() {
        for (const FolderEntry& e : fs.listFolder(home.path()).entries) EXPECT_FALSE(e.name.starts_with("Temp_"));
    }

    TempFolder home;
    TempFolder other;
    FaultyFileSystem fs;
    DataFolder data{fs, home.path()};
    Configuration config;
    testing::ScriptedUi ui;
    testing::FixedClock clock{testing::march14At093015()};
};

TEST_F(ProcedureTest, ExportCopiesTheDataSetAsWritableFilesOverAnEarlierExport) {
    put(fs, other / "Lapdex.dat", "old");
    put(fs, other / "QTM-01/QTM150314_093015_0123456789ab.csv", "old run");
    put(fs, other / "QTM-01/mine.txt", "stays");
    ui.folder = other.path();
    EXPECT_EQ(exportData(ui, data), ProcedureOutcome::Done);
    EXPECT_EQ(ui.browseTitles, std::vector<std::string>{texts::shown(texts::kExportBrowseTitle)});
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(ui.pauseDepth, 0);
    EXPECT_EQ(ui.lockedChanges, 1);
    // Two stopwatch folders (QTM-00 and QTM-01) with three files, and where they went.
    ASSERT_EQ(ui.notices.size(), 1u);
    EXPECT_EQ(ui.notices[0],
              "エクスポートしました。\nストップウオッチ 2 台分のフォルダーと計測データのファイル 3 "
              "個を\n" +
                  other.path() + "\nにコピーしました。");
    Tree tree = snapshot(fs, other.path());
    EXPECT_EQ(tree["Lapdex.dat"].substr(0, 8), "[Config]");
    EXPECT_EQ(tree["QTM-01/QTM150314_093015_0123456789ab.csv"], "run1");
    EXPECT_EQ(tree["QTM-01/QTM150315_101010_0123456789ab.csv"], "run2");
    EXPECT_EQ(tree["QTM-01/mine.txt"], "stays");
    EXPECT_EQ(tree["QTM-00/orphan.csv"], "orphan");
    EXPECT_EQ(tree.count("QTM-7"), 0u);
    EXPECT_EQ(tree.count("Lapdex"), 0u);
}

// Shown in English, the procedures ask and tell in English; the files they copy stay the same.
TEST_F(ProcedureTest, ExportAndRemovalSpeakTheLanguageShown) {
    struct BackToJapanese {
        ~BackToJapanese() { texts::setCurrentLanguage(texts::Language::Japanese); }
    } restore;
    texts::setCurrentLanguage(texts::Language::English);
    ui.folder = other.path();
    EXPECT_EQ(exportData(ui, data), ProcedureOutcome::Done);
    EXPECT_EQ(ui.browseTitles, std::vector<std::string>{"Choose the folder to export to."});
    ASSERT_EQ(ui.notices.size(), 1u);
    EXPECT_EQ(ui.notices[0], "Export finished.\nStopwatch folders: 2, run files: 3, copied to\n" +
                                 other.path());
    ui.answerYes = false;
    EXPECT_EQ(removeStopwatchData(ui, data, config, clock, "Alpha"), ProcedureOutcome::Cancelled);
    EXPECT_EQ(ui.questions,
              std::vector<std::string>{"All data of \"Alpha\" will be deleted,\nits saved CSV files too.\nDelete it?"});
}

TEST_F(ProcedureTest, ExportReportsAFileThatCannotBeRead) {
    auto lock = fs.holdLock(home / "QTM-01/QTM150315_101010_0123456789ab.csv", LockMode::Exclusive);
    ui.folder = other.path();
    EXPECT_EQ(exportData(ui, data), ProcedureOutcome::Failed);
    EXPECT_EQ(ui.errors, std::vector<std::string>{texts::shown(texts::kExportFailed)});
    EXPECT_EQ(fs.readFile(other / "QTM-01/QTM150314_093015_0123456789ab.csv").bytes, "run1");  // the rest stays
}

TEST_F(ProcedureTest, CancelledBrowserChangesNothing) {
    Tree before = snapshot(fs, home.path());
    EXPECT_EQ(exportData(ui, data), ProcedureOutcome::Cancelled);
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Cancelled);
    EXPECT_EQ(snapshot(fs, home.path()), before);
    EXPECT_EQ(ui.pauses, 2);
    EXPECT_EQ(ui.pauseDepth, 0);
}

TEST_F(ProcedureTest, FoldersOverlappingTheDataFolderAreRefused) {
    ASSERT_TRUE(fs.createFolder(other / "parent").ok());
    Tree before = snapshot(fs, home.path());
    for (const std::string& chosen : {home.path(), home.path() + "/", home / "QTM-01", home / "QTM-01/../QTM-00",
                                      home / "QTM-01/new", home / ".."}) {
        ui.folder = chosen;
        EXPECT_EQ(exportData(ui, data), ProcedureOutcome::Refused) << chosen;
        EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Refused) << chosen;
    }
    EXPECT_EQ(ui.errors.size(), 12u);
    EXPECT_EQ(ui.errors.front(), texts::shown(texts::kFolderOverlapsDataFolder));
    EXPECT_EQ(snapshot(fs, home.path()), before);
    EXPECT_EQ(ui.pauseDepth, 0);
}

TEST_F(ProcedureTest, ImportReplacesTheDataSetWithReadOnlyRunFiles) {
    put(fs, other / "Lapdex.dat", "[Config]\r\nLOCATION=JPN\r\n[User]\r\nQTM02_SERIAL=bbbbbbbbbbbb\r\n");
    put(fs, other / "QTM-02/QTM160101_000000_bbbbbbbbbbbb.csv", "imported");
    put(fs, other / "QTM-7/ignored.csv", "ignored");
    ui.folder = other.path();
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Done);
    EXPECT_TRUE(ui.questions.empty());  // same language form: no question
    EXPECT_EQ(ui.notices, std::vector<std::string>{texts::shown(texts::kImportRestart)});
    EXPECT_TRUE(ui.closed);
    EXPECT_TRUE(config.keepImportedConfiguration);
    EXPECT_EQ(snapshot(fs, home.path()),
              (Tree{{"Lapdex", "program"},
                    {"Lapdex.dat", "[Config]\r\nLOCATION=JPN\r\n[User]\r\nQTM02_SERIAL=bbbbbbbbbbbb\r\n"},
                    {"QTM-02", "<dir>"},
                    {"QTM-02/QTM160101_000000_bbbbbbbbbbbb.csv", ro("imported")},
                    {"QTM-7", "<dir>"},
                    {"QTM-7/keep.csv", "not data"}}));
    EXPECT_EQ(ui.pauseDepth, 0);
}

TEST_F(ProcedureTest, ImportOfAnotherLanguageAsksAndCancelChangesNothing) {
    put(fs, other / "Lapdex.dat", "[config]\r\nlocation = ENG\r\n");
    ui.folder = other.path();
    ui.answerOk = false;
    Tree before = snapshot(fs, home.path());
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Cancelled);
    EXPECT_EQ(ui.questions, std::vector<std::string>{texts::shown(texts::kImportOtherLanguage)});
    EXPECT_EQ(snapshot(fs, home.path()), before);
}

TEST_F(ProcedureTest, ImportWithoutValidConfigurationIsInvalid) {
    ui.folder = other.path();
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Invalid);
    put(fs, other / "Lapdex.dat", "[Config]\r\nLOCATION=jpn\r\n");
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Invalid);
    EXPECT_EQ(ui.errors, (std::vector<std::string>{texts::shown(texts::kImportInvalid), texts::shown(texts::kImportInvalid)}));
}

TEST_F(ProcedureTest, ImportWhoseDeletionMeetsAFileInUsePutsEverythingBack) {
    put(fs, other / "Lapdex.dat", "[Config]\r\nLOCATION=JPN\r\n");
    Tree before = snapshot(fs, home.path());
    auto lock = fs.holdLock(home / "QTM-01/QTM150315_101010_0123456789ab.csv", LockMode::Shared);
    ui.folder = other.path();
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Failed);
    EXPECT_EQ(ui.errors, std::vector<std::string>{texts::shown(texts::kImportFailed)});
    EXPECT_EQ(snapshot(fs, home.path()), before);  // same data set, attributes included, no backup
    EXPECT_FALSE(config.keepImportedConfiguration);
    EXPECT_FALSE(ui.closed);
}

TEST_F(ProcedureTest, ImportMeetingAReadOnlyConfigurationPutsEverythingBack) {
    put(fs, other / "Lapdex.dat", "[Config]\r\nLOCATION=JPN\r\n");
    ASSERT_TRUE(fs.setReadOnlyAttribute(home / "Lapdex.dat", ReadOnly::On).ok());
    Tree before = snapshot(fs, home.path());
    ui.folder = other.path();
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Failed);
    EXPECT_EQ(snapshot(fs, home.path()), before);
}

TEST_F(ProcedureTest, ImportWhoseCopyFailsRollsBackAndSaysSo) {
    put(fs, other / "Lapdex.dat", "[Config]\r\nLOCATION=JPN\r\n", ReadOnly::On);
    put(fs, other / "QTM-05/a.csv", "a");
    put(fs, other / "QTM-05/b.csv", "b");
    fs.failOn = other / "QTM-05/b.csv";
    Tree before = snapshot(fs, home.path());
    ui.folder = other.path();
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Failed);
    EXPECT_EQ(ui.errors, std::vector<std::string>{texts::shown(texts::kImportCopyFailedRestored)});
    EXPECT_EQ(snapshot(fs, home.path()), before);
    EXPECT_FALSE(config.keepImportedConfiguration);
}

TEST_F(ProcedureTest, ImportStopsBeforeDeletingWhenTheBackupCannotBeMade) {
    put(fs, other / "Lapdex.dat", "[Config]\r\nLOCATION=JPN\r\n");
    fs.failOn = "QTM150315";
    Tree before = snapshot(fs, home.path());
    ui.folder = other.path();
    EXPECT_EQ(importData(ui, data, config, clock), ProcedureOutcome::Failed);
    EXPECT_EQ(snapshot(fs, home.path()), before);
}

TEST_F(ProcedureTest, RemovalDeletesTheFolderEmptiesTheSlotAndDropsTheBackup) {
    EXPECT_EQ(removeStopwatchData(ui, data, config, clock, "Alpha"), ProcedureOutcome::Done);
    EXPECT_EQ(ui.questions, std::vector<std::string>{
                                "\"Alpha\"の全てのデータを削除します。\n保存されたCSVファイルも削除されます。\nよろしいですか？"});
    EXPECT_EQ(fs.kindOf(home / "QTM-01"), EntryKind::None);
    EXPECT_FALSE(config.registry.isInUse(0));
    EXPECT_EQ(ui.removedSlots, std::vector<int>{0});
    EXPECT_EQ(fs.readFile(home / "Lapdex.dat").bytes, "[Config]\r\nLOCATION=JPN\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n[User]\r\n");
    EXPECT_NE(std::find(fs.createdFolders.begin(), fs.createdFolders.end(), home / "Temp_20150314_093015"),
              fs.createdFolders.end());
    expectNoBackupFolder();
    EXPECT_EQ(ui.pauseDepth, 0);
}

TEST_F(ProcedureTest, RemovalWithAFileInUseCopiesDeletedRunsBack) {
    Tree before = snapshot(fs, home.path());
    auto lock = fs.holdLock(home / "QTM-01/QTM150315_101010_0123456789ab.csv", LockMode::Shared);
    EXPECT_EQ(removeStopwatchData(ui, data, config, clock, "Alpha"), ProcedureOutcome::Failed);
    EXPECT_EQ(ui.errors, std::vector<std::string>{
                             "\"Alpha\"の削除に失敗しました。\n対象のファイルを開いていないか確認してください。"});
    EXPECT_EQ(snapshot(fs, home.path()), before);
    EXPECT_TRUE(config.registry.isInUse(0));
    EXPECT_TRUE(ui.removedSlots.empty());
}

TEST_F(ProcedureTest, RemovalNeverFollowsALinkOutOfTheStopwatchFolder) {
    put(fs, other / "precious.csv", "precious");
    ASSERT_EQ(::symlink(other.path().c_str(), (home / "QTM-01/zlink").c_str()), 0);
    EXPECT_EQ(removeStopwatchData(ui, data, config, clock, "Alpha"), ProcedureOutcome::Failed);
    EXPECT_EQ(fs.readFile(other / "precious.csv").bytes, "precious");
    EXPECT_TRUE(config.registry.isInUse(0));
    expectNoBackupFolder();
}

TEST_F(ProcedureTest, RemovalRefusesAStopwatchFolderThatIsALink) {
    ASSERT_TRUE(removeFolder(fs, home / "QTM-01").ok());
    put(fs, other / "precious.csv", "precious");
    ASSERT_EQ(::symlink(other.path().c_str(), (home / "QTM-01").c_str()), 0);
    EXPECT_EQ(removeStopwatchData(ui, data, config, clock, "Alpha"), ProcedureOutcome::Refused);
    EXPECT_EQ(fs.readFile(other / "precious.csv").bytes, "precious");
    EXPECT_TRUE(config.registry.isInUse(0));
}

TEST_F(ProcedureTest, RemovalAnsweredNoOrOfAnUnknownNameChangesNothing) {
    Tree before = snapshot(fs, home.path());
    ui.answerYes = false;
    EXPECT_EQ(removeStopwatchData(ui, data, config, clock, "Alpha"), ProcedureOutcome::Cancelled);
    ui.answerYes = true;
    EXPECT_EQ(removeStopwatchData(ui, data, config, clock, ""), ProcedureOutcome::Failed);  // free slots never match
    EXPECT_EQ(snapshot(fs, home.path()), before);
    EXPECT_TRUE(config.registry.isInUse(0));
    EXPECT_EQ(ui.pauseDepth, 0);
}

TEST_F(ProcedureTest, RemovalOfAStopwatchWhoseFolderIsGoneEmptiesTheSlot) {
    ASSERT_TRUE(removeFolder(fs, home / "QTM-01").ok());
    EXPECT_EQ(removeStopwatchData(ui, data, config, clock, "Alpha"), ProcedureOutcome::Done);
    EXPECT_FALSE(config.registry.isInUse(0));
}

TEST(BackupFolder, IsNamedAfterTheLocalTime) {
    PosixFileSystem fs;
    testing::FixedClock clock{testing::march14At093015()};
    EXPECT_EQ(backupFolderPath(DataFolder(fs, "/data"), clock), "/data/Temp_20150314_093015");
}

}  // namespace
}  // namespace lapdex
