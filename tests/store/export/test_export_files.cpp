// Where an export may write, what it refuses to overwrite, and what a failed write leaves behind.
#include <gtest/gtest.h>

#include <cerrno>

#include "export_files.h"
#include "export_fixture.h"
#include "export_names.h"
#include "run_file_fixture.h"
#include "spreadsheet_export.h"
#include "temp_folder.h"
#include "xlsx_export.h"

namespace lapdex {
namespace {

// The real file system, except that writing a file of the given name (none when "") fails as a
// full disk would.
class FailingWrites : public PosixFileSystem {
  public:
    explicit FailingWrites(std::string name) : name_(std::move(name)) {}
    FsStatus writeFileAtomic(const std::string& path, std::string_view bytes,
                             Existing existing) override {
        if (!name_.empty() && path.size() >= name_.size() &&
            path.compare(path.size() - name_.size(), name_.size(), name_) == 0)
            return {FsError::Io, 28};
        return PosixFileSystem::writeFileAtomic(path, bytes, existing);
    }

  private:
    std::string name_;
};

class ExportFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs.createFolder(data).ok());
        ASSERT_TRUE(fs.createFolder(data + "/QTM-01").ok());
        ASSERT_TRUE(fs.createFolder(out).ok());
    }
    std::vector<ExportFile> csvFiles() const {
        return exportFiles(testing::exampleRuns(), ExportFormat::Spreadsheet, TcxFiles::OnePerRun,
                           systemLocalToUtc);
    }
    FileSystem& fs = systemFileSystem();
    testing::TempFolder root;
    std::string data = root / "data";
    std::string out = root / "out";
};

TEST_F(ExportFiles, WritesBothSpreadsheetFiles) {
    const ExportResult result =
        writeExportFiles(fs, data + "/", out, csvFiles(), Overwrite::Refuse);
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.written.size(), 2u);
    EXPECT_EQ(testing::fileBytes(out + "/runs.csv"), runsCsv(testing::exampleRuns()));
    EXPECT_EQ(testing::fileBytes(out + "/laps.csv"), lapsCsv(testing::exampleRuns()));
    EXPECT_EQ(fs.listFolder(out).entries.size(), 2u);  // no temporary file stays behind
}

TEST_F(ExportFiles, TcxOneFilePerRunOrOneForAll) {
    const auto each = exportFiles(testing::exampleRuns(), ExportFormat::Tcx, TcxFiles::OnePerRun,
                                  systemLocalToUtc);
    ASSERT_EQ(each.size(), 2u);
    EXPECT_EQ(each[0].name, "QTM240131_093015_0123456789ab.tcx");
    EXPECT_EQ(each[1].name, "QTM240131_093015_00000000beef.tcx");
    const auto all = exportFiles(testing::exampleRuns(), ExportFormat::Tcx, TcxFiles::OneForAll,
                                 systemLocalToUtc);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].name, "runs.tcx");
}

TEST_F(ExportFiles, NeverWritesIntoTheDataFolder) {
    const struct {
        std::string folder;
    } cases[] = {{data}, {data + "/"}, {data + "/QTM-01"}, {data + "/QTM-01/../QTM-01"}};
    for (const auto& c : cases) {
        const ExportResult result =
            writeExportFiles(fs, data + "/", c.folder, csvFiles(), Overwrite::Replace);
        EXPECT_EQ(result.error, ExportError::InsideDataFolder) << c.folder;
        EXPECT_TRUE(result.written.empty());
    }
    EXPECT_EQ(fs.kindOf(data + "/runs.csv"), EntryKind::None);
    EXPECT_EQ(fs.kindOf(data + "/QTM-01/runs.csv"), EntryKind::None);
    // A sibling whose name merely begins like the data folder's is another folder.
    ASSERT_TRUE(fs.createFolder(data + "-export").ok());
    EXPECT_TRUE(
        writeExportFiles(fs, data + "/", data + "-export", csvFiles(), Overwrite::Refuse).ok());
}

TEST_F(ExportFiles, RefusesToOverwriteAndWritesNothing) {
    testing::writeBytes(out + "/laps.csv", "mine");
    const ExportResult result =
        writeExportFiles(fs, data + "/", out, csvFiles(), Overwrite::Refuse);
    EXPECT_EQ(result.error, ExportError::FileExists);
    EXPECT_EQ(result.file, fs.canonicalPath(out) + "/laps.csv");
    EXPECT_EQ(testing::fileBytes(out + "/laps.csv"), "mine");
    EXPECT_EQ(fs.kindOf(out + "/runs.csv"), EntryKind::None);

    ASSERT_TRUE(writeExportFiles(fs, data + "/", out, csvFiles(), Overwrite::Replace).ok());
    EXPECT_EQ(testing::fileBytes(out + "/laps.csv"), lapsCsv(testing::exampleRuns()));
}

TEST_F(ExportFiles, MissingOutputFolderIsNamed) {
    const ExportResult result =
        writeExportFiles(fs, data + "/", root / "nowhere", csvFiles(), Overwrite::Refuse);
    EXPECT_EQ(result.error, ExportError::NoFolder);
    EXPECT_EQ(result.file, root / "nowhere");
}

TEST_F(ExportFiles, FailedWriteNamesTheFileAndLeavesNoneUnderItsName) {
    FailingWrites failing("laps.csv");
    const ExportResult result =
        writeExportFiles(failing, data + "/", out, csvFiles(), Overwrite::Refuse);
    EXPECT_EQ(result.error, ExportError::WriteFailed);
    EXPECT_EQ(result.file, fs.canonicalPath(out) + "/laps.csv");
    EXPECT_EQ(result.status.sysErrno, 28);
    EXPECT_EQ(fs.kindOf(out + "/laps.csv"), EntryKind::None);
    ASSERT_EQ(result.written.size(), 1u);  // runs.csv came first and is complete
    EXPECT_EQ(testing::fileBytes(out + "/runs.csv"), runsCsv(testing::exampleRuns()));
}

// A workbook that cannot be made, a file in the way, a full disk: runs.xlsx is named, nothing of
// the export appears and no temporary file is left in the output folder.
TEST_F(ExportFiles, WorkbookFailuresNameTheFileAndWriteNothing) {
    const std::string xlsx = fs.canonicalPath(out) + "/runs.xlsx";
    const struct {
        const char* what;
        std::string tempFolder;
        const char* failingName;  // the file whose write fails as on a full disk
        bool fileInTheWay;
        ExportError error;
        int sysErrno;
    } cases[] = {
        {"temporary folder missing", root / "no-temp", "", false, ExportError::WriteFailed, ENOENT},
        {"runs.xlsx exists", root.path(), "", true, ExportError::FileExists, 0},
        {"disk full", root.path(), "runs.xlsx", false, ExportError::WriteFailed, ENOSPC},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fileInTheWay) testing::writeBytes(xlsx, "mine");
        WorkbookBytes book =
            runsWorkbook(testing::exampleRuns(), texts::Language::Japanese, c.tempFolder);
        const std::vector<ExportFile> files{{kRunsXlsxName, std::move(book.bytes), book.status}};
        FailingWrites failing(c.failingName);
        const ExportResult result =
            writeExportFiles(failing, data + "/", out, files, Overwrite::Refuse);
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(result.file, xlsx);
        EXPECT_EQ(result.status.sysErrno, c.sysErrno);
        EXPECT_TRUE(result.written.empty());
        const FolderListing left = fs.listFolder(out);
        ASSERT_EQ(left.entries.size(), c.fileInTheWay ? 1u : 0u);
        EXPECT_EQ(testing::fileBytes(xlsx), c.fileInTheWay ? "mine" : "");
        (void)fs.deleteFile(xlsx);
        // The workbook's own temporary file is gone from the temporary folder too.
        const FolderListing temporary = fs.findMatching(c.tempFolder, "lapdex-xlsx-*");
        EXPECT_TRUE(temporary.entries.empty());
    }
}

// An interrupted export takes back the files it created, so the next export finds no half set;
// a file it had already replaced (as asked) stays replaced and is named.
TEST_F(ExportFiles, AStopRequestTakesBackTheFilesItCreated) {
    struct Case {
        const char* what;
        Overwrite overwrite;
        std::vector<std::string> existing;  // files in the output folder before, holding "mine"
        int stopAtCheck;                    // asked before each file; true from this call on
        std::vector<std::string> kept;      // names in `written` afterwards
        std::vector<std::string> mine;      // names still holding "mine"
    };
    const std::vector<Case> cases = {
        {"before the first file", Overwrite::Refuse, {}, 1, {}, {}},
        {"after a created file", Overwrite::Refuse, {}, 2, {}, {}},
        {"after a replaced file", Overwrite::Replace, {"runs.csv"}, 2, {"runs.csv"}, {}},
        {"before replacing", Overwrite::Replace, {"laps.csv"}, 2, {}, {"laps.csv"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"runs.csv", "laps.csv"}) (void)fs.deleteFile(out + "/" + name);
        for (const std::string& name : c.existing) testing::writeBytes(out + "/" + name, "mine");
        int checks = 0;
        const ExportResult result = writeExportFiles(fs, data + "/", out, csvFiles(), c.overwrite,
                                                     [&] { return ++checks >= c.stopAtCheck; });
        EXPECT_TRUE(result.stopped);
        EXPECT_FALSE(result.ok());
        std::vector<std::string> kept;
        for (const std::string& path : result.written)
            kept.push_back(path.substr(path.rfind('/') + 1));
        EXPECT_EQ(kept, c.kept);
        std::size_t expectedEntries = kept.size() + c.mine.size();
        EXPECT_EQ(fs.listFolder(out).entries.size(), expectedEntries);
        for (const std::string& name : c.mine)
            EXPECT_EQ(testing::fileBytes(out + "/" + name), "mine");
    }
}

// The window's names: the dates the runs cover and, for one stopwatch, its name fit for a file.
TEST(ExportNames, CarryTheDatesAndTheStopwatchOfOne) {
    const std::vector<ExportRun> example = testing::exampleRuns();  // 2024-01-31, two stopwatches
    ExportRun later = example[0];
    later.relativePath = "QTM-01/QTM240131_100000_0123456789ab.csv";
    later.run.start = "2024-01-31T10:00:00";
    ExportRun nextDay = example[1];
    nextDay.run.start = "2024-02-03T07:05:09";
    ExportRun oddName = example[0];
    oddName.tabName = "../a/b:c?";
    const struct {
        const char* what;
        std::vector<ExportRun> runs;
        ExportFormat format;
        TcxFiles tcx;
        std::vector<std::string> names;
    } kRows[] = {
        {"team day",
         example,
         ExportFormat::Spreadsheet,
         TcxFiles::OneForAll,
         {"2024-01-31_runs.csv", "2024-01-31_laps.csv"}},
        {"one stopwatch",
         {example[0]},
         ExportFormat::Workbook,
         TcxFiles::OneForAll,
         {"2024-01-31_走者Ａ・髙橋.xlsx"}},
        {"a run each",
         example,
         ExportFormat::Tcx,
         TcxFiles::OnePerRun,
         {"2024-01-31_走者Ａ・髙橋.tcx", "2024-01-31_QTM-02.tcx"}},
        {"several days",
         {example[0], nextDay},
         ExportFormat::Tcx,
         TcxFiles::OneForAll,
         {"2024-01-31_2024-02-03.tcx"}},
        {"one stopwatch twice a day",
         {example[0], later},
         ExportFormat::Tcx,
         TcxFiles::OnePerRun,
         {"2024-01-31_093015_走者Ａ・髙橋.tcx", "2024-01-31_100000_走者Ａ・髙橋.tcx"}},
        {"name unfit for files",
         {oddName},
         ExportFormat::Workbook,
         TcxFiles::OneForAll,
         {"2024-01-31__a_b_c_.xlsx"}},
    };
    for (const auto& row : kRows) {
        std::vector<std::string> names;
        for (const ExportFile& file : namedExportFiles(
                 exportFiles(row.runs, row.format, row.tcx, systemLocalToUtc), row.runs))
            names.push_back(file.name);
        EXPECT_EQ(names, row.names) << row.what;
    }
}

}  // namespace
}  // namespace lapdex
