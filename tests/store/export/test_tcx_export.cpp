// TCX documents checked as training logs read them: xmllint against Garmin's schema, then values.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "export_fixture.h"
#include "run_file_fixture.h"
#include "tcx_export.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

const std::string kSchema =
    std::string(LAPDEX_TEST_DATA_DIR) + "/tcx/TrainingCenterDatabasev2-activities.xsd";

// Japan's time zone, fixed: nine hours ahead of UTC all year.
std::optional<std::int64_t> japanToUtc(const std::tm& local) {
    std::tm copy = local;
    return static_cast<std::int64_t>(::timegm(&copy)) - 9 * 3600;
}

class TcxExport : public ::testing::Test {
  protected:
    // Writes `document` to a file of the test's folder and returns its path.
    std::string save(const std::string& document, const char* name = "runs.tcx") {
        const std::string path = folder / name;
        testing::writeBytes(path, document);
        return path;
    }
    // The schema check's verdict: true when xmllint finds the file valid.
    bool valid(const std::string& path) {
        int status = 0;
        testing::commandOutput("xmllint --noout --schema " + testing::shellQuoted(kSchema) + " " +
                                   testing::shellQuoted(path) + " 2>&1",
                               status);
        return status == 0;
    }
    // The string value of an XPath over the file; elements are named by local name only.
    std::string value(const std::string& path, const std::string& xpath) {
        int status = 0;
        std::string out =
            testing::commandOutput("xmllint --xpath " + testing::shellQuoted(xpath) + " " +
                                       testing::shellQuoted(path) + " 2>/dev/null",
                                   status);
        if (!out.empty() && out.back() == '\n') out.pop_back();  // xmllint ends its answer with one
        return out;
    }
    testing::TempFolder folder;
};

std::string at(const std::string& steps) {
    std::string path;
    std::size_t from = 0;
    while (from <= steps.size()) {
        std::size_t slash = steps.find('/', from);
        if (slash == std::string::npos) slash = steps.size();
        std::string step = steps.substr(from, slash - from);
        std::string index;
        if (const std::size_t bracket = step.find('['); bracket != std::string::npos) {
            index = step.substr(bracket);
            step.erase(bracket);
        }
        path += "/*[local-name()='" + step + "']" + index;
        from = slash + 1;
    }
    return "string(" + path + ")";
}

TEST_F(TcxExport, ValidAgainstTheSchemaAndCarriesEveryValue) {
    const std::string path = save(tcxDocument(testing::exampleRuns(), japanToUtc));
    ASSERT_TRUE(valid(path));
    const std::string a = "TrainingCenterDatabase/Activities/Activity[1]/";
    const std::string b = "TrainingCenterDatabase/Activities/Activity[2]/";
    const struct {
        std::string xpath;
        std::string expected;
    } cases[] = {
        {"count(//*[local-name()='Activity'])", "2"},
        {"count(//*[local-name()='Lap'])", "5"},
        {"string(//*[local-name()='Activity'][1]/@Sport)", "Other"},
        {at(a + "Id"), "2024-01-31T00:30:15Z"},
        {at(b + "Id"), "2024-01-31T00:30:15.001Z"},
        {"string(//*[local-name()='Activity'][1]/*[local-name()='Lap'][1]/@StartTime)",
         "2024-01-31T00:30:15Z"},
        {"string(//*[local-name()='Activity'][1]/*[local-name()='Lap'][2]/@StartTime)",
         "2024-01-31T00:31:25.500Z"},
        {"string(//*[local-name()='Activity'][1]/*[local-name()='Lap'][3]/@StartTime)",
         "2024-01-31T00:32:30.200Z"},
        {"string(//*[local-name()='Activity'][2]/*[local-name()='Lap'][2]/@StartTime)",
         "2024-01-31T00:31:45Z"},
        {at(a + "Lap[2]/TotalTimeSeconds"), "64.70"},
        {at(a + "Lap[2]/DistanceMeters"), "0"},
        {at(a + "Lap[2]/Calories"), "0"},
        {at(a + "Lap[2]/Intensity"), "Active"},
        {at(a + "Lap[2]/TriggerMethod"), "Manual"},
        {at(a + "Lap[1]/Notes"), "=1+1"},
        {at(a + "Lap[2]/Notes"), "<速い> & 軽い"},
        {"count(//*[local-name()='Activity'][1]/*[local-name()='Lap'][3]/*[local-name()='Notes'])",
         "0"},
        {at(a + "Notes"), "走者Ａ・髙橋\n向かい風, \"強い\"\r\n二本目"},
        {at(b + "Lap[2]/TotalTimeSeconds"), "89.94"},
        {at(b + "Notes"), "QTM-02\n-5秒"},
        {at(a + "Creator/Name"), "K7X Stopwatch 0123456789ab"},
        {at(a + "Creator/UnitId"), "1164413355"},
        {at(b + "Creator/Name"), "K7X Stopwatch 00000000beef"},
        {"string(//*[local-name()='Creator'][1]/@*[local-name()='type'])", "Device_t"},
    };
    for (const auto& c : cases) EXPECT_EQ(value(path, c.xpath), c.expected) << c.xpath;
}

TEST_F(TcxExport, SchemaCheckRejectsALapWithoutCalories) {
    std::string document = tcxDocument(testing::exampleRuns(), japanToUtc);
    const std::string calories = "        <Calories>0</Calories>\n";
    document.erase(document.find(calories), calories.size());
    EXPECT_FALSE(valid(save(document)));
}

TEST_F(TcxExport, RunsWithoutLapsOrStartAreLeftOut) {
    std::vector<ExportRun> runs = testing::exampleRuns();
    runs[0].run.laps.clear();
    runs[1].run.start = "not a start";
    const std::string path = save(tcxDocument(runs, japanToUtc));
    EXPECT_TRUE(valid(path));
    EXPECT_EQ(value(path, "count(//*[local-name()='Activity'])"), "0");
}

TEST_F(TcxExport, OneFilePerRunIsNamedAfterTheRunFile) {
    const std::vector<ExportRun> runs = testing::exampleRuns();
    EXPECT_EQ(tcxFileNameOf(runs[0]), "QTM240131_093015_0123456789ab.tcx");
    const std::string path = save(tcxDocument({runs[1]}, japanToUtc), "one.tcx");
    EXPECT_TRUE(valid(path));
    EXPECT_EQ(value(path, at("TrainingCenterDatabase/Activities/Activity/Id")),
              "2024-01-31T00:30:15Z");
}

TEST(TcxText, EscapesMarkupAndDropsCharactersXmlForbids) {
    EXPECT_EQ(xmlText("a<b>&\"c\""), "a&lt;b&gt;&amp;&quot;c&quot;");
    EXPECT_EQ(xmlText(std::string("x\x01y\x1Fz\tw\n")), "xyz\tw\n");
    EXPECT_EQ(xmlText("a\r\nb"), "a&#13;\nb");
}

// The PC's zone decides the offset, summer time included.
TEST(TcxTime, SystemZoneAppliesDaylightSaving) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    std::tm winter{};
    winter.tm_year = 124, winter.tm_mon = 0, winter.tm_mday = 31, winter.tm_hour = 9;
    winter.tm_isdst = -1;
    std::tm summer = winter;
    summer.tm_mon = 6;
    const auto w = systemLocalToUtc(winter);
    const auto s = systemLocalToUtc(summer);
    old ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
    ASSERT_TRUE(w && s);
    std::tm wu{}, su{};
    const std::time_t wt = *w, st = *s;
    ::gmtime_r(&wt, &wu);
    ::gmtime_r(&st, &su);
    EXPECT_EQ(wu.tm_hour, 8);
    EXPECT_EQ(su.tm_hour, 7);
}

}  // namespace
}  // namespace lapdex
