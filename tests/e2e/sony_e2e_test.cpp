// RDCOM32 end to end through a real pcscd and a vpcd reader named as a Sony reader, with
// stopwatch-sim answering as the Sony driver.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "model/stopwatch.h"
#include "pcscd_gtest.h"
#include "rdcom32.h"

namespace {

using Bytes = std::vector<uint8_t>;
using testsupport::PcscdFixture;

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class SonyOverPcscd : public ::testing::Test {
  protected:
    PcscdFixture rig{PcscdFixture::kAnyPort, PcscdFixture::kSonyFriendlyName};

    void SetUp() override {
        LAPDEX_START_PCSCD(rig);
        ASSERT_EQ(rig.readerName(), "Sony FeliCa Port/PaSoRi 3.0 00 00");
        ASSERT_EQ(RDCAA_SetDllLogPath((rig.folder() + "/").c_str()), 1);
        ASSERT_EQ(RDCAA_InitDll(nullptr), 1);
    }
    void TearDown() override { RDCAA_ExitDll(); }
};

TEST_F(SonyOverPcscd, DownloadAndBeepThroughTheSonyFraming) {
    std::vector<sim::SimRun> runs = sim::generateRuns(31, 9);
    const Bytes expected = sim::encodeRuns(runs);
    ASSERT_GT(expected.size(), 2u * 192u);
    const std::string runsFile = rig.folder() + "/runs.txt";
    std::ofstream(runsFile) << sim::formatRuns(runs);
    auto laid = rig.layStopwatch({"--reader", "sony", "--runs", runsFile, "--transcript"});
    ASSERT_TRUE(laid) << laid.error;

    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    uint8_t idm[8] = {}, pmm[8] = {};
    ASSERT_EQ(RDCAA_Polling(idm, pmm), 1);
    EXPECT_EQ(Bytes(idm, idm + 8), (Bytes{0x03, 0xFE, 0x00, 0x24, 0x00, 0x00, 0x01, 0x02}));
    uint8_t serial[6] = {};
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    EXPECT_EQ(Bytes(serial, serial + 6), (Bytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB}));
    std::vector<uint8_t> buffer(65535, 0xEE);
    ASSERT_EQ(RDCAA_GetRunData(buffer.data()), 1);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(buffer[expected.size()], 0xEE);
    const uint8_t beep[2] = {0x01, 0x00};
    ASSERT_EQ(RDCAA_Beep(beep), 1);
    ASSERT_EQ(RDCAA_CloseFelica(), 1);

    auto lifted = rig.liftStopwatch();
    ASSERT_TRUE(lifted) << lifted.error;
    const std::string output = rig.simulatorOutput();
    EXPECT_NE(output.find(" beeps=1 last-beep=01 00 "), std::string::npos) << output;
    EXPECT_NE(output.find(" erase-run=01 "), std::string::npos) << output;
    // Select File before each of the three operations, none before the polling.
    EXPECT_EQ(occurrences(output, "> FF A4 00 01 02 00 B0\n"), 3u) << output;
    EXPECT_EQ(occurrences(output, "> FF B0 80 0C 24 00 B2 "), expected.size() / 192) << output;
    const std::string log = fileText(rig.folder() + "/rdcaa_debug.log");
    EXPECT_NE(log.find(": Found SONY Card Reader\r\n"), std::string::npos);
    EXPECT_NE(log.find(": SonyReader/ReleaseCardReader: successfully\r\n"), std::string::npos);
}

TEST_F(SonyOverPcscd, FailingPmmQueryAndRefusedReadComeThroughPcscd) {
    auto laid = rig.layStopwatch(
        {"--reader", "sony", "--sony-fault", "pmm:0:6a81", "--sony-fault", "read:1:6a82"});
    ASSERT_TRUE(laid) << laid.error;
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    uint8_t idm[8] = {}, pmm[8] = {0x55};
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 0);
    EXPECT_EQ(idm[0], 0x03);
    EXPECT_EQ(pmm[0], 0x00);  // the PMm store, still zero
    uint8_t serial[6] = {};
    EXPECT_EQ(RDCAA_GetSerial(serial), 0);
    EXPECT_EQ(RDCAA_GetSerial(serial), 1);
    EXPECT_EQ(RDCAA_CloseFelica(), 1);
    const std::string log = fileText(rig.folder() + "/rdcaa_debug.log");
    EXPECT_NE(
        log.find(
            "SonyReader/ValidateData: File not found / Addressed Block or Byte does not exist\r\n"),
        std::string::npos);
}

}  // namespace
