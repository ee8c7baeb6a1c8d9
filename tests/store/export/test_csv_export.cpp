// runs.csv and laps.csv byte for byte, and the fields that keep a spreadsheet from misreading
// memos.
#include <gtest/gtest.h>

#include "csv_text.h"
#include "export_fixture.h"
#include "export_times.h"
#include "spreadsheet_export.h"

namespace lapdex {
namespace {

TEST(CsvText, QuotesAndGuardsFields) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"", ""},
        {"走者A", "走者A"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"one\r\ntwo", "\"one\r\ntwo\""},
        {"line\nbreak", "\"line\nbreak\""},
        {"=SUM(A1)", "'=SUM(A1)"},
        {"+81", "'+81"},
        {"-5", "'-5"},
        {"@home", "'@home"},
        {"\tindented", "'\tindented"},
        {"\rreturn", "\"'\rreturn\""},
        {"=a,b", "\"'=a,b\""},
        {"a=b", "a=b"},
        {"'quoted", "'quoted"},
    };
    for (const auto& c : cases) EXPECT_EQ(csvTextField(c.text), c.field) << c.text;
}

TEST(ExportTimes, SecondsAndDisplayedTexts) {
    const struct {
        std::int64_t cs;
        TimeFormat format;
        const char* seconds;
        const char* shown;
    } cases[] = {
        {12133, TimeFormat::Clock, "121.33", "00:02'01\"33"},
        {7050, TimeFormat::Clock, "70.50", "00:01'10\"50"},
        {0, TimeFormat::Clock, "0.00", "00:00'00\"00"},
        {36000000, TimeFormat::Clock, "360000.00", "100:00'00\"00"},
        {2999 * 6, TimeFormat::DecimalMinute, "179.94", "002'999"},
        {1234567 * 6, TimeFormat::DecimalMinute, "74074.02", "1234'567"},
        {-1, TimeFormat::Clock, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exportSeconds(c.cs), c.seconds) << c.cs;
        EXPECT_EQ(exportDisplayTime(c.cs, c.format), c.shown) << c.cs;
    }
    EXPECT_EQ(exportStartText("2024-01-31T09:30:15"), "2024-01-31 09:30:15");
}

TEST(SpreadsheetExport, RunsFileByteForByte) {
    const std::string expected =
        "\xEF\xBB\xBF"
        "タブ名,シリアル番号,開始日時,ラップ数,トータルタイム(秒),ベストラップ(秒),ベストラップNo,"
        "平均ラップ(秒),メモ,ファイル,トータルタイム,ベストラップタイム,平均ラップタイム\r\n"
        "走者Ａ・髙橋,0123456789ab,2024-01-31 09:30:15,3,200.00,64.70,2,66.66,"
        "\"向かい風, \"\"強い\"\"\r\n二本目\",QTM-01/QTM240131_093015_0123456789ab.csv,"
        "\"00:03'20\"\"00\",\"00:01'04\"\"70\",\"00:01'06\"\"66\"\r\n"
        "QTM-02,00000000beef,2024-01-31 09:30:15,2,179.94,89.94,2,89.94,'-5秒,"
        "QTM-02/QTM240131_093015_00000000beef.csv,002'999,001'499,001'499\r\n";
    EXPECT_EQ(runsCsv(testing::exampleRuns()), expected);
}

TEST(SpreadsheetExport, LapsFileByteForByte) {
    const std::string expected =
        "\xEF\xBB\xBF"
        "タブ名,シリアル番号,開始日時,ラップNo,ラップ(秒),スプリット(秒),ラップメモ,ラップ,"
        "スプリット\r\n"
        "走者Ａ・髙橋,0123456789ab,2024-01-31 09:30:15,1,70.50,70.50,'=1+1,"
        "\"00:01'10\"\"50\",\"00:01'10\"\"50\"\r\n"
        "走者Ａ・髙橋,0123456789ab,2024-01-31 09:30:15,2,64.70,135.20,<速い> & 軽い,"
        "\"00:01'04\"\"70\",\"00:02'15\"\"20\"\r\n"
        "走者Ａ・髙橋,0123456789ab,2024-01-31 09:30:15,3,64.80,200.00,,"
        "\"00:01'04\"\"80\",\"00:03'20\"\"00\"\r\n"
        "QTM-02,00000000beef,2024-01-31 09:30:15,1,90.00,90.00,'@集合,001'500,001'500\r\n"
        "QTM-02,00000000beef,2024-01-31 09:30:15,2,89.94,179.94,'+ゴール,001'499,002'999\r\n";
    EXPECT_EQ(lapsCsv(testing::exampleRuns()), expected);
}

TEST(SpreadsheetExport, NoRunsGiveHeadersOnly) {
    const std::string runs = runsCsv({});
    EXPECT_EQ(runs.rfind("\xEF\xBB\xBF", 0), 0u);
    EXPECT_EQ(std::count(runs.begin(), runs.end(), '\n'), 1);
    const std::string laps = lapsCsv({});
    EXPECT_EQ(std::count(laps.begin(), laps.end(), '\n'), 1);
}

}  // namespace
}  // namespace lapdex
