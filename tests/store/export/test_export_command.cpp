// k7x-tool export over a real data folder: the files it writes, what it refuses, what it prints.
#include <gtest/gtest.h>

#include <cstdlib>

#include "command_capture.h"
#include "configuration.h"
#include "data_folder_fixture.h"
#include "export_fixture.h"
#include "index_commands.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

class ExportCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        ASSERT_TRUE(fs.createFolder(out).ok());
        ASSERT_TRUE(testing::makeDataFolder(
            fs, data, {{"0123456789ab", "走者A"}, {"00000000beef", "QTM-02"}}));
        RunRecord a = testing::clockExample();
        a.memo = "=向かい風, \"つよい\"";
        a.laps[1].memo = "ペース上げ";
        write(0, "0123456789ab", a);
        RunRecord b = testing::clockExample();
        b.start = {2024, 2, 1, 7, 5, 9};
        b.laps.resize(2);
        b.lapCount = 2;
        b.total = b.laps[1].split;
        write(1, "00000000beef", b);
    }
    void write(int slot, const char* serial, const RunRecord& run) {
        ASSERT_EQ(writeRunFile(fs, withTrailingSlash(data), slot, serial, run).status,
                  RunFileWriteStatus::Written);
    }
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), "export");
        testing::CapturedCommand captured = testing::captureLine(args);
        printed = std::move(captured.out);
        err = std::move(captured.err);
        return captured.status;
    }
    static long lines(const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    }
    bool valid(const std::string& path) {
        int status = 0;
        testing::commandOutput(
            "xmllint --noout --schema " +
                testing::shellQuoted(std::string(LAPDEX_TEST_DATA_DIR) +
                                     "/tcx/TrainingCenterDatabasev2-activities.xsd") +
                " " + testing::shellQuoted(path) + " 2>/dev/null",
            status);
        return status == 0;
    }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder root;
    std::string data = root / "data";
    std::string out = root / "out";
    std::string printed;
    std::string err;
};

TEST_F(ExportCommand, SpreadsheetFilesOfEveryRunOrTheFilteredOnes) {
    ASSERT_EQ(run({data, out, "--format", "csv"}), 0) << err;
    const std::string outPath = fs.canonicalPath(out);
    EXPECT_EQ(printed, outPath + "/runs.csv\n" + outPath + "/laps.csv\n" +
                           "2 runs and 5 laps written in 2 files\n");
    const std::string runs = testing::fileBytes(out + "/runs.csv");
    EXPECT_EQ(lines(runs), 3);
    EXPECT_NE(runs.find("\r\n走者A,0123456789ab,2024-01-31 09:30:15,3,200.00,64.70,2,66.66,"
                        "\"'=向かい風, \"\"つよい\"\"\",QTM-01/QTM240131_093015_0123456789ab.csv,"),
              std::string::npos)
        << runs;
    const std::string laps = testing::fileBytes(out + "/laps.csv");
    EXPECT_EQ(lines(laps), 6);
    EXPECT_NE(laps.find("\r\n走者A,0123456789ab,2024-01-31 09:30:15,2,64.70,135.20,ペース上げ,"),
              std::string::npos);

    ASSERT_EQ(run({data, out, "--format", "csv", "--stopwatch", "00000000beef", "--force"}), 0)
        << err;
    EXPECT_NE(printed.find("1 run and 2 laps written in 2 files"), std::string::npos) << printed;
    EXPECT_EQ(lines(testing::fileBytes(out + "/runs.csv")), 2);
}

TEST_F(ExportCommand, HeaderRowsInTheLanguageAsked) {
    const struct {
        std::vector<std::string> lang;
        const char* runsHeader;
        const char* lapsHeader;
    } cases[] = {
        {{},
         "\xEF\xBB\xBFタブ名,シリアル番号,開始日時,ラップ数,",
         "\xEF\xBB\xBFタブ名,シリアル番号,開始日時,ラップNo,"},
        {{"--lang", "ja"}, "\xEF\xBB\xBFタブ名,シリアル番号,", "\xEF\xBB\xBFタブ名,シリアル番号,"},
        {{"--lang", "en"},
         "\xEF\xBB\xBFName,Serial number,Start,Laps,Total (s),Best lap (s),Best lap no.,"
         "Average lap (s),Memo,File,Total,Best lap,Average lap\r\n",
         "\xEF\xBB\xBFName,Serial number,Start,Lap no.,Lap (s),Split (s),Lap memo,Lap,Split\r\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{data, out, "--format", "csv", "--force"};
        args.insert(args.end(), c.lang.begin(), c.lang.end());
        ASSERT_EQ(run(args), 0) << err;
        EXPECT_EQ(testing::fileBytes(out + "/runs.csv").rfind(c.runsHeader, 0), 0u);
        EXPECT_EQ(testing::fileBytes(out + "/laps.csv").rfind(c.lapsHeader, 0), 0u);
        // The values stay as they are in either language.
        EXPECT_NE(testing::fileBytes(out + "/laps.csv").find("ペース上げ"), std::string::npos);
    }
    EXPECT_EQ(run({data, out, "--format", "csv", "--lang", "fr"}), 2);
    EXPECT_NE(err.find("--lang takes ja or en, not 'fr'"), std::string::npos) << err;
}

TEST_F(ExportCommand, TcxOneFilePerRunOrOneForAll) {
    ASSERT_EQ(run({data, out, "--format", "tcx"}), 0) << err;
    EXPECT_NE(printed.find("2 runs and 5 laps written in 2 files"), std::string::npos);
    EXPECT_TRUE(valid(out + "/QTM240131_093015_0123456789ab.tcx"));
    EXPECT_TRUE(valid(out + "/QTM240201_070509_00000000beef.tcx"));
    const std::string tcx = testing::fileBytes(out + "/QTM240131_093015_0123456789ab.tcx");
    EXPECT_NE(tcx.find("<Notes>ペース上げ</Notes>"), std::string::npos);
    EXPECT_NE(tcx.find("<Notes>走者A\n=向かい風, &quot;つよい&quot;</Notes>"), std::string::npos);

    ASSERT_EQ(run({data, out, "--format", "tcx", "--one-file", "--laps", "3"}), 0) << err;
    EXPECT_NE(printed.find("1 run and 3 laps written in 1 file\n"), std::string::npos) << printed;
    EXPECT_TRUE(valid(out + "/runs.tcx"));
}

TEST_F(ExportCommand, RefusesToOverwriteWithoutForce) {
    for (const char* format : {"csv", "xlsx"}) {
        SCOPED_TRACE(format);
        const std::string kept = std::string(format) == "csv" ? "laps.csv" : "runs.xlsx";
        const std::string other = std::string(format) == "csv" ? "runs.csv" : "laps.csv";
        testing::writeBytes(out + "/" + kept, "kept");
        EXPECT_EQ(run({data, out, "--format", format}), 1);
        EXPECT_NE(err.find(kept + " exists; nothing was written (--force replaces it)"),
                  std::string::npos)
            << err;
        EXPECT_EQ(testing::fileBytes(out + "/" + kept), "kept");
        EXPECT_EQ(fs.kindOf(out + "/" + other), EntryKind::None);
        EXPECT_EQ(run({data, out, "--format", format, "--force"}), 0) << err;
        EXPECT_NE(testing::fileBytes(out + "/" + kept), "kept");
        (void)fs.deleteFile(out + "/" + kept);
    }
}

// runs.xlsx takes the same runs as runs.csv, whichever filters choose them: the workbook's rows
// hold the serials and memos of the CSV's lines, in the same number.
TEST_F(ExportCommand, WorkbookTakesTheRunsTheCsvTakes) {
    const std::vector<std::string> filters[] = {
        {}, {"--stopwatch", "00000000beef"}, {"--laps", "3"}, {"--from", "2024-02-01"}};
    for (const auto& filter : filters) {
        std::vector<std::string> csvArgs{data, out, "--format", "csv", "--force", "--lang", "en"};
        csvArgs.insert(csvArgs.end(), filter.begin(), filter.end());
        std::vector<std::string> xlsxArgs = csvArgs;
        xlsxArgs[3] = "xlsx";
        ASSERT_EQ(run(csvArgs), 0) << err;
        ASSERT_EQ(run(xlsxArgs), 0) << err;
        EXPECT_EQ(printed.substr(0, printed.find('\n')), fs.canonicalPath(out) + "/runs.xlsx");
        const std::string csv = testing::fileBytes(out + "/runs.csv");
        int status = 0;
        const std::string sheet = testing::commandOutput(
            "python3 -c 'import sys, zipfile; sys.stdout.write(zipfile.ZipFile(sys.argv[1])"
            ".read(\"xl/worksheets/sheet1.xml\").decode())' " +
                testing::shellQuoted(out + "/runs.xlsx"),
            status);
        ASSERT_EQ(status, 0);
        long rows = 0;
        for (std::size_t at = 0; (at = sheet.find("<row r=", at)) != std::string::npos; ++at)
            ++rows;
        EXPECT_EQ(rows, lines(csv)) << csv;
        for (const char* serial : {"0123456789ab", "00000000beef"}) {
            EXPECT_EQ(sheet.find(std::string(">") + serial + "<") != std::string::npos,
                      csv.find(std::string(",") + serial + ",") != std::string::npos)
                << serial;
        }
        EXPECT_EQ(sheet.find(">=向かい風, ") != std::string::npos,
                  csv.find("'=向かい風") != std::string::npos);
    }
}

TEST_F(ExportCommand, NeverWritesIntoTheDataFolder) {
    EXPECT_EQ(run({data, data + "/QTM-01", "--format", "csv", "--force"}), 1);
    EXPECT_NE(err.find("exports are never written there"), std::string::npos) << err;
    EXPECT_EQ(fs.kindOf(data + "/QTM-01/runs.csv"), EntryKind::None);
    // Nor is a folder made for it left behind there.
    EXPECT_EQ(run({data, data + "/exports", "--format", "csv"}), 1);
    EXPECT_NE(err.find("exports are never written there"), std::string::npos) << err;
    EXPECT_EQ(fs.kindOf(data + "/exports"), EntryKind::None);
    // Elsewhere the last level is made, as for every command that writes.
    EXPECT_EQ(run({data, root / "made", "--format", "csv"}), 0) << err;
    EXPECT_EQ(fs.kindOf(root / "made/runs.csv"), EntryKind::File);
}

TEST_F(ExportCommand, UsageErrors) {
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{data, out}, 2, "'export' needs --format xlsx|csv|tcx"},
        {{data, out, "--format", "ods"}, 2, "--format takes xlsx, csv or tcx, not 'ods'"},
        {{data, "--format", "csv"}, 2, "'export' needs an output folder OUTDIR"},
        {{data, out, "extra", "--format", "csv"}, 2, "extra argument 'extra'"},
        {{data, out, "--format", "csv", "--from", "2024-2-1"}, 2, "YYYY-MM-DD"},
        {{data, out, "--format", "csv", "--stopwatch", "nobody"}, 1, "no stopwatch is registered"},
        {{root / "none", out, "--format", "csv"}, 1, "is not a data folder"},
        {{data, root / "none/deeper", "--format", "csv"},
         1,
         "the folder " + root / "none" + " does not exist"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args), c.status) << c.message;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
}

}  // namespace
}  // namespace lapdex
