// k7x-tool repair's command line, its exit statuses and its reports on stdout and stderr.
#include "repair_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data_folder_lock.h"

namespace {

namespace fs = std::filesystem;

class TempData {
  public:
    TempData() {
        std::string pattern = (fs::temp_directory_path() / "k7x-repair-XXXXXX").string();
        path = ::mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempData() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    void lay(const std::string& folder, const std::vector<std::string>& serials) {
        fs::create_directories(path + "/" + folder);
        int second = 10;
        for (const std::string& serial : serials)
            std::ofstream(path + "/" + folder + "/QTM240101_0600" + std::to_string(second++) + "_" +
                          serial + ".csv")
                << "x";
    }
    std::string path;
};

std::string readAll(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

TEST(K7xRepair, ExitStatusAndReportsSayWhatWasDecided) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::vector<std::string>>> folders;
        std::string folder;  // "DATA" stands for the data folder
        int status;
        std::vector<std::string> out;  // lines expected on stdout, in order
        std::vector<std::string> err;  // lines expected on stderr, in order
    };
    const std::string a = "0123456789ab", b = "00000000beef";
    const std::vector<Case> cases = {
        {"whole",
         {{"QTM-01", {a}}, {"QTM-02", {b}}},
         "DATA",
         0,
         {"Moved the old Lapdex.dat aside to DATA/Lapdex.dat.damaged-",
          "QTM-01: stopwatch " + a + ", tab QTM-01", "QTM-02: stopwatch " + b + ", tab QTM-02",
          "Wrote DATA/Lapdex.dat with 2 stopwatches"},
         {}},
        {"partial",
         {{"QTM-01", {a, b}}, {"QTM-03", {}}, {"QTM-04", {b}}},
         "DATA",
         3,
         {"QTM-04: stopwatch " + b + ", tab QTM-04", "Wrote DATA/Lapdex.dat with 1 stopwatch"},
         {"k7x-tool: QTM-01 holds runs of 2 stopwatches (" + b + ", " + a +
              "); it is left unregistered",
          "k7x-tool: QTM-03 holds no run file, so its stopwatch cannot be told; it is left "
          "unregistered"}},
        {"no such folder", {}, "DATA/missing", 1, {}, {"k7x-tool: DATA/missing is not a folder"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempData data;
        std::ofstream(data.path + "/Lapdex.dat") << "\x01\x02 not a profile\n";
        for (const auto& [folder, serials] : c.folders) data.lay(folder, serials);
        std::string folder = c.folder;
        folder.replace(0, 4, data.path);
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        EXPECT_EQ(k7x::runRepair(folder, out, err), c.status);
        auto filled = [&](std::string line) {
            for (std::size_t at; (at = line.find("DATA")) != std::string::npos;)
                line.replace(at, 4, data.path);
            return line;
        };
        const std::string outText = readAll(out), errText = readAll(err);
        std::size_t at = 0;
        for (const std::string& line : c.out) {
            at = outText.find(filled(line), at);
            EXPECT_NE(at, std::string::npos) << filled(line) << "\nin\n" << outText;
        }
        at = 0;
        for (const std::string& line : c.err) {
            at = errText.find(filled(line), at);
            EXPECT_NE(at, std::string::npos) << filled(line) << "\nin\n" << errText;
        }
        if (c.err.empty()) {
            EXPECT_EQ(errText, "");
        }
        std::fclose(out);
        std::fclose(err);
    }
}

TEST(K7xRepair, LeavesTheFileAloneWhileLapdexHoldsTheFolder) {
    TempData data;
    std::ofstream(data.path + "/Lapdex.dat") << "garbage\n";
    data.lay("QTM-01", {"0123456789ab"});
    const lapdex::DataFolderLock lapdexRuns(data.path);
    std::FILE* sink = std::tmpfile();
    EXPECT_EQ(k7x::runRepair(data.path, sink, sink), 1);
    EXPECT_NE(readAll(sink).find("is in use by Lapdex"), std::string::npos);
    std::fclose(sink);
    std::ifstream in(data.path + "/Lapdex.dat");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "garbage\n");
}

}  // namespace
