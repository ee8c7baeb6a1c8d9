// Memo rewrites, import and removal while writes fail with ENOSPC, at every write in turn:
// no file under a final name is cut short, Lapdex.dat stays readable, the user is told, and
// a failed procedure leaves the data as it was.
#include <gtest/gtest.h>

#include "data_procedures.h"
#include "full_disk_file_system.h"
#include "memo_rewrite.h"
#include "profile_file.h"
#include "scripted_ui.h"
#include "tree_fixture.h"

namespace lapdex {
namespace {

using testing::put;
using testing::snapshot;
using testing::TempFolder;
using Tree = std::map<std::string, std::string>;

constexpr char kRun[] = "QTM-01/QTM150314_093015_0123456789ab.csv";
constexpr char kRunText[] =
    "n1\r\nn2\r\n\r\n\r\nh\r\n2015/03/14   09:30:15,t,1,1,b,a,\r\n\r\nl\r\n1,a,b,\r\n";

class DiskFullStore : public ::testing::Test {
  protected:
    void SetUp() override {
        put(fs, home / "Lapdex.dat",
            "[Config]\r\nLOCATION=JPN\r\n[User]\r\nQTM01_SERIAL=0123456789ab\r\nQTM01_NAME="
            "Alpha\r\n");
        put(fs, home / kRun, kRunText, ReadOnly::On);
        put(fs, home / "QTM-01/QTM150315_101010_0123456789ab.csv", "run2", ReadOnly::On);
        config = loadConfiguration(data, "JPN");
    }
    bool backupFolderLeft() {
        for (const FolderEntry& e : fs.listFolder(home.path()).entries) {
            if (e.name.starts_with("Temp_")) return true;
        }
        return false;
    }

    TempFolder home;
    TempFolder other;
    testing::FullDiskFileSystem fs;
    DataFolder data{fs, home.path()};
    Configuration config;
    testing::ScriptedUi ui;
    testing::FixedClock clock{testing::march14At093015()};
};

TEST_F(DiskFullStore, MemoRewriteOnAFullDiskKeepsTheOldFile) {
    // The copy to "_bak.csv" and the new content are the rewrite's two writes.
    for (int n = 1; n <= 2; ++n) {
        fs.fullFrom(fs.writes() + n);
        MemoRewriteResult result = rewriteMemo(fs, home / kRun, "new memo", MemoKind::Run, 0);
        EXPECT_FALSE(result.ok()) << n;
        EXPECT_EQ(result.fsStatus.sysErrno, ENOSPC) << n;
        EXPECT_EQ(fs.readFile(home / kRun).bytes, kRunText) << n;
        EXPECT_TRUE(fs.isReadOnly(home / kRun)) << n;
        EXPECT_EQ(fs.kindOf(home / "QTM-01/QTM150314_093015_0123456789ab_bak.csv"), EntryKind::None)
            << n;
    }
    fs.spaceBack();
    EXPECT_TRUE(rewriteMemo(fs, home / kRun, "new memo", MemoKind::Run, 0).ok());
    EXPECT_NE(fs.readFile(home / kRun).bytes.find("\"new memo\""), std::string::npos);
}

TEST_F(DiskFullStore, ImportFailingAtAnyWriteLeavesTheOldDataSetOrTheNewOne) {
    put(fs, other / "Lapdex.dat",
        "[Config]\r\nLOCATION=JPN\r\n[User]\r\nQTM02_SERIAL=bbbbbbbbbbbb\r\n");
    put(fs, other / "QTM-02/QTM160101_000000_bbbbbbbbbbbb.csv", "imported");
    const Tree before = snapshot(fs, home.path());
    // A clean import, counted on a copy of the data folder.
    int writes = 0;
    Tree imported;
    {
        TempFolder copy;
        testing::FullDiskFileSystem counting;
        for (const auto& [rel, content] : before) {
            if (content == "<dir>") continue;
            const bool ro = content.ends_with(" [ro]");
            put(counting, copy / rel, ro ? content.substr(0, content.size() - 5) : content,
                ro ? ReadOnly::On : ReadOnly::Off);
        }
        const int start = counting.writes();
        DataFolder copyData{counting, copy.path()};
        Configuration copyConfig = loadConfiguration(copyData, "JPN");
        testing::ScriptedUi copyUi;
        copyUi.folder = other.path();
        ASSERT_EQ(importData(copyUi, copyData, copyConfig, clock), ProcedureOutcome::Done);
        writes = counting.writes() - start;
        imported = snapshot(counting, copy.path());
    }
    ASSERT_GT(writes, 4);
    for (int n = 1; n <= writes; ++n) {
        SCOPED_TRACE("import with write " + std::to_string(n) + " failing");
        // Each round starts from the old data set.
        if (snapshot(fs, home.path()) != before) {
            for (const auto& [rel, content] : snapshot(fs, home.path())) {
                if (content != "<dir>") (void)fs.setReadOnlyAttribute(home / rel, ReadOnly::Off);
            }
            std::filesystem::remove_all(home.path());
            std::filesystem::create_directory(home.path());
            for (const auto& [rel, content] : before) {
                if (content == "<dir>") continue;
                const bool ro = content.ends_with(" [ro]");
                put(fs, home / rel, ro ? content.substr(0, content.size() - 5) : content,
                    ro ? ReadOnly::On : ReadOnly::Off);
            }
        }
        ui = testing::ScriptedUi{};
        ui.folder = other.path();
        fs.failOnly(fs.writes() + n);
        ProcedureOutcome outcome = importData(ui, data, config, clock);
        fs.spaceBack();
        const Tree after = snapshot(fs, home.path());
        if (outcome == ProcedureOutcome::Done) {
            EXPECT_EQ(after, imported);
        } else {
            EXPECT_EQ(outcome, ProcedureOutcome::Failed);
            EXPECT_EQ(after, before);
            EXPECT_EQ(ui.errors.size(), 1u);
            EXPECT_FALSE(backupFolderLeft());
        }
        EXPECT_TRUE(loadProfile(fs, home / "Lapdex.dat").ok());
        EXPECT_EQ(ui.pauseDepth, 0);
    }
    RecordProperty("cases", writes);
}

TEST_F(DiskFullStore, RemovalOnAFullDiskKeepsTheRunsOrRemovesThemAll) {
    const Tree before = snapshot(fs, home.path());
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE("removal with the disk full from write " + std::to_string(n));
        ui = testing::ScriptedUi{};
        fs.fullFrom(fs.writes() + n);
        ProcedureOutcome outcome = removeStopwatchData(ui, data, config, clock, "Alpha");
        fs.spaceBack();
        if (outcome == ProcedureOutcome::Done) {
            EXPECT_EQ(fs.kindOf(home / "QTM-01"), EntryKind::None);
            EXPECT_EQ(config.registry.findByName("Alpha"), -1);
            break;  // nothing is left to remove
        }
        EXPECT_EQ(outcome, ProcedureOutcome::Failed);
        EXPECT_EQ(ui.errors.size(), 1u);
        EXPECT_EQ(snapshot(fs, home.path()), before);
        EXPECT_FALSE(backupFolderLeft());
    }
    EXPECT_TRUE(loadProfile(fs, home / "Lapdex.dat").ok());
}

}  // namespace
}  // namespace lapdex
