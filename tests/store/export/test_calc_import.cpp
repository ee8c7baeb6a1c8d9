// runs.csv and laps.csv opened by LibreOffice Calc itself (headless): every Japanese character
// arrives, every memo stays in its one cell, and every time is a number the sheet can sum.
#include <gtest/gtest.h>

#include <cmath>

#include "export_files.h"
#include "export_fixture.h"
#include "fods_cells.h"
#include "run_file_fixture.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

class CalcImport : public ::testing::Test {
  protected:
    // Exports the example runs, lets Calc read both files as UTF-8 comma-separated text and save
    // them as flat OpenDocument, and reads back what Calc made of them. Once for all the checks:
    // Calc takes seconds to start.
    static void SetUpTestSuite() {
        testing::TempFolder& root = *(folder = new testing::TempFolder);
        FileSystem& fs = systemFileSystem();
        ASSERT_TRUE(fs.createFolder(root / "data").ok());
        ASSERT_TRUE(fs.createFolder(root / "out").ok());
        const auto files = exportFiles(testing::exampleRuns(), ExportFormat::Spreadsheet,
                                       TcxFiles::OnePerRun, systemLocalToUtc);
        ASSERT_TRUE(
            writeExportFiles(fs, root / "data", root / "out", files, Overwrite::Refuse).ok());
        int status = 0;
        const std::string log = testing::commandOutput(
            "cd " + testing::shellQuoted(root / "out") +
                " && timeout 300 soffice -env:UserInstallation=file://" + root.path() +
                "/profile --headless --infilter=CSV:44,34,76,1 --convert-to fods --outdir " +
                testing::shellQuoted(root / "calc") + " runs.csv laps.csv 2>&1",
            status);
        ASSERT_EQ(status, 0) << "soffice (package libreoffice-calc-nogui) failed: " << log;
        runs = testing::fodsRows(testing::fileBytes(root / "calc/runs.fods"));
        laps = testing::fodsRows(testing::fileBytes(root / "calc/laps.fods"));
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }

    static void expectText(const testing::FodsCell& cell, const std::string& text) {
        EXPECT_EQ(cell.type, "string") << text;
        EXPECT_EQ(cell.text, text);
    }
    static void expectNumber(const testing::FodsCell& cell, double number) {
        EXPECT_EQ(cell.type, "float") << cell.text;
        EXPECT_NEAR(std::atof(cell.value.c_str()), number, 1e-9) << cell.text;
    }

    static inline testing::TempFolder* folder = nullptr;
    static inline std::vector<testing::FodsRow> runs;
    static inline std::vector<testing::FodsRow> laps;
};

TEST_F(CalcImport, RunsSheetKeepsTextsCellsAndNumbers) {
    ASSERT_EQ(runs.size(), 3u);
    ASSERT_EQ(runs[0].size(), 13u);
    expectText(runs[0][0], "タブ名");
    expectText(runs[0][12], "平均ラップタイム");
    const testing::FodsRow& a = runs[1];
    ASSERT_EQ(a.size(), 13u);
    expectText(a[0], "走者Ａ・髙橋");
    expectText(a[1], "0123456789ab");
    expectNumber(a[3], 3);
    expectNumber(a[4], 200.00);
    expectNumber(a[5], 64.70);
    expectNumber(a[6], 2);
    expectNumber(a[7], 66.66);
    expectText(a[8], "向かい風, \"強い\"\n二本目");
    expectText(a[9], "QTM-01/QTM240131_093015_0123456789ab.csv");
    expectText(a[10], "00:03'20\"00");
    const testing::FodsRow& b = runs[2];
    ASSERT_EQ(b.size(), 13u);
    expectNumber(b[4], 179.94);
    expectText(b[8], "'-5秒");
    expectText(b[12], "001'499");
}

TEST_F(CalcImport, LapsSheetKeepsFormulaLookingMemosAsText) {
    ASSERT_EQ(laps.size(), 6u);
    expectText(laps[0][6], "ラップメモ");
    expectText(laps[1][6], "'=1+1");
    expectText(laps[2][6], "<速い> & 軽い");
    expectText(laps[4][6], "'@集合");
    expectText(laps[5][6], "'+ゴール");
    const double lapSeconds[] = {70.50, 64.70, 64.80, 90.00, 89.94};
    const double splitSeconds[] = {70.50, 135.20, 200.00, 90.00, 179.94};
    for (std::size_t i = 1; i < laps.size(); ++i) {
        ASSERT_GE(laps[i].size(), 9u) << i;
        expectNumber(laps[i][3], i <= 3 ? static_cast<double>(i) : static_cast<double>(i - 3));
        expectNumber(laps[i][4], lapSeconds[i - 1]);
        expectNumber(laps[i][5], splitSeconds[i - 1]);
    }
    expectText(laps[3][7], "00:01'04\"80");
    expectText(laps[5][0], "QTM-02");
}

}  // namespace
}  // namespace lapdex
