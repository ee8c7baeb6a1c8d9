// The run file reader: which lines are rows, how cells are split, quotes, memo columns and limits.
#include <gtest/gtest.h>

#include "cp932.h"
#include "recorded_cells.h"
#include "run_file_fixture.h"
#include "run_file_reader.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::RecordedCells;

using Texts = std::vector<std::string>;

Texts rowCells(std::string_view line, int row) {
    RecordedCells cells;
    readRunFileRow(line, row, 5, cells);
    for (const auto& c : cells.cells) EXPECT_EQ(c.ordinal, 5);
    return cells.row(row);
}

// Six notes/header lines around the given data lines, as the writer lays them out.
std::string fileWith(const std::string& summary, const std::vector<std::string>& laps, const char* eol = "\r\n") {
    std::string text = std::string("n1") + eol + "n2" + eol + eol + eol + "header" + eol + summary + eol + eol + "laps" + eol;
    for (const auto& lap : laps) text += lap + eol;
    return text;
}

TEST(RunFileReader, ReadsTheGoldenFileIntoSummaryAndLapRows) {
    RecordedCells cells;
    ASSERT_TRUE(readRunFile(systemFileSystem(), LAPDEX_TEST_DATA_DIR "/run_clock.csv", -1, cells));
    EXPECT_EQ(cells.row(0), (Texts{"2024/01/31   09:30:15", "00:03:20.00", "3", "2", "00:01:04.70", "00:01:06.66", ""}));
    EXPECT_EQ(cells.row(1), (Texts{"1", "00:01:10.50", "00:01:10.50", ""}));
    EXPECT_EQ(cells.row(3), (Texts{"3", "00:01:04.80", "00:03:20.00", ""}));
    EXPECT_TRUE(cells.row(4).empty());
    EXPECT_EQ(cells.cells.front(), (testing::Cell{0, 0, "2024/01/31   09:30:15", -1}));
    EXPECT_EQ(cells.cells.size(), 7u + 3 * 4u);
}

TEST(RunFileReader, MemoColumnKeepsCommasAndUndoesQuotes) {
    EXPECT_EQ(rowCells("1,a,b,\"x, \"\"y\"\", z\"", 1), (Texts{"1", "a", "b", "x, \"y\", z"}));
    EXPECT_EQ(rowCells("d,t,1,1,b,a,\"memo, with \"\"quotes\"\"\"", 0),
              (Texts{"d", "t", "1", "1", "b", "a", "memo, with \"quotes\""}));
    // Memo quote pairs are undone in one pass: four quotes inside become two.
    EXPECT_EQ(rowCells("1,a,b,\"\"\"\"\"\"", 1), (Texts{"1", "a", "b", "\"\""}));
}

TEST(RunFileReader, SpreadsheetTrailingCommasAreDroppedFromLapMemos) {
    EXPECT_EQ(rowCells("2,a,b,\"lap, memo\",,,", 1), (Texts{"2", "a", "b", "lap, memo"}));
    EXPECT_EQ(rowCells("2,a,b,,,,", 1), (Texts{"2", "a", "b", ""}));
    // Only three are removed, and only in lap rows.
    EXPECT_EQ(rowCells("2,a,b,m,,,,", 1), (Texts{"2", "a", "b", "m,"}));
    EXPECT_EQ(rowCells("d,t,1,1,b,a,m,,,", 0), (Texts{"d", "t", "1", "1", "b", "a", "m,,,"}));
}

TEST(RunFileReader, RowWithoutTrailingCommaHasNoMemoCell) {
    EXPECT_EQ(rowCells("1,00:01:10.50,00:01:10.50", 1), (Texts{"1", "00:01:10.50", "00:01:10.50"}));
    EXPECT_EQ(rowCells("", 1), (Texts{""}));
}

TEST(RunFileReader, QuotedCellsJoinOverCommasAndLoseTheirQuotes) {
    EXPECT_EQ(rowCells("\"2024,01\",\"a\"\"\"\"b\",x,y", 1), (Texts{"2024,01", "a\"b", "x", "y"}));
    EXPECT_EQ(rowCells("\",a,b,c", 1), (Texts{"\",a,b,c"}));  // a lone quote runs to the line end
    EXPECT_EQ(rowCells("\"\",a", 1), (Texts{"", "a"}));
}

TEST(RunFileReader, CutsMemosToTheirCharacterLimits) {
    std::string longMemo;
    for (int i = 0; i < 250; ++i) longMemo += "あ";
    const Texts run = rowCells("d,t,1,1,b,a,\"" + longMemo + "\"", 0);
    ASSERT_EQ(run.size(), 7u);
    EXPECT_EQ(utf8CharacterCount(run[6]), 200u);
    const Texts lap = rowCells("1,a,b,\"" + longMemo + "\"", 1);
    ASSERT_EQ(lap.size(), 4u);
    EXPECT_EQ(lap[3], std::string(utf8Prefix(longMemo, 20)));
}

TEST(RunFileReader, AcceptsLfOnlyLinesAndDecodesShiftJis) {
    const std::string text = fileWith("d,t,1,1,b,a,\"メモ\"", {"1,a,b,\"ラップ\""}, "\n");
    TextConversion bytes = utf8ToCp932(text);
    ASSERT_TRUE(bytes.ok());
    RecordedCells cells;
    readRunFileBytes(bytes.text, 2, cells);
    EXPECT_EQ(cells.row(0).back(), "メモ");
    EXPECT_EQ(cells.row(1), (Texts{"1", "a", "b", "ラップ"}));
}

TEST(RunFileReader, BadBytesBecomeReplacementCharactersOnly) {
    const std::string text = fileWith("d,t,1,1,b,a,\"x\x85\xFFy\"", {"1,a,b,"});
    RecordedCells cells;
    readRunFileBytes(text, 1, cells);
    ASSERT_EQ(cells.row(0).size(), 7u);
    EXPECT_EQ(cells.row(0)[6].substr(0, 1), "x");
    EXPECT_EQ(cells.row(0)[6].substr(cells.row(0)[6].size() - 1), "y");
    EXPECT_NE(cells.row(0)[6].find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(cells.row(1), (Texts{"1", "a", "b", ""}));
}

TEST(RunFileReader, FailsOnMissingAndExclusivelyHeldFiles) {
    testing::TempFolder folder;
    FileSystem& fs = systemFileSystem();
    RecordedCells cells;
    EXPECT_FALSE(readRunFile(fs, folder / "none.csv", -1, cells));
    EXPECT_FALSE(readRunFile(fs, folder.path(), -1, cells));
    testing::writeBytes(folder / "held.csv", fileWith("d,t,1,1,b,a,", {}));
    {
        auto lock = fs.holdLock(folder / "held.csv", LockMode::Exclusive);
        ASSERT_NE(lock, nullptr);
        EXPECT_FALSE(readRunFile(fs, folder / "held.csv", -1, cells));
    }
    EXPECT_TRUE(cells.cells.empty());
    EXPECT_TRUE(readRunFile(fs, folder / "held.csv", -1, cells));
    EXPECT_EQ(cells.row(0).size(), 7u);
}

}  // namespace
}  // namespace lapdex
