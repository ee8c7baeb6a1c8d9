// runs.xlsx opened by LibreOffice Calc itself (headless): every cell of both sheets holds exactly
// what the run files hold, texts as texts (however much they look like numbers, dates or
// formulas), starts as dates, times as durations and seconds as numbers, each fastest lap bold.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "data_folder_fixture.h"
#include "export_files.h"
#include "export_fixture.h"
#include "fods_cells.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "spreadsheet_export.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::FodsCell;
using testing::FodsRow;

// A run whose memos a spreadsheet would take for a number, a date or a formula.
RunRecord withMemos(RunRecord run, std::string memo, std::vector<std::string> lapMemos) {
    run.memo = std::move(memo);
    for (std::size_t i = 0; i < lapMemos.size() && i < run.laps.size(); ++i)
        run.laps[i].memo = lapMemos[i];
    return run;
}

// Two stopwatches with serials a spreadsheet would shorten, written as run files and read back as
// the exports take them.
std::vector<ExportRun> runsFromFiles(const std::string& data) {
    FileSystem& fs = systemFileSystem();
    const struct {
        int slot;
        const char* serial;
        const char* name;
        RunRecord record;
    } files[] = {
        {0, "000000001234", "007",
         withMemos(testing::clockExample(), "2024-05-01", {"=1+1", "@SUM(A1)", "-3"})},
        {0, "000000001234", "007",
         withMemos(testing::steadyRun({2024, 5, 1, 6, 0, 0}, 3, 372345), "007",
                   {"a,b", "\"q\"", ""})},
        {1, "00e100000000", "走者Ａ・髙橋",
         withMemos(testing::steadyRun({2024, 1, 31, 9, 30, 15}, 4, 7000, {}, 37),
                   "向かい風, \"強い\"", {"速い", "007", "2024-05-01"})},
    };
    (void)testing::makeDataFolder(fs, data,
                                  {{"000000001234", "007"}, {"00e100000000", "走者Ａ・髙橋"}});
    std::vector<ExportRun> runs;
    for (const auto& f : files) {
        const RunFileWriteResult written = writeRunFile(fs, data, f.slot, f.serial, f.record);
        EXPECT_EQ(written.status, RunFileWriteStatus::Written) << written.path;
        const std::string relative = written.path.substr(data.size());
        runs.push_back(
            {f.name, f.serial, relative, summariseRunFile(fs.readFile(written.path).bytes)});
    }
    return runs;
}

// "PT01H02M03.45S" in hundredths of a second.
std::int64_t durationHundredths(const std::string& value) {
    int hours = 0, minutes = 0;
    double seconds = 0;
    if (std::sscanf(value.c_str(), "PT%dH%dM%lfS", &hours, &minutes, &seconds) != 3) return -2;
    return std::int64_t{hours} * 360000 + minutes * 6000 + std::llround(seconds * 100);
}

class XlsxCalcImport : public ::testing::Test {
  protected:
    // Exports runs.xlsx of the run files and lets Calc save it as flat OpenDocument, once for all
    // the checks: Calc takes seconds to start.
    static void SetUpTestSuite() {
        testing::TempFolder& root = *(folder = new testing::TempFolder);
        FileSystem& fs = systemFileSystem();
        ASSERT_TRUE(fs.createFolder(root / "out").ok());
        runs = runsFromFiles(root / "data/");
        ASSERT_EQ(runs.size(), 3u);
        const auto files =
            exportFiles(runs, ExportFormat::Workbook, TcxFiles::OnePerRun, systemLocalToUtc);
        ASSERT_TRUE(
            writeExportFiles(fs, root / "data/", root / "out", files, Overwrite::Refuse).ok());
        int status = 0;
        const std::string log = testing::commandOutput(
            "cd " + testing::shellQuoted(root / "out") +
                " && timeout 300 soffice -env:UserInstallation=file://" + root.path() +
                "/profile --headless --convert-to fods --outdir " +
                testing::shellQuoted(root / "calc") + " runs.xlsx 2>&1",
            status);
        ASSERT_EQ(status, 0) << "soffice (package libreoffice-calc-nogui) failed: " << log;
        fods = testing::fileBytes(root / "calc/runs.fods");
        sheets = testing::fodsSheets(fods);
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }

    static void expectText(const FodsCell& cell, const std::string& text) {
        EXPECT_EQ(cell.type, text.empty() ? "" : "string") << text;
        EXPECT_EQ(cell.text, text);
    }
    static void expectNumber(const FodsCell& cell, double number) {
        EXPECT_EQ(cell.type, "float") << cell.text;
        EXPECT_NEAR(std::atof(cell.value.c_str()), number, 1e-9) << cell.text;
    }
    // A time in both its columns: seconds as a number, and a duration; both empty for -1.
    static void expectTime(const FodsCell& seconds, const FodsCell& duration, std::int64_t cs) {
        if (cs < 0) {
            EXPECT_EQ(seconds.type + duration.type, "");
            return;
        }
        expectNumber(seconds, static_cast<double>(cs) / 100);
        EXPECT_EQ(duration.type, "time") << duration.text;
        EXPECT_EQ(durationHundredths(duration.value), cs) << duration.value;
    }
    static void expectStart(const FodsCell& cell, const std::string& isoStart) {
        EXPECT_EQ(cell.type, "date") << cell.text;
        EXPECT_EQ(cell.value, isoStart);
        EXPECT_EQ(cell.text, isoStart.substr(0, 10) + " " + isoStart.substr(11));
    }
    // The header fields of a CSV file's first line (no field of a header holds a comma).
    static std::vector<std::string> csvHeader(const std::string& csv) {
        std::vector<std::string> fields;
        const std::string line = csv.substr(3, csv.find('\r') - 3);
        for (std::size_t from = 0, comma; from <= line.size(); from = comma + 1) {
            comma = std::min(line.find(',', from), line.size());
            fields.push_back(line.substr(from, comma - from));
        }
        return fields;
    }
    static void expectHeader(const FodsRow& row, const std::string& csv) {
        const std::vector<std::string> header = csvHeader(csv);
        ASSERT_EQ(row.size(), header.size());
        for (std::size_t c = 0; c < header.size(); ++c) expectText(row[c], header[c]);
    }

    static inline testing::TempFolder* folder = nullptr;
    static inline std::vector<ExportRun> runs;
    static inline std::string fods;
    static inline std::vector<std::pair<std::string, std::vector<FodsRow>>> sheets;
};

TEST_F(XlsxCalcImport, RunsSheetHoldsEveryValueOfTheRunFiles) {
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].first, "走行");
    const std::vector<FodsRow>& rows = sheets[0].second;
    ASSERT_EQ(rows.size(), runs.size() + 1);
    expectHeader(rows[0], runsCsv(runs));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(runs[i].relativePath);
        const RunDetails& run = runs[i].run;
        FodsRow row = rows[i + 1];
        row.resize(13);
        expectText(row[0], runs[i].tabName);
        expectText(row[1], runs[i].serialText);
        expectStart(row[2], run.start);
        expectNumber(row[3], run.lapCount);
        expectTime(row[4], row[10], run.totalCs);
        expectTime(row[5], row[11], run.bestLapCs);
        expectNumber(row[6], run.bestLapNumber);
        expectTime(row[7], row[12], run.averageLapCs);
        expectText(row[8], run.memo);
        expectText(row[9], runs[i].relativePath);
    }
}

TEST_F(XlsxCalcImport, LapsSheetHoldsEveryLapWithTheFastestBold) {
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[1].first, "ラップ");
    const std::vector<FodsRow>& rows = sheets[1].second;
    expectHeader(rows.at(0), lapsCsv(runs));
    const std::set<std::string> bold = testing::boldCellStyles(fods);
    std::size_t at = 1;
    for (const ExportRun& r : runs) {
        for (const LapDetails& lap : r.run.laps) {
            SCOPED_TRACE(r.relativePath + " lap " + std::to_string(lap.number));
            ASSERT_LT(at, rows.size());
            FodsRow row = rows[at++];
            row.resize(9);
            expectText(row[0], r.tabName);
            expectText(row[1], r.serialText);
            expectStart(row[2], r.run.start);
            expectNumber(row[3], lap.number);
            expectTime(row[4], row[7], lap.lapCs);
            expectTime(row[5], row[8], lap.splitCs);
            expectText(row[6], lap.memo);
            EXPECT_EQ(bold.count(row[4].style), lap.number == r.run.bestLapNumber ? 1u : 0u);
        }
    }
    EXPECT_EQ(at, rows.size());
}

TEST_F(XlsxCalcImport, HeaderRowsCarryTheFilter) {
    // Calc keeps a sheet's autofilter as an unnamed database range over the header and every row.
    ASSERT_EQ(sheets.size(), 2u);
    for (const auto& [name, rows] : sheets) {
        const char lastColumn = static_cast<char>('A' + rows.at(0).size() - 1);
        const std::string range =
            name + ".A1:" + name + "." + std::string(1, lastColumn) + std::to_string(rows.size());
        EXPECT_NE(fods.find("table:target-range-address=\"" + range +
                            "\" table:display-filter-buttons=\"true\""),
                  std::string::npos)
            << range;
    }
}

}  // namespace
}  // namespace lapdex
