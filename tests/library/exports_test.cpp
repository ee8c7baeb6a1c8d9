// The exported functions: argument checks, refusals, results and their log lines.
#include <array>

#include "library_fixture.h"

namespace rdcom32::test {
namespace {

const std::string kRule(50, '-');

std::string banner(const std::string& name) {
    return kRule + " " + name + " " + kRule;
}

using ExportRefusals = LibraryFixture;
using ExportResults = LibraryFixture;

TEST_F(ExportRefusals, ForwardingBeforeOpenLogsOnlyItsBanner) {
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    ASSERT_EQ(RDCAA_InitDll(nullptr), 1);
    uint8_t serial[6] = {};
    EXPECT_EQ(RDCAA_GetSerial(serial), 0);
    EXPECT_EQ(RDCAA_Beep(serial), 0);
    EXPECT_TRUE(standin().transcript.empty());
    EXPECT_EQ(logTexts(),
              (std::vector<std::string>{banner("RDCAA_GetSerial"), banner("RDCAA_Beep")}));
}

TEST_F(ExportRefusals, NullPointersAreRefusedWithoutExchange) {
    openLogged();
    EXPECT_EQ(RDCAA_Polling(nullptr, nullptr), 0);
    uint8_t idm[8] = {};
    EXPECT_EQ(RDCAA_Polling(idm, nullptr), 0);
    EXPECT_EQ(RDCAA_GetFirmVer(nullptr), 0);
    EXPECT_EQ(RDCAA_SetSerial(nullptr), 0);
    EXPECT_EQ(RDCAA_GetRunInfo(nullptr), 0);
    EXPECT_EQ(RDCAA_GetRunData(nullptr), 0);
    EXPECT_EQ(RDCAA_GetRunNewB(nullptr, 0, 16), 0);
    EXPECT_EQ(RDCAA_EraseRun(nullptr), 0);
    EXPECT_EQ(RDCAA_ReadRam(0, 4, nullptr), 0);
    EXPECT_EQ(RDCAA_WriteRam(0, 4, nullptr), 0);
    EXPECT_EQ(RDCAA_ReadPlug(4, 2, nullptr), 0);
    EXPECT_EQ(RDCAA_WritePlug(4, 2, nullptr), 0);
    EXPECT_TRUE(standin().transcript.empty());
    EXPECT_FALSE(logHas("Function failure"));
    EXPECT_FALSE(logHas("Over memory address"));
}

TEST_F(ExportRefusals, RangedReadsAcceptAtMost192Bytes) {
    openQuiet();
    std::array<uint8_t, 256> buffer{};
    EXPECT_EQ(RDCAA_GetRunNewB(buffer.data(), 0, 193), 0);
    EXPECT_EQ(RDCAA_GetLogDataB(buffer.data(), 0, 193), 0);
    EXPECT_EQ(RDCAA_ReadPlug(0, 193, buffer.data()), 0);
    EXPECT_TRUE(standin().transcript.empty());
    EXPECT_EQ(RDCAA_GetRunNewB(buffer.data(), 0, 192), 1);
    EXPECT_EQ(felicaCommands().size(), 1u);
}

TEST_F(ExportRefusals, PlugWritesAcceptAtMost188Bytes) {
    openQuiet();
    std::array<uint8_t, 189> data{};
    data.fill(0x5A);
    EXPECT_EQ(RDCAA_WritePlug(0, 189, data.data()), 0);
    EXPECT_TRUE(standin().transcript.empty());
    EXPECT_EQ(RDCAA_WritePlug(0, 188, data.data()), 1);
    EXPECT_EQ(stopwatch->plug[187], 0x5A);
}

TEST_F(ExportRefusals, MemoryWritesEndingPast65535AreOverMemory) {
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    ASSERT_EQ(RDCAA_InitDll(nullptr), 1);
    std::array<uint8_t, 16> data{};
    // Tested before whether a reader is open.
    EXPECT_EQ(RDCAA_WriteRam(0xFFF0, 16, data.data()), 0);
    EXPECT_EQ(RDCAA_WriteE2p(0xFFF0, 16, data.data()), 0);
    EXPECT_EQ(logTexts(),
              (std::vector<std::string>{banner("RDCAA_WriteRam"), "Over memory address",
                                        banner("RDCAA_WriteE2p"), "Over memory address"}));
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    data.fill(0x77);
    EXPECT_EQ(RDCAA_WriteRam(0xFFF0, 15, data.data()), 1);
    EXPECT_EQ(stopwatch->ram[0xFFFE], 0x77);
}

// Values beyond the width an operation takes are refused, not cut to their low bits (256
// would otherwise become a successful read of nothing).
TEST_F(ExportRefusals, ValuesWiderThanTheirFieldAreRefused) {
    openQuiet();
    std::array<uint8_t, 512> buffer{};
    EXPECT_EQ(RDCAA_GetRunDataB(buffer.data(), 0, 256), 0);
    EXPECT_EQ(RDCAA_GetRunDataB(buffer.data(), 0x10000, 4), 0);
    EXPECT_EQ(RDCAA_GetLogNewB(buffer.data(), -1, 4), 0);
    EXPECT_EQ(RDCAA_ReadPlug(0x104, 2, buffer.data()), 0);
    EXPECT_EQ(RDCAA_ReadRam(0, 0x10001, buffer.data()), 0);
    EXPECT_EQ(RDCAA_ReadE2p(-5, 4, buffer.data()), 0);
    EXPECT_EQ(RDCAA_WriteRam(0x10000, 0, buffer.data()), 0);
    EXPECT_TRUE(standin().transcript.empty());
}

TEST_F(ExportResults, DllVersionWorksBeforeInit) {
    uint16_t version = 0;
    EXPECT_EQ(RDCAA_GetDllVer(&version), 1);
    EXPECT_EQ(version, 0x0100);
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    EXPECT_EQ(RDCAA_GetDllVer(&version), 1);
    EXPECT_EQ(RDCAA_GetDllVer(nullptr), 0);
    EXPECT_EQ(logTexts(),
              (std::vector<std::string>{banner("RDCAA_GetDllVer"), "DLL version: 01 00 ",
                                        "Total Length: 2 Byte(s)", banner("RDCAA_GetDllVer"),
                                        "DLL Version: failure"}));
}

TEST_F(ExportResults, CloseWithoutOpenGivesZero) {
    ASSERT_EQ(RDCAA_InitDll(nullptr), 1);
    EXPECT_EQ(RDCAA_CloseFelica(), 0);
    openQuiet();
    EXPECT_EQ(RDCAA_CloseFelica(), 1);
    EXPECT_EQ(RDCAA_CloseFelica(), 0);
    EXPECT_EQ(standin().disconnectCount, 1);
    EXPECT_EQ(standin().openContexts(), 0);
}

TEST_F(ExportResults, SecondOpenDoesNotTouchPcsc) {
    openQuiet();
    EXPECT_EQ(RDCAA_OpenFelica(), 1);
    EXPECT_EQ(standin().establishCount, 1);
    EXPECT_EQ(standin().connectCount, 1);
}

TEST_F(ExportResults, OpenBeforeInitIsRefused) {
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    EXPECT_EQ(standin().establishCount, 0);
}

TEST_F(ExportResults, PollingTellsTheExpectedCardFromAForeignOne) {
    openQuiet();
    uint8_t idm[8] = {};
    uint8_t pmm[8] = {};
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 1);
    EXPECT_EQ(Bytes(idm, idm + 8), kDefaultIdm);
    EXPECT_EQ(Bytes(pmm, pmm + 8), Bytes(stopwatch->pmm.begin(), stopwatch->pmm.end()));
    stopwatch->idm = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 2);
    EXPECT_EQ(Bytes(idm, idm + 8), hex("01 02 03 04 05 06 07 08"));
}

TEST_F(ExportResults, InitWithAnIdmTargetsThatChip) {
    stopwatch->idm = {0x01, 0x2E, 0x4C, 0x00, 0x11, 0x22, 0x33, 0x44};
    const uint8_t target[8] = {0x01, 0x2E, 0x4C, 0x00, 0x11, 0x22, 0x33, 0x44};
    ASSERT_EQ(RDCAA_InitDll(target), 1);
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    uint8_t idm[8], pmm[8], serial[6];
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 1);
    EXPECT_EQ(RDCAA_GetSerial(serial), 1);
    const Bytes read = felicaCommands().at(0);
    EXPECT_EQ(Bytes(read.begin() + 10, read.begin() + 18), Bytes(target, target + 8));
}

TEST_F(ExportResults, FailuresAddTheFailureLine) {
    openLogged();
    standin().failTransmitAt = 1;
    uint8_t firm[3] = {};
    EXPECT_EQ(RDCAA_GetFirmVer(firm), 0);
    EXPECT_TRUE(logHas("Get Firm Version failure"));
    standin().transcript.clear();
    uint8_t battery = 0;
    EXPECT_EQ(RDCAA_GetBattery(&battery), 0);
    EXPECT_TRUE(logHas("Function failure"));
    // A failed operation leaves the connection open.
    standin().failTransmitAt = 0;
    EXPECT_EQ(RDCAA_GetBattery(&battery), 1);
    EXPECT_EQ(battery, stopwatch->battery);
}

TEST_F(ExportResults, DesktopDownloadFlowYieldsTheStopwatchBytes) {
    stopwatch = standin().layCard(sim::generateRuns(7, 5));
    stopwatch->downloadedRuns = 2;
    stopwatch->setBatteryRaw(0x0ABC);
    openQuiet();
    uint8_t idm[8], pmm[8], serial[6], plug[2], info[4], name[8];
    std::vector<uint8_t> runs(65535);
    const Bytes expectedRuns = stopwatch->newRunBytes();
    const uint8_t beep[2] = {0x01, 0x00};
    ASSERT_EQ(RDCAA_Polling(idm, pmm), 1);
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    ASSERT_EQ(RDCAA_ReadPlug(4, 2, plug), 1);
    ASSERT_EQ(RDCAA_GetRunInfo(info), 1);
    ASSERT_EQ(RDCAA_GetProductName(name), 1);
    ASSERT_EQ(RDCAA_GetRunNew(runs.data()), 1);
    ASSERT_EQ(RDCAA_SetTime(nullptr), 1);
    ASSERT_EQ(RDCAA_Beep(beep), 1);
    ASSERT_EQ(RDCAA_CloseFelica(), 1);
    EXPECT_EQ(Bytes(serial, serial + 6), Bytes(stopwatch->serial.begin(), stopwatch->serial.end()));
    EXPECT_EQ(plug[0] | plug[1] << 8, 0x0ABC);
    EXPECT_EQ(info[0] | info[1] << 8, static_cast<int>(expectedRuns.size()));
    EXPECT_EQ(info[2] | info[3] << 8, static_cast<int>(stopwatch->allRunBytes().size()));
    EXPECT_EQ(Bytes(name, name + 8),
              Bytes(stopwatch->productName.begin(), stopwatch->productName.end()));
    EXPECT_EQ(Bytes(runs.begin(), runs.begin() + expectedRuns.size()), expectedRuns);
    EXPECT_EQ(stopwatch->eraseRunParams, Bytes{0x01});
    EXPECT_EQ(stopwatch->setTimeCount, 1);
    EXPECT_EQ(stopwatch->beepCount, 1);
    EXPECT_EQ(standin().openContexts(), 0);
}

TEST_F(ExportResults, EraseExportsSendTheCallersByte) {
    openQuiet();
    const uint8_t clear = 0x00;
    EXPECT_EQ(RDCAA_EraseRun(&clear), 1);
    EXPECT_EQ(RDCAA_EraseLog(&clear), 1);
    EXPECT_EQ(stopwatch->eraseRunParams, Bytes{0x00});
    EXPECT_EQ(stopwatch->eraseLogParams, Bytes{0x00});
}

TEST_F(ExportResults, ExitWhileOpenClosesFirst) {
    openLogged();
    RDCAA_ExitDll();
    const std::vector<std::string> texts = logTexts();
    const std::vector<std::string> tail(texts.end() - 5, texts.end());
    EXPECT_EQ(tail, (std::vector<std::string>{banner("RDCAA_ExitDll"), banner("RDCAA_CloseFelica"),
                                              "AcsReader/ReleaseCardReader",
                                              "AcsReader/ReleaseCardReader: successfully",
                                              "Release memories: successfully"}));
    EXPECT_EQ(standin().openContexts(), 0);
    // The log is closed by the exit: nothing more is written.
    uint16_t version = 0;
    EXPECT_EQ(RDCAA_GetDllVer(&version), 1);
    EXPECT_EQ(logTexts().size(), texts.size());
}

}  // namespace
}  // namespace rdcom32::test
