#include "tree_operations.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "tree_fixture.h"

namespace lapdex {
namespace {

using testing::put;
using testing::snapshot;
using testing::TempFolder;
using Tree = std::map<std::string, std::string>;

TEST(DataSetName, AcceptsQtm00To100Only) {
    for (const char* name : {"QTM-00", "QTM-01", "QTM-99", "QTM-100"}) EXPECT_TRUE(isDataSetFolderName(name)) << name;
    for (const char* name : {"QTM-7", "QTM-101", "qtm-01", "QTM-001", "QTM-01 ", "xQTM-01", "QTM-1000", "Temp_1"}) {
        EXPECT_FALSE(isDataSetFolderName(name)) << name;
    }
}

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        put(fs, src / "Lapdex.dat", "cfg", ReadOnly::On);
        put(fs, src / "QTM-01/a.csv", "a", ReadOnly::On);
        put(fs, src / "QTM-01/sub/b.csv", "b", ReadOnly::On);
        put(fs, src / "QTM-00/z.csv", "z");
        put(fs, src / "QTM-7/x.csv", "x");
        put(fs, src / "qtm-01/x.csv", "x");
        put(fs, src / "lapdex.dat", "other");
        put(fs, src / "Lapdex.exe", "exe");
    }
    TempFolder src;
    TempFolder dst;
    PosixFileSystem fs;
};

TEST_F(TreeTest, DataSetCopyTakesOnlyTheDataSetAndAppliesTheRuleBelowTheTop) {
    ASSERT_TRUE(copyTree(fs, src.path() + "//", dst.path(), TreeScope::DataSet, AttributeRule::ClearReadOnly).ok());
    EXPECT_EQ(snapshot(fs, dst.path()), (Tree{{"Lapdex.dat", "cfg [ro]"},  // top level keeps attributes
                                              {"QTM-00", "<dir>"},
                                              {"QTM-00/z.csv", "z"},
                                              {"QTM-01", "<dir>"},
                                              {"QTM-01/a.csv", "a"},
                                              {"QTM-01/sub", "<dir>"},
                                              {"QTM-01/sub/b.csv", "b"}}));
}

TEST_F(TreeTest, MakeReadOnlyMarksEveryCopiedRunFile) {
    ASSERT_TRUE(copyTree(fs, src.path(), dst.path(), TreeScope::DataSet, AttributeRule::MakeReadOnly).ok());
    EXPECT_TRUE(fs.isReadOnly(dst / "QTM-00/z.csv"));
    EXPECT_TRUE(fs.isReadOnly(dst / "QTM-01/sub/b.csv"));
}

TEST_F(TreeTest, CopyNeverFollowsLinksAndReportsThem) {
    TempFolder outside;
    put(fs, outside / "secret.csv", "secret");
    ASSERT_EQ(::symlink(outside.path().c_str(), (src / "QTM-01/linked").c_str()), 0);
    ASSERT_EQ(::symlink((outside / "secret.csv").c_str(), (src / "QTM-00/l.csv").c_str()), 0);
    ASSERT_EQ(::symlink(outside.path().c_str(), (src / "QTM-02").c_str()), 0);
    TreeResult r = copyTree(fs, src.path(), dst.path(), TreeScope::DataSet, AttributeRule::KeepAttributes);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.skippedLinks, 3);
    EXPECT_EQ(fs.kindOf(dst / "QTM-01/linked"), EntryKind::None);
    EXPECT_EQ(fs.kindOf(dst / "QTM-00/l.csv"), EntryKind::None);
    EXPECT_EQ(fs.kindOf(dst / "QTM-02"), EntryKind::None);
    EXPECT_EQ(fs.readFile(dst / "QTM-01/sub/b.csv").bytes, "b");  // the walk went on
}

TEST_F(TreeTest, MissingSourceCopiesNothingAndSucceeds) {
    EXPECT_TRUE(copyTree(fs, src / "none", dst.path(), TreeScope::AllEntries, AttributeRule::KeepAttributes).ok());
}

TEST_F(TreeTest, DataSetDeleteLeavesEverythingElse) {
    fs.setReadOnlyAttribute(src / "Lapdex.dat", ReadOnly::Off).ok();
    ASSERT_TRUE(deleteTree(fs, src.path(), TreeScope::DataSet).ok());
    EXPECT_EQ(snapshot(fs, src.path()), (Tree{{"Lapdex.exe", "exe"},
                                              {"QTM-7", "<dir>"},
                                              {"QTM-7/x.csv", "x"},
                                              {"lapdex.dat", "other"},
                                              {"qtm-01", "<dir>"},
                                              {"qtm-01/x.csv", "x"}}));
}

TEST_F(TreeTest, DataSetDeleteRefusesAReadOnlyConfiguration) {
    TreeResult r = deleteTree(fs, src.path(), TreeScope::DataSet);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(fs.readFile(src / "Lapdex.dat").bytes, "cfg");
    EXPECT_TRUE(fs.isReadOnly(src / "Lapdex.dat"));
}

TEST_F(TreeTest, DeleteStopsAtAFileInUseAndKeepsItReadOnly) {
    auto lock = fs.holdLock(src / "QTM-01/a.csv", LockMode::Shared);
    TreeResult r = deleteTree(fs, src / "QTM-01", TreeScope::AllEntries);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.firstFailure, src / "QTM-01/a.csv");
    EXPECT_EQ(fs.readFile(src / "QTM-01/a.csv").bytes, "a");
    EXPECT_TRUE(fs.isReadOnly(src / "QTM-01/a.csv"));
}

TEST_F(TreeTest, RemoveFolderClearsReadOnlyAndRemovesEverything) {
    ASSERT_TRUE(removeFolder(fs, src / "QTM-01/").ok());
    EXPECT_EQ(fs.kindOf(src / "QTM-01"), EntryKind::None);
    EXPECT_FALSE(removeFolder(fs, src / "QTM-01").ok());  // a missing folder fails
    ASSERT_TRUE(fs.createFolder(src / "empty").ok());
    EXPECT_TRUE(removeFolder(fs, src / "empty").ok());
}

TEST_F(TreeTest, RemoveFolderNeverDeletesThroughALink) {
    TempFolder outside;
    put(fs, outside / "keep.csv", "keep");
    ASSERT_EQ(::symlink(outside.path().c_str(), (src / "QTM-00/zz-link").c_str()), 0);
    TreeResult r = removeFolder(fs, src / "QTM-00");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.skippedLinks, 1);
    EXPECT_EQ(fs.readFile(outside / "keep.csv").bytes, "keep");
    EXPECT_EQ(fs.kindOf(src / "QTM-00"), EntryKind::Folder);
    ASSERT_EQ(::symlink(outside.path().c_str(), (src / "toplink").c_str()), 0);
    EXPECT_FALSE(removeFolder(fs, src / "toplink").ok());
    EXPECT_FALSE(deleteTree(fs, src / "toplink", TreeScope::AllEntries).ok());
    EXPECT_EQ(fs.readFile(outside / "keep.csv").bytes, "keep");
}

TEST_F(TreeTest, SetReadOnlyRefusesAFileInUse) {
    std::string file = src / "QTM-00/z.csv";
    {
        auto lock = fs.holdLock(file, LockMode::Shared);
        EXPECT_EQ(setReadOnly(fs, file, ReadOnly::On).error, FsError::InUse);
        EXPECT_FALSE(fs.isReadOnly(file));
    }
    EXPECT_TRUE(setReadOnly(fs, file, ReadOnly::On).ok());
    EXPECT_TRUE(setReadOnly(fs, file, ReadOnly::On).ok());
    EXPECT_TRUE(setReadOnly(fs, file, ReadOnly::Off).ok());
    EXPECT_FALSE(fs.isReadOnly(file));
    EXPECT_FALSE(setReadOnly(fs, src / "none.csv", ReadOnly::Off).ok());
}

}  // namespace
}  // namespace lapdex
