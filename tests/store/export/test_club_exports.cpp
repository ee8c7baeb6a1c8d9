// Exports of runs from several data folders: a "PC" column and PC-named files only where runs of
// club folders are among them, so a single PC's exports stay as they were.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "export_fixture.h"
#include "export_names.h"
#include "spreadsheet_export.h"

namespace lapdex {
namespace {

// The lines of a CSV text without quoted line breaks, each split at its commas.
std::vector<std::vector<std::string>> fieldsOf(const std::string& csv) {
    std::vector<std::vector<std::string>> lines;
    std::size_t at = csv.find_first_not_of("\xEF\xBB\xBF");
    for (std::size_t end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2) {
        std::vector<std::string> fields;
        std::stringstream line(csv.substr(at, end - at));
        for (std::string field; std::getline(line, field, ',');) fields.push_back(field);
        lines.push_back(fields);
    }
    return lines;
}

TEST(ClubExports, NameEachRunsPcOnlyWithClubRunsAmongThem) {
    const struct {
        const char* name;
        std::vector<std::string> pcs;  // of the two example runs
        std::string ownLabel;
        std::vector<std::string> pcFields;  // the last field of the header and each run; none: none
    } cases[] = {
        {"this PC's runs only", {"", ""}, "Coach A", {}},
        {"one run of a club folder", {"", "PC-B"}, "Coach A", {"PC", "Coach A", "PC-B"}},
        {"no label of this PC's own", {"", "PC-B"}, "", {"PC", "このPC", "PC-B"}},
        {"two club folders", {"PC-C", "PC-B"}, "Coach A", {"PC", "PC-C", "PC-B"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ExportRun> runs = testing::exampleRuns();
        std::size_t laps = 0;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            runs[i].pc = c.pcs[i];
            runs[i].run.memo.clear();  // no quoted line breaks to split
            for (LapDetails& lap : runs[i].run.laps) lap.memo.clear();
            laps += runs[i].run.laps.size();
        }
        const auto runLines = fieldsOf(runsCsv(runs, texts::Language::Japanese, c.ownLabel));
        const auto lapLines = fieldsOf(lapsCsv(runs, texts::Language::Japanese, c.ownLabel));
        ASSERT_EQ(runLines.size(), runs.size() + 1);
        ASSERT_EQ(lapLines.size(), laps + 1);
        const std::size_t extra = c.pcFields.empty() ? 0 : 1;
        for (const auto& line : runLines) EXPECT_EQ(line.size(), 13 + extra);
        for (const auto& line : lapLines) EXPECT_EQ(line.size(), 9 + extra);
        for (std::size_t i = 0; i < c.pcFields.size(); ++i)
            EXPECT_EQ(runLines[i].back(), c.pcFields[i]);
        // Every lap line names its run's PC as the run's line does.
        for (std::size_t i = 1; extra && i < lapLines.size(); ++i)
            EXPECT_TRUE(lapLines[i].back() == c.pcFields[1] || lapLines[i].back() == c.pcFields[2]);
    }
}

TEST(ClubExports, FileNamesKeepTwoPcsStopwatchesApart) {
    const struct {
        const char* name;
        std::vector<std::string> pcs;  // of two runs of one tab name, folder and start
        bool oneStem;                  // the export is named after that one stopwatch
    } cases[] = {
        {"one PC", {"", ""}, true},
        {"this PC and a club folder", {"", "PC-B"}, false},
        {"two club folders", {"PC-B", "PC-C"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ExportRun> runs = testing::exampleRuns();
        runs[1].tabName = runs[0].tabName;
        runs[1].relativePath = "QTM-01/QTM240131_093015_00000000beef.csv";
        runs[0].pc = c.pcs[0];
        runs[1].pc = c.pcs[1];
        EXPECT_EQ(exportStem(runs).find(fileNamePart(runs[0].tabName)) != std::string::npos,
                  c.oneStem);
        // Two PCs' runs never share a file, even of one name, folder and second.
        const std::set<std::string> stems{runStem(runs[0], runs), runStem(runs[1], runs)};
        if (c.pcs[0] != c.pcs[1]) {
            EXPECT_EQ(stems.size(), 2u);
        }
        for (const ExportRun& run : runs) {
            if (!run.pc.empty()) {
                EXPECT_NE(runStem(run, runs).find(run.pc), std::string::npos);
            }
        }
    }
}

}  // namespace
}  // namespace lapdex
