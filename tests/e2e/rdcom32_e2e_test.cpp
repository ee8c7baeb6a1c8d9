// RDCOM32 end to end: the shared library through a real pcscd, vpcd's virtual ACS
// reader and stopwatch-sim, checked on both sides.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "model/stopwatch.h"
#include "pcscd_gtest.h"
#include "rdcom32.h"

namespace {

using Bytes = std::vector<uint8_t>;
using testsupport::PcscdFixture;

// The value after "name=" in stopwatch-sim's closing state line, e.g. "01 00".
std::string stateField(const std::string& output, const std::string& name) {
    size_t line = output.rfind("state: ");
    if (line == std::string::npos) return "<no state line>";
    std::string state = output.substr(line, output.find('\n', line) - line);
    size_t at = state.find(" " + name + "=");
    if (at == std::string::npos) return "<no " + name + ">";
    size_t from = at + name.size() + 2;
    size_t to = state.find('=', from);
    to = to == std::string::npos ? state.size() : state.rfind(' ', to);
    return state.substr(from, to - from);
}

Bytes parseHex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    unsigned value = 0;
    while (in >> std::hex >> value) bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

// Seconds between the stopwatch's clock (s, min, h, day, month, year-2000) and `now`.
double clockOffset(const Bytes& clock, std::time_t now) {
    std::tm set{};
    set.tm_sec = clock[0];
    set.tm_min = clock[1];
    set.tm_hour = clock[2];
    set.tm_mday = clock[3];
    set.tm_mon = clock[4] - 1;
    set.tm_year = clock[5] + 100;
    set.tm_isdst = -1;
    return std::difftime(std::mktime(&set), now);
}

class Rdcom32OverPcscd : public ::testing::Test {
  protected:
    PcscdFixture rig;

    void SetUp() override {
        LAPDEX_START_PCSCD(rig);
        ASSERT_EQ(RDCAA_InitDll(nullptr), 1);
    }
    void TearDown() override { RDCAA_ExitDll(); }

    std::string writeRuns(const std::vector<sim::SimRun>& runs) {
        std::string path = rig.folder() + "/runs.txt";
        std::ofstream(path) << sim::formatRuns(runs);
        return path;
    }
};

TEST_F(Rdcom32OverPcscd, DownloadSetTimeAndBeepReachTheStopwatch) {
    std::vector<sim::SimRun> runs = sim::generateRuns(11, 8);
    Bytes expected = sim::encodeRuns(runs);
    ASSERT_GT(expected.size(), 2u * 192u);  // several chunks, the last one partial
    auto laid = rig.layStopwatch({"--runs", writeRuns(runs), "--old", "3", "--serial",
                                  "a1b2c3d4e5f6", "--battery", "2421", "--transcript"});
    ASSERT_TRUE(laid) << laid.error;

    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    uint8_t idm[8] = {}, pmm[8] = {};
    ASSERT_EQ(RDCAA_Polling(idm, pmm), 1);
    EXPECT_EQ(Bytes(idm, idm + 8), (Bytes{0x03, 0xFE, 0x00, 0x24, 0x00, 0x00, 0x01, 0x02}));
    uint8_t serial[6] = {};
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    EXPECT_EQ(Bytes(serial, serial + 6), (Bytes{0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6}));
    uint8_t battery[2] = {};
    ASSERT_EQ(RDCAA_ReadPlug(4, 2, battery), 1);
    EXPECT_EQ(battery[0] | battery[1] << 8, 2421);
    uint8_t info[4] = {};
    ASSERT_EQ(RDCAA_GetRunInfo(info), 1);
    size_t newLength =
        sim::encodeRuns(std::vector<sim::SimRun>(runs.begin() + 3, runs.end())).size();
    EXPECT_EQ(static_cast<size_t>(info[0] | info[1] << 8), newLength);
    EXPECT_EQ(static_cast<size_t>(info[2] | info[3] << 8), expected.size());

    std::vector<uint8_t> buffer(65535, 0xEE);
    ASSERT_EQ(RDCAA_GetRunData(buffer.data()), 1);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(buffer[expected.size()], 0xEE);  // nothing written past the transfer
    std::time_t before = std::time(nullptr);
    ASSERT_EQ(RDCAA_SetTime(nullptr), 1);
    std::time_t after = std::time(nullptr);
    const uint8_t beep[2] = {0x01, 0x00};
    ASSERT_EQ(RDCAA_Beep(beep), 1);
    ASSERT_EQ(RDCAA_CloseFelica(), 1);

    auto lifted = rig.liftStopwatch();
    ASSERT_TRUE(lifted) << lifted.error;
    std::string output = rig.simulatorOutput();
    EXPECT_EQ(stateField(output, "beeps"), "1") << output;
    EXPECT_EQ(stateField(output, "last-beep"), "01 00");
    EXPECT_EQ(stateField(output, "set-time"), "1");
    EXPECT_EQ(stateField(output, "erase-run"), "01");  // the download's own erase, nothing else
    EXPECT_EQ(stateField(output, "new-bytes"), "0");
    Bytes clock = parseHex(stateField(output, "clock"));
    ASSERT_EQ(clock.size(), 6u);
    EXPECT_GE(clockOffset(clock, before), -1.0);
    EXPECT_LE(clockOffset(clock, after), 1.0);
    // The run data travelled in 192-byte chunks of the all-runs stream (B2).
    size_t chunks = 0;
    for (size_t at = output.find("> FF 00 00 00"); at != std::string::npos;
         at = output.find("> FF 00 00 00", at + 1)) {
        if (output.compare(at + 2 + 22 * 3, 5, "00 B2") == 0) ++chunks;
    }
    EXPECT_EQ(chunks, (expected.size() + 191) / 192);
}

TEST_F(Rdcom32OverPcscd, NoStopwatchMeansOpenFailsAndPcscdStaysUsable) {
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    auto laid = rig.layStopwatch({"--generate", "5:2"});
    ASSERT_TRUE(laid) << laid.error;
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    uint8_t idm[8], pmm[8];
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 1);
    EXPECT_EQ(RDCAA_CloseFelica(), 1);
}

TEST_F(Rdcom32OverPcscd, StopwatchLiftedMidTransferFailsTheDownload) {
    std::vector<sim::SimRun> runs = sim::generateRuns(12, 30);
    // Polling, timeouts, antenna, info read and get response, then the first chunk and its answer.
    auto laid = rig.layStopwatch({"--runs", writeRuns(runs), "--lift-after", "12"});
    ASSERT_TRUE(laid) << laid.error;
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    std::vector<uint8_t> buffer(65535, 0);
    EXPECT_EQ(RDCAA_GetRunData(buffer.data()), 0);
    EXPECT_EQ(RDCAA_CloseFelica(), 1);
    auto gone = rig.waitStopwatchGone();
    EXPECT_TRUE(gone) << gone.error;
    EXPECT_EQ(stateField(rig.simulatorOutput(), "erase-run"), "");
}

}  // namespace
