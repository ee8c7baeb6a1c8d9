// runs.xlsx as a package: a sound zip whose every part is well-formed XML, streamed sheets with a
// frozen header, the sheet names of the language asked for.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "export_files.h"
#include "export_fixture.h"
#include "run_file_fixture.h"
#include "temp_folder.h"
#include "xlsx_export.h"

namespace lapdex {
namespace {

TEST(XlsxPackage, ZipAndEveryXmlPartAreSound) {
    testing::TempFolder root;
    FileSystem& fs = systemFileSystem();
    ASSERT_TRUE(fs.createFolder(root / "out").ok());
    const auto files = exportFiles(testing::exampleRuns(), ExportFormat::Workbook,
                                   TcxFiles::OnePerRun, systemLocalToUtc, texts::Language::English);
    ASSERT_EQ(files.size(), 1u);
    ASSERT_TRUE(writeExportFiles(fs, root / "data", root / "out", files, Overwrite::Refuse).ok());
    const std::string book = root / "out/runs.xlsx";
    int status = 0;
    const std::string log = testing::commandOutput(
        "python3 -m zipfile -t " + testing::shellQuoted(book) + " && python3 -m zipfile -e " +
            testing::shellQuoted(book) + " " + testing::shellQuoted(root / "parts") + " 2>&1",
        status);
    ASSERT_EQ(status, 0) << log;
    int parts = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / "parts")) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".xml" && ext != ".rels") continue;
        ++parts;
        const std::string checked = testing::commandOutput(
            "xmllint --noout " + testing::shellQuoted(entry.path().string()) + " 2>&1", status);
        EXPECT_EQ(status, 0) << entry.path() << checked;
    }
    EXPECT_GE(parts, 8);
    const std::string workbook = testing::fileBytes(root / "parts/xl/workbook.xml");
    EXPECT_NE(workbook.find("<sheet name=\"Runs\" sheetId=\"1\""), std::string::npos) << workbook;
    EXPECT_NE(workbook.find("<sheet name=\"Laps\" sheetId=\"2\""), std::string::npos) << workbook;
    for (const char* sheet : {"sheet1.xml", "sheet2.xml"}) {
        const std::string xml = testing::fileBytes(root / "parts/xl/worksheets/" + sheet);
        EXPECT_NE(xml.find("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
                           "state=\"frozen\"/>"),
                  std::string::npos)
            << sheet;
        // Streamed rows hold their texts inline; the memo's CR survives as the format's escape.
        EXPECT_NE(xml.find("t=\"inlineStr\""), std::string::npos) << sheet;
    }
    EXPECT_NE(testing::fileBytes(root / "parts/xl/worksheets/sheet1.xml").find("_x000D_"),
              std::string::npos);
}

// What keeps a workbook from being written is told as the errno of its cause; runs that a sheet
// cannot hold are refused before anything is written.
TEST(XlsxPackage, FailuresAreToldByTheirCause) {
    testing::TempFolder root;
    // One lap more than the 1,048,575 rows below a sheet's header.
    std::vector<ExportRun> tooMany = testing::exampleRuns();
    tooMany[1].run.laps.resize(1048576 - tooMany[0].run.laps.size());
    const struct {
        const char* what;
        std::string path;
        std::string tempFolder;
        std::vector<ExportRun> runs;
        int sysErrno;
    } cases[] = {
        {"target folder missing", root / "none/runs.xlsx", root.path(), testing::exampleRuns(),
         ENOENT},
        {"more laps than a sheet holds", root / "runs.xlsx", root.path(), tooMany, EFBIG},
    };
    for (const auto& c : cases) {
        const FsStatus status =
            writeRunsWorkbook(c.path, c.runs, texts::Language::English, c.tempFolder);
        EXPECT_EQ(status.error, FsError::Io) << c.what;
        EXPECT_EQ(status.sysErrno, c.sysErrno) << c.what;
        EXPECT_FALSE(std::filesystem::exists(c.path)) << c.what;
    }
}

}  // namespace
}  // namespace lapdex
