// The debug log: switches, line formats, CR LF, Shift_JIS banners and file handling.
#include "debug_log.h"

#include <fstream>
#include <regex>

#include "library_fixture.h"
#include "local_time.h"

namespace rdcom32::test {
namespace {

bool fixedClock(std::tm* out) {
    *out = std::tm{};
    out->tm_year = 2014 - 1900;
    out->tm_mon = 3;
    out->tm_mday = 23;
    out->tm_hour = 8;
    out->tm_min = 54;
    out->tm_sec = 49;
    return true;
}

const std::string kStartBanner1 =
    std::string(48, '-') + " APL\x82\xf0\x8b\x4e\x93\xae " + std::string(50, '-');
const std::string kStartBanner2 = std::string(42, '-') +
                                  " \x83\x8d\x83\x4f\x8f\x6f\x97\xcd-ON\x82\xc5\x8b\x4e\x93\xae " +
                                  std::string(46, '-');
const std::string kEndBanner1 = std::string(35, '-') +
                                " APL\x82\xf0\x88\xea\x93\x78\x8f\x49\x97\xb9\x82\xb3\x82\xb9"
                                "\x83\x8d\x83\x4f\x8f\x6f\x97\xcd\x82\xf0OFF " +
                                std::string(38, '-');
const std::string kEndBanner2 =
    std::string(47, '-') + " APL\x82\xf0\x88\xea\x93\x78\x8f\x49\x97\xb9 " + std::string(47, '-');

using DebugLog = LibraryFixture;

TEST_F(DebugLog, OffByDefault) {
    openQuiet();
    uint8_t serial[6];
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    EXPECT_EQ(RDCAA_SetDllLogOut(1), 0);
    EXPECT_EQ(WriteLogLine("anything"), 0);
    EXPECT_FALSE(logWriting());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(DebugLog, DumpsEndEachByteWithABlankAndCountThem) {
    setLocalTimeSource(&fixedClock);
    openLogged();
    const uint8_t beep[2] = {1, 0};
    ASSERT_EQ(RDCAA_Beep(beep), 1);
    const std::string all = logBytes();
    EXPECT_NE(all.find("2014-04-23.08:54:49: " + std::string(50, '-') + " RDCAA_Beep " +
                       std::string(50, '-') + "\r\n"),
              std::string::npos);
    EXPECT_NE(all.find("2014-04-23.08:54:49: Sending Command:   FF 00 00 00 04 D4 32 01 01 \r\n"
                       "2014-04-23.08:54:49: Total Length: 9 Byte(s)\r\n"
                       "2014-04-23.08:54:49: Receiving Command: 61 "),
              std::string::npos);
}

TEST_F(DebugLog, EveryLineHasATimeStampAndEndsInCrLf) {
    openLogged();
    uint8_t serial[6];
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    const std::string all = logBytes();
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all.substr(all.size() - 2), "\r\n");
    const std::regex stamped(R"(^\d{4}-\d{2}-\d{2}\.\d{2}:\d{2}:\d{2}: .*$)");
    size_t start = 0;
    int lines = 0;
    while (start < all.size()) {
        const size_t end = all.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        ASSERT_GT(end, start);
        EXPECT_EQ(all[end - 1], '\r');
        const std::string line = all.substr(start, end - 1 - start);
        EXPECT_TRUE(std::regex_match(line, stamped)) << line;
        start = end + 1;
        ++lines;
    }
    EXPECT_GT(lines, 10);
}

TEST_F(DebugLog, DumpOfNothing) {
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    EXPECT_EQ(WriteLogDump("Empty: ", nullptr, 0), 1);
    const uint8_t none[1] = {0};
    EXPECT_EQ(WriteLogDump("Zero: ", none, 0), 1);
    EXPECT_EQ(WriteLogNumber("Number: ", -7), 1);
    EXPECT_EQ(logTexts(),
              (std::vector<std::string>{"Empty: No Data", "Total Length: 0 Byte(s)",
                                        "Zero: ", "Total Length: 0 Byte(s)", "Number: -7"}));
}

TEST_F(DebugLog, JapaneseBannersAreShiftJis) {
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    EXPECT_EQ(RDCAA_SetDllLogOut(1), 1);
    EXPECT_EQ(RDCAA_SetDllLogOut(0), 1);
    EXPECT_EQ(logTexts(),
              (std::vector<std::string>{kStartBanner1, kStartBanner2, kEndBanner1, kEndBanner2}));
    // Switched off: nothing more until the path is set again.
    uint16_t version = 0;
    ASSERT_EQ(RDCAA_GetDllVer(&version), 1);
    EXPECT_EQ(RDCAA_SetDllLogOut(1), 0);
    EXPECT_EQ(logTexts().size(), 4u);
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    ASSERT_EQ(RDCAA_GetDllVer(&version), 1);
    EXPECT_EQ(logTexts().size(), 7u);
}

TEST_F(DebugLog, DirectoryWithoutSeparatorPrefixesTheFileName) {
    std::filesystem::create_directory(folder / "logs");
    const std::string withoutSeparator = (folder / "logs").string();
    ASSERT_EQ(RDCAA_SetDllLogPath(withoutSeparator.c_str()), 1);
    EXPECT_EQ(WriteLogLine("here"), 1);
    EXPECT_TRUE(std::filesystem::exists(folder / "logsrdcaa_debug.log"));
    EXPECT_TRUE(std::filesystem::is_empty(folder / "logs"));
}

TEST_F(DebugLog, PathThatIsNoDirectoryLeavesTheLogOff) {
    std::ofstream(folder / "plain.txt") << "x";
    EXPECT_EQ(RDCAA_SetDllLogPath((folder / "plain.txt").string().c_str()), 0);
    EXPECT_EQ(RDCAA_SetDllLogPath((folder / "missing/").string().c_str()), 0);
    EXPECT_EQ(WriteLogLine("lost"), 0);
    EXPECT_FALSE(logWriting());
}

TEST_F(DebugLog, OverlongDirectoryIsRefused) {
    const std::string longPath = logDirectory() + std::string(2100, 'a') + "/";
    EXPECT_EQ(RDCAA_SetDllLogPath(longPath.c_str()), 0);
    EXPECT_FALSE(logWriting());
}

TEST_F(DebugLog, NullDirectoryReportsWhetherTheBannerWasWritten) {
    EXPECT_EQ(RDCAA_SetDllLogPath(nullptr), 0);
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    EXPECT_EQ(RDCAA_SetDllLogPath(nullptr), 1);
    EXPECT_TRUE(logWriting());
}

TEST_F(DebugLog, AppendsToEarlierContent) {
    std::ofstream(logFile(), std::ios::binary) << "earlier\r\n";
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    ASSERT_EQ(WriteLogLine("later"), 1);
    EXPECT_EQ(logBytes().rfind("earlier\r\n", 0), 0u);
    EXPECT_EQ(logTexts().back(), "later");
}

TEST_F(DebugLog, NewPathMovesTheLog) {
    std::filesystem::create_directory(folder / "second");
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    ASSERT_EQ(WriteLogLine("first"), 1);
    ASSERT_EQ(RDCAA_SetDllLogPath((folder / "second/").string().c_str()), 1);
    ASSERT_EQ(WriteLogLine("second"), 1);
    EXPECT_EQ(logTexts().back(),
              std::string(50, '-') + " RDCAA_SetDllLogPath " + std::string(50, '-'));
    std::ifstream second(folder / "second" / "rdcaa_debug.log", std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(second)), std::istreambuf_iterator<char>());
    EXPECT_NE(content.find(": second\r\n"), std::string::npos);
}

}  // namespace
}  // namespace rdcom32::test
