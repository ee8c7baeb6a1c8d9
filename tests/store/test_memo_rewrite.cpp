// The memo rewrite: round trips, untouched lines, the "_bak.csv" file, and the failure paths.
#include <gtest/gtest.h>

#include "memo_rewrite.h"
#include "recorded_cells.h"
#include "run_file_fixture.h"
#include "run_file_reader.h"
#include "run_file_writer.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::fileBytes;
using testing::RecordedCells;

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", pos);
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

class MemoRewriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs.createFolder(folder / "QTM-01").ok());
        RunFileWriteResult written = writeRunFile(fs, folder.path() + "/", 0, "0123456789ab", testing::clockExample());
        ASSERT_EQ(written.status, RunFileWriteStatus::Written);
        path = written.path;
        original = fileBytes(path);
    }
    RecordedCells readBack() {
        RecordedCells cells;
        EXPECT_TRUE(readRunFile(fs, path, -1, cells));
        return cells;
    }
    // After every rewrite: read-only again, and no "_bak.csv" or temporary file left behind.
    void expectCleanFolder() {
        EXPECT_TRUE(fs.isReadOnly(path));
        EXPECT_EQ(fs.listFolder(folder / "QTM-01").entries.size(), 1u);
    }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder folder;
    std::string path;
    std::string original;
};

TEST_F(MemoRewriteTest, RunMemoWithCommasAndQuotesReadsBackUnchanged) {
    const std::string memo = "雨, 向かい風 \"強\" ,,";
    ASSERT_TRUE(rewriteMemo(fs, path, memo, MemoKind::Run, 0).ok());
    EXPECT_EQ(readBack().row(0).back(), memo);
    const auto before = linesOf(original);
    const auto after = linesOf(fileBytes(path));
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (i != 5) {
            EXPECT_EQ(before[i], after[i]) << "line " << i + 1;
        }
    }
    expectCleanFolder();
}

TEST_F(MemoRewriteTest, LapMemoChangesOnlyItsLineAndCanBeRewrittenAgain) {
    ASSERT_TRUE(rewriteMemo(fs, path, "first \"lap\", ok", MemoKind::Lap, 0).ok());
    ASSERT_TRUE(rewriteMemo(fs, path, "\"", MemoKind::Lap, 2).ok());
    ASSERT_TRUE(rewriteMemo(fs, path, "second", MemoKind::Lap, 0).ok());
    RecordedCells cells = readBack();
    EXPECT_EQ(cells.row(1).back(), "second");
    EXPECT_EQ(cells.row(2).back(), "");
    EXPECT_EQ(cells.row(3).back(), "\"");
    const auto lines = linesOf(fileBytes(path));
    EXPECT_EQ(lines[8], "1,00:01:10.50,00:01:10.50,\"second\"");
    EXPECT_EQ(lines[10], "3,00:01:04.80,00:03:20.00,\"\"\"\"");
    EXPECT_EQ(linesOf(original)[5], lines[5]);
    expectCleanFolder();
}

TEST_F(MemoRewriteTest, LapIndexBeyondTheLastLapLeavesTheContent) {
    EXPECT_TRUE(rewriteMemo(fs, path, "x", MemoKind::Lap, 3).ok());
    EXPECT_TRUE(rewriteMemo(fs, path, "x", MemoKind::Lap, 1 << 30).ok());
    EXPECT_EQ(fileBytes(path), original);
    expectCleanFolder();
}

TEST_F(MemoRewriteTest, LineEndsBecomeCrLfAndMissingCommasArePadded) {
    ASSERT_TRUE(fs.setReadOnlyAttribute(path, ReadOnly::Off).ok());
    testing::writeBytes(path, "a\nb\n\n\nh\nd,t,1,1,b,a\n\nl\n1,x,y\n");
    ASSERT_TRUE(rewriteMemo(fs, path, "m", MemoKind::Lap, 0).ok());
    EXPECT_EQ(fileBytes(path), "a\r\nb\r\n\r\n\r\nh\r\nd,t,1,1,b,a\r\n\r\nl\r\n1,x,y,\"m\"\r\n");
    ASSERT_TRUE(rewriteMemo(fs, path, "r", MemoKind::Run, 0).ok());
    EXPECT_EQ(readBack().row(0), (std::vector<std::string>{"d", "t", "1", "1", "b", "a", "r"}));
}

TEST_F(MemoRewriteTest, StaleReadOnlyBackupIsReplacedAndRemoved) {
    const std::string backup = memoBackupPath(path);
    EXPECT_EQ(backup, folder / "QTM-01/QTM240131_093015_0123456789ab_bak.csv");
    testing::writeBytes(backup, "stale");
    ASSERT_TRUE(fs.setReadOnlyAttribute(backup, ReadOnly::On).ok());
    ASSERT_TRUE(rewriteMemo(fs, path, "new", MemoKind::Run, 0).ok());
    EXPECT_EQ(readBack().row(0).back(), "new");
    expectCleanFolder();
}

TEST_F(MemoRewriteTest, RefusesCharactersOutsideTheCodePageAndKeepsTheFile) {
    MemoRewriteResult result = rewriteMemo(fs, path, "ok 🏃", MemoKind::Run, 0);
    EXPECT_EQ(result.status, MemoRewriteStatus::NotEncodable);
    EXPECT_EQ(result.unencodable, "🏃");
    EXPECT_EQ(fileBytes(path), original);
    expectCleanFolder();
}

TEST_F(MemoRewriteTest, FileInUseIsLeftAsItWas) {
    for (LockMode mode : {LockMode::Shared, LockMode::Exclusive}) {
        ASSERT_TRUE(fs.setReadOnlyAttribute(path, ReadOnly::Off).ok());
        const std::string before = fileBytes(path);
        auto lock = fs.holdLock(path, mode);
        ASSERT_NE(lock, nullptr);
        MemoRewriteResult result = rewriteMemo(fs, path, "x", MemoKind::Run, 0);
        EXPECT_EQ(result.status, mode == LockMode::Shared ? MemoRewriteStatus::CannotOpen
                                                          : MemoRewriteStatus::CannotCopy);
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(fs.listFolder(folder / "QTM-01").entries.size(), 1u);
        lock.reset();
        ASSERT_TRUE(rewriteMemo(fs, path, "later", MemoKind::Run, 0).ok());
        EXPECT_EQ(readBack().row(0).back(), "later");
        expectCleanFolder();
        ASSERT_TRUE(rewriteMemo(fs, path, "", MemoKind::Run, 0).ok());
    }
}

TEST_F(MemoRewriteTest, MissingFileCannotBeCopied) {
    MemoRewriteResult result = rewriteMemo(fs, folder / "QTM-01/QTM240101_000000_x.csv", "x", MemoKind::Run, 0);
    EXPECT_EQ(result.status, MemoRewriteStatus::CannotCopy);
    EXPECT_EQ(fs.listFolder(folder / "QTM-01").entries.size(), 1u);
}

}  // namespace
}  // namespace lapdex
