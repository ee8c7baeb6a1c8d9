// k7x-tool's command line as the program parses it: usage mistakes, option forms, dates, help, and
// the --json answers compared with the tab-separated ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>

#include "calendar_date.h"
#include "command_capture.h"
#include "data_folder_fixture.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

k7x::ParsedLine parse(std::vector<std::string> words) {
    std::vector<const char*> argv{"k7x-tool"};
    for (const std::string& word : words) argv.push_back(word.c_str());
    return k7x::parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(K7xCommandLine, AUsageMistakeIsOneLineAndTheCommandsSynopsis) {
    const struct {
        std::vector<std::string> words;
        std::string mistake;
        std::string synopsis;  // how the second line begins after "usage: "
    } kCases[] = {
        {{}, "no command given", "k7x-tool [--log DIR] COMMAND"},
        {{"fetch"}, "unknown command 'fetch'", "k7x-tool [--log DIR] COMMAND"},
        {{"--bogus", "info"}, "unknown option '--bogus'", "k7x-tool [--log DIR] info"},
        {{"runs", "d", "--bogus"}, "unknown option '--bogus'", "k7x-tool runs DATAFOLDER ["},
        {{"runs", "d", "--bogus", "x"}, "unknown option '--bogus'", "k7x-tool runs DATAFOLDER"},
        {{"runs", "d", "--from"}, "--from needs a value", "k7x-tool runs DATAFOLDER"},
        {{"runs"}, "'runs' needs a data folder DATAFOLDER", "k7x-tool runs DATAFOLDER"},
        {{"runs", "d", "e"}, "extra argument 'e'", "k7x-tool runs DATAFOLDER"},
        {{"runs", "d", "--", "--from"}, "extra argument '--from'", "k7x-tool runs DATAFOLDER"},
        {{"runs", "d", "--laps", "0"},
         "--laps takes a lap count from 1 to 100000, not '0'",
         "k7x-tool runs DATAFOLDER"},
        {{"runs", "d", "--json", "--no-header"},
         "--json and --no-header exclude each other",
         "k7x-tool runs DATAFOLDER"},
        {{"stats", "d", "f", "--no-header"}, "unknown option '--no-header'", "k7x-tool stats"},
        {{"dump"}, "'dump' needs 'new' or 'all'", "k7x-tool [--log DIR] dump new|all FILE"},
        {{"dump", "some", "f"},
         "'dump' takes 'new' or 'all', not 'some'",
         "k7x-tool [--log DIR] dump"},
        {{"dump", "new"}, "'dump' needs an output FILE", "k7x-tool [--log DIR] dump"},
        {{"download", "all"},
         "'download' needs a data folder DIR",
         "k7x-tool [--log DIR] download"},
        {{"readers", "now"}, "extra argument 'now'", "k7x-tool readers"},
        {{"doctor", "--root"}, "--root needs a value", "k7x-tool [--log DIR] doctor [--root DIR]"},
        {{"info", "--log"}, "--log needs a value", "k7x-tool [--log DIR] info"},
        {{"repair"}, "'repair' needs a data folder DATAFOLDER", "k7x-tool repair DATAFOLDER"},
        {{"repair", "a", "b"}, "extra argument 'b'", "k7x-tool repair DATAFOLDER"},
        {{"export", "d", "o"},
         "'export' needs --format xlsx|csv|tcx",
         "k7x-tool export DATAFOLDER"},
        {{"export", "d", "o", "--format=pdf"},
         "--format takes xlsx, csv or tcx, not 'pdf'",
         "k7x-tool export DATAFOLDER OUTDIR --format"},
        {{"day", "d"}, "'day' needs a date YYYY-MM-DD", "k7x-tool day DATAFOLDER YYYY-MM-DD"},
    };
    for (const auto& c : kCases) {
        const testing::CapturedCommand run = testing::captureLine(c.words);
        EXPECT_EQ(run.status, 2) << c.mistake;
        EXPECT_EQ(run.out, "");
        const std::vector<std::string> lines = linesOf(run.err);
        ASSERT_EQ(lines.size(), 2U) << run.err;
        EXPECT_EQ(lines[0], "k7x-tool: " + c.mistake);
        EXPECT_EQ(lines[1].rfind("usage: " + c.synopsis, 0), 0U) << lines[1];
    }
}

TEST(K7xCommandLine, DatesMustExist) {
    const struct {
        const char* date;
        bool real;
    } kCases[] = {
        {"2024-02-29", true},   {"2023-02-28", true},      {"2000-02-29", true},
        {"2024-12-31", true},   {"2024-02-30", false},     {"2023-02-29", false},
        {"1900-02-29", false},  {"2024-04-31", false},     {"2024-13-01", false},
        {"2024-00-10", false},  {"2024-01-00", false},     {"2024-1-05", false},
        {"2024-01-05x", false}, {"２０２４-01-05", false}, {"", false},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(k7x::isCalendarDate(c.date), c.real) << c.date;
        // Every date on the command line goes through the same check.
        for (const std::vector<std::string>& words :
             {std::vector<std::string>{"runs", "d", "--from", c.date},
              std::vector<std::string>{"export", "d", "o", "--format", "csv", "--to", c.date},
              std::vector<std::string>{"day", "d", c.date}}) {
            const k7x::ParsedLine line = parse(words);
            EXPECT_EQ(line.outcome == k7x::ParsedLine::Outcome::Run, c.real) << words[0] << c.date;
            if (!c.real) {
                EXPECT_NE(line.text.find("takes a real date as YYYY-MM-DD, not '" +
                                         std::string(c.date) + "'"),
                          std::string::npos)
                    << line.text;
            }
        }
    }
}

// The values a command line gives, as one text to compare.
std::string valuesOf(const k7x::ParsedLine& line) {
    const k7x::Invocation& in = line.invocation;
    std::ostringstream text;
    text << static_cast<int>(line.outcome) << ' ' << static_cast<int>(in.command)
         << " log=" << in.logDirectory << " file=" << in.file << " data=" << in.dataFolder
         << " out=" << in.outFolder << " root=" << in.root << " from=" << in.filters.query.fromDate
         << " stopwatch=" << in.filters.stopwatch << " format=" << static_cast<int>(in.format)
         << " files=" << static_cast<int>(in.tcxFiles)
         << " force=" << static_cast<int>(in.overwrite) << " lang=" << static_cast<int>(in.language)
         << " form=" << static_cast<int>(in.form);
    return text.str();
}

TEST(K7xCommandLine, OptionsTakeTheirValueEitherWayAndGlobalOptionsGoAnywhere) {
    // Each row: command lines that must mean the same; the first is checked by hand.
    const struct {
        std::vector<std::vector<std::string>> lines;
        std::string part;  // a part of what the first one means
    } kCases[] = {
        {{{"--log", "L", "dump", "new", "f"},
          {"dump", "new", "f", "--log", "L"},
          {"dump", "--log=L", "new", "f"},
          {"--log=L", "dump", "new", "--", "f"}},
         "log=L file=f"},
        {{{"runs", "d", "--from", "2024-02-01", "--stopwatch", "A B"},
          {"runs", "--from=2024-02-01", "d", "--stopwatch=A B"},
          {"runs", "--stopwatch", "A B", "--from=2024-02-01", "--", "d"}},
         "data=d out= root=/ from=2024-02-01 stopwatch=A B"},
        {{{"doctor", "--root", "/r", "--log", "L"}, {"--log", "L", "doctor", "--root=/r"}},
         "log=L file= data= out= root=/r"},
        {{{"dump", "all", "--", "-odd"}, {"dump", "--", "all", "-odd"}}, "file=-odd"},
        {{{"export", "d", "o", "--format=tcx", "--one-file", "--force", "--lang=en"},
          {"export", "--format", "tcx", "d", "--lang", "en", "o", "--force", "--one-file"}},
         "data=d out=o"},
        {{{"bests", "d", "--json"}, {"bests", "--json", "--", "d"}}, "data=d"},
    };
    for (const auto& c : kCases) {
        const std::string first = valuesOf(parse(c.lines.front()));
        EXPECT_EQ(first.rfind("0 ", 0), 0U) << first;  // a command to run
        EXPECT_NE(first.find(c.part), std::string::npos) << first;
        for (const std::vector<std::string>& words : c.lines)
            EXPECT_EQ(valuesOf(parse(words)), first) << words.front() << ' ' << words.back();
    }
}

TEST(K7xCommandLine, EveryCommandHasItsHelpAndTheProgramItsVersion) {
    const std::string whole = k7x::helpText();
    for (const char* command : {"readers", "info", "dump", "download", "doctor", "repair", "runs",
                                "roster", "export", "stats", "day", "bests"}) {
        for (const char* help : {"--help", "-h"}) {
            const k7x::ParsedLine line = parse({command, help});
            ASSERT_EQ(line.outcome, k7x::ParsedLine::Outcome::Help) << command;
            EXPECT_EQ(k7x::statusOf(line), 0);
            // The command's usage line is its synopsis, which the whole help lists too.
            const std::size_t usage = line.text.find("Usage: k7x-tool ");
            ASSERT_NE(usage, std::string::npos) << line.text;
            const std::string synopsis =
                line.text.substr(usage + 7, line.text.find('\n', usage) - usage - 7);
            EXPECT_NE(synopsis.find(std::string(" ") + command), std::string::npos) << synopsis;
            EXPECT_NE(whole.find("  " + synopsis + "\n"), std::string::npos) << synopsis;
            EXPECT_NE(line.text.find("130 interrupted"), std::string::npos);
        }
    }
    EXPECT_EQ(parse({"--help"}).text, whole);
    for (const char* status : {"  0    done", "  1    failed", "  2    a usage mistake",
                               "  3    partial", "  130  interrupted"})
        EXPECT_NE(whole.find(status), std::string::npos) << status;
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"--version"},
          std::vector<std::string>{"runs", "d", "--version"}}) {
        const k7x::ParsedLine line = parse(words);
        EXPECT_EQ(line.outcome, k7x::ParsedLine::Outcome::Version);
        EXPECT_EQ(line.text.rfind("k7x-tool ", 0), 0U) << line.text;
        EXPECT_EQ(linesOf(line.text).size(), 1U);
    }
}

// A JSON value and the tab-separated cell of the same answer say the same.
bool sameValue(const nlohmann::json& value, const std::string& cell) {
    if (value.is_null()) return cell.empty();
    if (value.is_boolean()) return cell == (value.get<bool>() ? "yes" : "no");
    if (value.is_number()) return !cell.empty() && std::stod(cell) == value.get<double>();
    if (!value.is_string()) return false;
    std::string text = value.get<std::string>();
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return text == cell;
}

std::vector<std::string> cellsOf(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        cells.push_back(line.substr(start, tab - start));
    cells.push_back(line.substr(start));
    return cells;
}

class JsonAnswers : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        ASSERT_TRUE(
            testing::makeDataFolder(fs, data, {{"0123456789ab", "走者\tA"}, {"00000000beef", ""}}));
        RunRecord a = testing::clockExample();
        a.memo = "向かい風\tつよい \"引用\"";
        write(0, "0123456789ab", a);
        const RunRecord b = testing::decimalExample({2024, 1, 31, 7, 5, 9});
        write(1, "00000000beef", b);
        testing::writeBytes(data + "/History.csv",
                            "local time,serial,tab name,action,runs written,runs failed,raw "
                            "battery,battery level,result\r\n"
                            "2024-01-31 09:40:00,0123456789ab,走者A,download,1,0,2900,1,ok\r\n");
    }
    void write(int slot, const char* serial, const RunRecord& run) {
        ASSERT_EQ(writeRunFile(fs, withTrailingSlash(data), slot, serial, run).status,
                  RunFileWriteStatus::Written);
    }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder root;
    std::string data = root / "data";
};

TEST_F(JsonAnswers, HoldTheRowsOfTheTabSeparatedAnswer) {
    const std::vector<std::string> kLines[] = {
        {"runs", data},
        {"runs", data, "--stopwatch", "00000000beef"},
        {"roster", data},
        {"day", data, "2024-01-31"},
        {"day", data, "2024-03-01"},
        {"bests", data},
        {"stats", data, "QTM240131_093015_0123456789ab.csv"},
        {"stats", data, "QTM-02/QTM240131_070509_00000000beef.csv"},
    };
    for (const std::vector<std::string>& words : kLines) {
        SCOPED_TRACE(words[0] + " " + words.back());
        const testing::CapturedCommand tabs = testing::captureLine(words);
        ASSERT_EQ(tabs.status, 0) << tabs.err;
        std::vector<std::string> jsonWords = words;
        jsonWords.push_back("--json");
        const testing::CapturedCommand json = testing::captureLine(jsonWords);
        ASSERT_EQ(json.status, 0) << json.err;
        const nlohmann::ordered_json document =
            nlohmann::ordered_json::parse(json.out, nullptr, false);
        ASSERT_FALSE(document.is_discarded()) << json.out;
        const std::vector<std::string> lines = linesOf(tabs.out);
        if (words[0] == "stats") {
            ASSERT_TRUE(document.is_object());
            ASSERT_EQ(document.size(), lines.size());
            std::size_t i = 0;
            for (const auto& [name, value] : document.items()) {
                const std::vector<std::string> cells = cellsOf(lines[i++]);
                ASSERT_EQ(cells.size(), 2U);
                EXPECT_EQ(name, cells[0]);
                EXPECT_TRUE(sameValue(value, cells[1]))
                    << name << ": " << value << " / " << cells[1];
            }
            continue;
        }
        ASSERT_TRUE(document.is_array());
        ASSERT_EQ(document.size() + 1, lines.size()) << tabs.out;
        const std::vector<std::string> header = cellsOf(lines[0]);
        for (std::size_t row = 0; row < document.size(); ++row) {
            const std::vector<std::string> cells = cellsOf(lines[row + 1]);
            ASSERT_EQ(document[row].size(), header.size());
            std::size_t column = 0;
            for (const auto& [name, value] : document[row].items()) {
                EXPECT_EQ(name, header[column]);
                EXPECT_TRUE(sameValue(value, cells[column]))
                    << name << ": " << value << " / " << cells[column];
                ++column;
            }
        }
        // --no-header leaves out the header line and nothing else.
        std::vector<std::string> bare = words;
        bare.push_back("--no-header");
        EXPECT_EQ(testing::captureLine(bare).out, tabs.out.substr(lines[0].size() + 1));
    }
}

}  // namespace
}  // namespace lapdex
