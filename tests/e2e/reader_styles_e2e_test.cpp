// RDCOM32 through a real pcscd with readers as Linux shows them: an ACS reader that answers
// a direct transmit at once, and a Sony CCID reader named in capitals.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "model/stopwatch.h"
#include "pcscd_gtest.h"
#include "rdcom32.h"

namespace {

using Bytes = std::vector<uint8_t>;
using testsupport::PcscdFixture;

constexpr const char* kSonyCcidName = "SONY FeliCa RC-S300/P (0123456)";

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lays a stopwatch with several chunks of runs on `rig`'s reader (stopwatch-sim given
// `extra`), downloads, beeps and lifts it; returns stopwatch-sim's output.
std::string downloadThrough(PcscdFixture& rig, std::vector<std::string> extra) {
    const std::vector<sim::SimRun> runs = sim::generateRuns(23, 9);
    const Bytes expected = sim::encodeRuns(runs);
    EXPECT_GT(expected.size(), 2u * 192u);
    const std::string runsFile = rig.folder() + "/runs.txt";
    std::ofstream(runsFile) << sim::formatRuns(runs);
    // The rig tells stopwatch-sim the reader's name, which chooses the emulation.
    std::vector<std::string> arguments{"--runs", runsFile, "--transcript"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    auto laid = rig.layStopwatch(arguments);
    EXPECT_TRUE(laid) << laid.error;
    if (!laid) return "";

    EXPECT_EQ(RDCAA_OpenFelica(), 1);
    uint8_t idm[8] = {}, pmm[8] = {};
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 1);
    uint8_t serial[6] = {};
    EXPECT_EQ(RDCAA_GetSerial(serial), 1);
    EXPECT_EQ(Bytes(serial, serial + 6), (Bytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB}));
    std::vector<uint8_t> buffer(65535, 0xEE);
    EXPECT_EQ(RDCAA_GetRunData(buffer.data()), 1);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(buffer[expected.size()], 0xEE);
    const uint8_t beep[2] = {0x01, 0x00};
    EXPECT_EQ(RDCAA_Beep(beep), 1);
    EXPECT_EQ(RDCAA_CloseFelica(), 1);
    auto lifted = rig.liftStopwatch();
    EXPECT_TRUE(lifted) << lifted.error;
    const std::string output = rig.simulatorOutput();
    EXPECT_NE(output.find(" beeps=1 last-beep=01 00 "), std::string::npos) << output;
    EXPECT_NE(output.find(" erase-run=01 "), std::string::npos) << output;
    return output;
}

class ReaderOverPcscd : public ::testing::Test {
  protected:
    void start(PcscdFixture& rig) {
        LAPDEX_START_PCSCD(rig);
        ASSERT_EQ(RDCAA_SetDllLogPath((rig.folder() + "/").c_str()), 1);
        ASSERT_EQ(RDCAA_InitDll(nullptr), 1);
    }
    void TearDown() override { RDCAA_ExitDll(); }
};

TEST_F(ReaderOverPcscd, AcsReaderAnsweringAtOnceDownloadsWithoutGetResponse) {
    PcscdFixture rig;
    ASSERT_NO_FATAL_FAILURE(start(rig));
    const std::string output = downloadThrough(rig, {"--answers", "direct"});
    EXPECT_NE(output.find("(ACS, direct answers)"), std::string::npos) << output;
    EXPECT_EQ(output.find("> FF C0 00 00"), std::string::npos) << output;  // no Get Response
    EXPECT_NE(output.find("< D5 41 00 "), std::string::npos) << output;    // the answers, at once
    const std::string log = fileText(rig.folder() + "/rdcaa_debug.log");
    EXPECT_NE(log.find(": Found ACS Card Reader\r\n"), std::string::npos);
    EXPECT_NE(log.find(": AcsReader/GetRunData/SetReadCommand: Response Command\r\n"),
              std::string::npos);
    EXPECT_EQ(log.find("Function failure"), std::string::npos);
}

TEST_F(ReaderOverPcscd, SonyReaderNamedInCapitalsIsServed) {
    PcscdFixture rig{PcscdFixture::kAnyPort, kSonyCcidName};
    ASSERT_NO_FATAL_FAILURE(start(rig));
    ASSERT_EQ(rig.readerName(), "SONY FeliCa RC-S300/P (0123456) 00 00");
    const std::string output = downloadThrough(rig, {});
    EXPECT_NE(output.find("(Sony)"), std::string::npos) << output;
    EXPECT_NE(output.find("> FF A4 00 01 02 00 B0\n"), std::string::npos) << output;  // Select File
    const std::string log = fileText(rig.folder() + "/rdcaa_debug.log");
    EXPECT_NE(log.find(": Found SONY Card Reader\r\n"), std::string::npos);
    EXPECT_NE(log.find(": SonyReader/ReleaseCardReader: successfully\r\n"), std::string::npos);
    EXPECT_EQ(log.find("Function failure"), std::string::npos);
}

}  // namespace
