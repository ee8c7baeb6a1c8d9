// stopwatch-sim's options and the stopwatch they build: decimal numbers, and the runs that
// a real stopwatch cannot hold refused with the line and the reason.
#include "vpcd/sim_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace sim {
namespace {

std::optional<SimOptions> parse(std::vector<std::string> words, std::string& error) {
    words.insert(words.begin(), "stopwatch-sim");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    return parseSimOptions(static_cast<int>(argv.size()), argv.data(), error);
}

class SimRunsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "sim-options-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Builds the stopwatch from `text` as --runs FILE (plus `more` options).
    bool build(const std::string& text, std::string& error, std::vector<std::string> more = {}) {
        std::ofstream(folder / "runs.txt") << text;
        more.insert(more.begin(), {"--runs", (folder / "runs.txt").string()});
        auto options = parse(more, error);
        if (!options) return false;
        stopwatch = Stopwatch();
        return buildStopwatch(*options, stopwatch, error);
    }
    std::string file() const { return (folder / "runs.txt").string(); }

    std::filesystem::path folder;
    Stopwatch stopwatch;
};

TEST(SimOptions, NumbersAreDecimalEvenWithALeadingZero) {
    std::string error;
    auto options = parse({"--battery", "0100", "--product-type", "09", "--old", "010"}, error);
    ASSERT_TRUE(options.has_value()) << error;
    EXPECT_EQ(options->batteryRaw, 100);
    EXPECT_EQ(options->productType, 9);
    EXPECT_EQ(options->oldRuns, 10);
    EXPECT_EQ(parse({"--port", "0x8C7B"}, error)->port, 0x8C7B);
    EXPECT_EQ(parse({"--port", "035963"}, error)->port, 35963);
}

TEST(SimOptions, SaysWhichOptionIsWrongInOneLine) {
    const struct {
        std::vector<std::string> words;
        std::string error;
    } cases[] = {
        {{"--batery", "5"}, "unknown option --batery"},
        {{"5"}, "unexpected argument 5"},
        {{"--battery"}, "--battery needs a value"},
        {{"--battery", "0x10"}, "--battery: '0x10' is not a number from 0 to 65535"},
        {{"--battery", "12a"}, "--battery: '12a' is not a number from 0 to 65535"},
        {{"--product-type", "256"}, "--product-type: '256' is not a number from 0 to 255"},
        {{"--port", "70000"},
         "--port: '70000' is not a port from 1 to 65534 (decimal, or hex with 0x)"},
        {{"--port", "0x"}, "--port: '0x' is not a port from 1 to 65534 (decimal, or hex with 0x)"},
        {{"--generate", "20"},
         "--generate: '20' is not SEED:COUNT (SEED from 0 to 4294967295, COUNT from 0 to 100000)"},
        {{"--lift-after", "0"}, "--lift-after: '0' is not a number from 1 to 1073741824"},
        {{"--serial", "0123456789aX"},
         "--serial: '0123456789aX' is not 6 bytes in hex (12 hex digits)"},
        {{"--reader", "pcsc"}, "--reader: 'pcsc' is not acs or sony"},
        {{"--runs", "a", "--generate", "1:2"}, "--runs and --generate exclude each other"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parse(c.words, error).has_value()) << c.error;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(SimOptions, ValuesComeWithASpaceOrAnEqualsSign) {
    std::string error;
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"--battery", "2421", "--port", "0x9C7B"},
          std::vector<std::string>{"--battery=2421", "--port=0x9C7B"}}) {
        auto options = parse(words, error);
        ASSERT_TRUE(options.has_value()) << error;
        EXPECT_EQ(options->batteryRaw, 2421);
        EXPECT_EQ(options->port, 0x9C7B);
    }
}

TEST(SimOptions, RepeatedSonyFaultsAreAllKeptInOrder) {
    std::string error;
    auto options =
        parse({"--sony-fault", "pmm:0:6a81", "--port", "1", "--sony-fault=read:1:6a82"}, error);
    ASSERT_TRUE(options.has_value()) << error;
    ASSERT_EQ(options->sonyFaults.size(), 2u);
    EXPECT_EQ(options->sonyFaults[0].command, SonyCommand::GetPmm);
    EXPECT_EQ(options->sonyFaults[1].command, SonyCommand::ReadBinary);
    EXPECT_EQ(options->sonyFaults[1].occurrence, 1);
}

TEST(SimOptions, HelpAndVersionEndTheCommandLine) {
    std::string error;
    EXPECT_TRUE(parse({"--help"}, error)->help);
    EXPECT_TRUE(parse({"--port", "1", "-h"}, error)->help);
    EXPECT_TRUE(parse({"--version"}, error)->version);
    const std::string help = simHelp();
    // The stopwatch first, then the reader, then what only tests use; the exit status last.
    const size_t runs = help.find("--runs"), port = help.find("--port"),
                 transcript = help.find("--transcript");
    ASSERT_NE(transcript, std::string::npos) << help;
    EXPECT_LT(runs, port);
    EXPECT_LT(port, transcript);
    EXPECT_LT(transcript, help.find("Exit status"));
    EXPECT_NE(help.find("--version"), std::string::npos);
}

TEST_F(SimRunsFile, RefusesImpossibleRunsWithLineAndReason) {
    const std::string good = "# comment\n2024-02-29 07:30:00 00:01:10.50 00:02:15.20\n";
    const struct {
        std::string line;
        std::string reason;
    } cases[] = {
        {"2024-02-31 07:30:00 00:01:10.50", "date 2024-02-31 does not exist"},
        {"2023-02-29 07:30:00 00:01:10.50", "date 2023-02-29 does not exist"},
        {"2024-04-31 07:30:00 00:01:10.50", "date 2024-04-31 does not exist"},
        {"2024-05-01 07:30:00 00:02:00.00 00:01:59.99",
         "split 2 is earlier than split 1 (splits are cumulative times from the start)"},
        {"2024-05-01 07:30:00 00:01:10.5",
         "split \"00:01:10.5\" is not HH:MM:SS.CC (two-digit minutes, seconds and hundredths)"},
        {"2024-05-01 07:30:00 0:1:10.50",
         "split \"0:1:10.50\" is not HH:MM:SS.CC (two-digit minutes, seconds and hundredths)"},
        {"2024-5-01 07:30:00 00:01:10.50", "date \"2024-5-01\" is not YYYY-MM-DD"},
        {"2024-05-01 07:30:00", "a run needs at least one split"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(build(good + c.line + "\n", error)) << c.line;
        EXPECT_EQ(error, file() + ":3: " + c.reason);
    }
    std::string error;
    ASSERT_TRUE(build(good, error)) << error;
    EXPECT_EQ(stopwatch.runs.size(), 1u);
}

TEST_F(SimRunsFile, AByteOrderMarkBeforeTheFirstRunIsSkipped) {
    std::string error;
    ASSERT_TRUE(
        build("\xEF\xBB\xBF"
              "2024-05-01 07:30:00 00:01:10.50\n",
              error))
        << error;
    ASSERT_EQ(stopwatch.runs.size(), 1u);
    EXPECT_EQ(stopwatch.runs[0].day, 1);
    // Only at the start: elsewhere it is a malformed line.
    EXPECT_FALSE(
        build("2024-05-01 07:30:00 00:01:10.50\n\xEF\xBB\xBF"
              "2024-05-02 07:30:00 00:01:10.50\n",
              error));
}

TEST_F(SimRunsFile, OddRunsOnlyWhenAskedFor) {
    std::string error;
    const std::string odd = "2024-02-31 07:30:00 00:02:00.00 00:01:00.00\n";
    EXPECT_FALSE(build(odd, error));
    ASSERT_TRUE(build(odd, error, {"--allow-odd-runs"})) << error;
    ASSERT_EQ(stopwatch.runs.size(), 1u);
    EXPECT_EQ(stopwatch.runs[0].day, 31);
    // Malformed text stays refused.
    EXPECT_FALSE(build("2024-05-01 07:30:00 00:01:10.5\n", error, {"--allow-odd-runs"}));
}

TEST_F(SimRunsFile, RefusesAFolderAndTooManyRunsSayingHowManyFit) {
    std::string error;
    auto options = parse({"--runs", folder.string()}, error);
    ASSERT_TRUE(options.has_value());
    EXPECT_FALSE(buildStopwatch(*options, stopwatch, error));
    EXPECT_EQ(error, folder.string() + " is a folder, not a runs file");

    // 16 + 4 bytes a run with one lap: 3,276 runs fit into 65,535 bytes.
    std::string text;
    for (int i = 0; i < 3277; ++i) text += "2024-05-01 07:30:00 00:01:10.50\n";
    EXPECT_FALSE(build(text, error));
    EXPECT_EQ(error,
              file() +
                  ": 3,277 runs need 65,540 bytes, more than the 65,535 the stopwatch holds; "
                  "the first 3,276 fit");
    ASSERT_TRUE(build(text, error, {"--allow-odd-runs"})) << error;
    EXPECT_EQ(stopwatch.allRunBytes().size(), kMaxStreamLength);
}

TEST(SimGenerate, RefusesMoreRunsThanFitAndTheFittingCountWorks) {
    std::string error;
    auto options = parse({"--generate", "1:2000"}, error);
    ASSERT_TRUE(options.has_value());
    Stopwatch stopwatch;
    EXPECT_FALSE(buildStopwatch(*options, stopwatch, error));
    const std::string fit = "; the first ";
    const size_t at = error.find(fit);
    ASSERT_NE(at, std::string::npos) << error;
    EXPECT_EQ(error.rfind("--generate 1:2000: 2,000 runs need ", 0), 0u) << error;
    const size_t count =
        std::stoul(error.substr(at + fit.size()));  // no thousands separator below 1,000
    EXPECT_EQ(count, runsThatFit(generateRuns(1, 2000)));
    EXPECT_GT(count, 500u);

    options = parse({"--generate", "1:" + std::to_string(count)}, error);
    ASSERT_TRUE(buildStopwatch(*options, stopwatch, error)) << error;
    EXPECT_EQ(stopwatch.runs.size(), count);
    EXPECT_LE(stopwatch.allRunBytes().size(), kMaxStreamLength);
    options = parse({"--generate", "1:" + std::to_string(count + 1)}, error);
    EXPECT_FALSE(buildStopwatch(*options, stopwatch, error));
}

TEST(SimGenerate, OldRunsCannotExceedTheRuns) {
    std::string error;
    auto options = parse({"--generate", "1:3", "--old", "4"}, error);
    ASSERT_TRUE(options.has_value());
    Stopwatch stopwatch;
    EXPECT_FALSE(buildStopwatch(*options, stopwatch, error));
    EXPECT_EQ(error, "--old 4: there are only 3 runs");
}

}  // namespace
}  // namespace sim
