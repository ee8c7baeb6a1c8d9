// What does not depend on the reader kind: the same stopwatch gives the same bytes through
// an ACS reader and through a Sony reader; and the Sony framing of the downloads.
#include <algorithm>

#include "library_fixture.h"

namespace rdcom32::test {
namespace {

// Ten runs of 40 splits each: 1760 bytes, ten chunks of which the last is partial.
std::vector<sim::SimRun> severalChunksOfRuns() {
    std::vector<sim::SimRun> runs = sim::generateRuns(7, 10);
    for (size_t r = 0; r < runs.size(); ++r) {
        runs[r].splits.resize(40);
        for (size_t i = 0; i < 40; ++i) {
            runs[r].splits[i] = {0, static_cast<uint8_t>(i), static_cast<uint8_t>((r * 7 + i) % 60),
                                 static_cast<uint8_t>(i)};
        }
    }
    return runs;
}

class ReaderKinds : public LibraryFixture,
                    public ::testing::WithParamInterface<sim::ReaderEmulation> {
  protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        if (GetParam() == sim::ReaderEmulation::Sony) standin().useSonyReader();
        stopwatch = standin().layCard(severalChunksOfRuns());
        stopwatch->downloadedRuns = 1;
    }
};

TEST_P(ReaderKinds, DownloadGivesTheStopwatchsRunDataAndErasesOnce) {
    openQuiet();
    uint8_t idm[8], pmm[8];
    ASSERT_EQ(RDCAA_Polling(idm, pmm), 1);
    uint8_t info[4] = {};
    ASSERT_EQ(RDCAA_GetRunInfo(info), 1);
    const Bytes expected = stopwatch->newRunBytes();
    ASSERT_EQ(expected.size(), 9u * 176u);  // 8 full chunks and one of 48 bytes
    EXPECT_EQ(static_cast<size_t>(info[0] | info[1] << 8), expected.size());
    std::vector<uint8_t> buffer(65535, 0xCC);
    ASSERT_EQ(RDCAA_GetRunNew(buffer.data()), 1);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
    EXPECT_EQ(buffer[expected.size()], 0xCC);
    EXPECT_EQ(stopwatch->eraseRunParams, Bytes{0x01});
    EXPECT_TRUE(stopwatch->newRunBytes().empty());
    const uint8_t clock[6] = {49, 54, 8, 23, 4, 14};
    ASSERT_EQ(RDCAA_SetTime(clock), 1);
    EXPECT_EQ(stopwatch->clock, (std::array<uint8_t, 6>{49, 54, 8, 23, 4, 14}));
    const uint8_t beep[2] = {0x02, 0x01};
    ASSERT_EQ(RDCAA_Beep(beep), 1);
    EXPECT_EQ(stopwatch->lastBeep, (std::array<uint8_t, 2>{0x02, 0x01}));
}

TEST_P(ReaderKinds, LiftedCardFailsTheDownloadWithoutErase) {
    openQuiet();
    standin().liftCardAt = static_cast<int>(standin().transcript.size()) + 5;
    std::vector<uint8_t> buffer(65535, 0);
    EXPECT_EQ(RDCAA_GetRunData(buffer.data()), 0);
    EXPECT_TRUE(stopwatch->eraseRunParams.empty());
}

INSTANTIATE_TEST_SUITE_P(BothReaders, ReaderKinds,
                         ::testing::Values(sim::ReaderEmulation::Acs, sim::ReaderEmulation::Sony),
                         [](const auto& info) {
                             return info.param == sim::ReaderEmulation::Acs ? "Acs" : "Sony";
                         });

class SonyDownload : public LibraryFixture {
  protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        standin().useSonyReader();
    }
};

TEST_F(SonyDownload, ChunksFollowOneSelectFileAndEndWithTheErase) {
    stopwatch->logs.resize(400);
    for (size_t i = 0; i < stopwatch->logs.size(); ++i)
        stopwatch->logs[i] = static_cast<uint8_t>(i * 3);
    openLogged();
    std::vector<uint8_t> buffer(65535, 0);
    ASSERT_EQ(RDCAA_GetLogData(buffer.data()), 1);
    std::vector<Bytes> commands;
    for (const sim::Exchange& exchange : standin().transcript) commands.push_back(exchange.command);
    ASSERT_EQ(commands.size(), 6u);
    EXPECT_EQ(commands[0], hex("FF A4 00 01 02 00 B0"));
    EXPECT_EQ(commands[1], hex("FF B0 80 01 03 00 B4 00"));
    EXPECT_EQ(commands[2].size(), 41u);  // 12 blocks
    EXPECT_EQ(Bytes(commands[2].begin(), commands[2].begin() + 11),
              hex("FF B0 80 0C 24 00 B6 00 00 00 C0"));
    EXPECT_EQ(Bytes(commands[3].begin(), commands[3].begin() + 11),
              hex("FF B0 80 0C 24 00 B6 C0 00 00 C0"));
    EXPECT_EQ(commands[4], hex("FF B0 80 02 06 00 B6 80 00 01 10"));
    EXPECT_EQ(Bytes(commands[5].begin(), commands[5].begin() + 11),
              hex("FF D6 80 01 13 00 00 00 B7 01 00"));
    EXPECT_TRUE(std::equal(stopwatch->logs.begin(), stopwatch->logs.end(), buffer.begin()));
    EXPECT_EQ(stopwatch->eraseLogParams, Bytes{0x01});
    EXPECT_TRUE(logHas("SonyReader/GetLogData"));
    EXPECT_TRUE(logHas("SonyReader/GetLogInfo/SetReadCommand: Get Log Info Command"));
    EXPECT_TRUE(logHas("SonyReader/GetLogData/SetReadCommand: Get Log Data Command"));
    EXPECT_TRUE(logHas("SonyReader/EraseLog/SetWriteCommand: Erase Log Command"));
}

TEST_F(SonyDownload, ZeroLengthWritesItsLineAndSendsNoErase) {
    openLogged();
    std::vector<uint8_t> buffer(65535, 0);
    EXPECT_EQ(RDCAA_GetRunNew(buffer.data()), 0);
    EXPECT_TRUE(logHas("SonyReader/GetRunNew/Length: Zero"));
    EXPECT_EQ(standin().transcript.size(), 2u);
}

TEST_F(SonyDownload, RefusedEraseKeepsARunDownloadButFailsALogDownload) {
    stopwatch = standin().layCard(sim::generateRuns(3, 4));
    stopwatch->logs.assign(20, 0x5A);
    standin().sonyFaults.list = {{sim::SonyCommand::UpdateBinary, 0, 0x65, 0x81, 0}};
    openLogged();
    std::vector<uint8_t> buffer(65535, 0);
    EXPECT_EQ(RDCAA_GetRunData(buffer.data()), 1);
    EXPECT_EQ(RDCAA_GetLogData(buffer.data()), 0);
    EXPECT_TRUE(logHas("SonyReader/ValidateData: Memory failure (unsuccessful writing)"));
    EXPECT_TRUE(stopwatch->eraseRunParams.empty());
}

TEST_F(SonyDownload, ShortChunkEndsTheDownload) {
    stopwatch = standin().layCard(severalChunksOfRuns());
    standin().sonyFaults.list = {{sim::SonyCommand::ReadBinary, 3, 0, 0, 16}};
    openQuiet();
    std::vector<uint8_t> buffer(65535, 0);
    EXPECT_EQ(RDCAA_GetRunData(buffer.data()), 0);
    EXPECT_EQ(standin().transcript.size(), 4u);  // select, info, chunk 1, the short chunk 2
    EXPECT_TRUE(stopwatch->eraseRunParams.empty());
}

}  // namespace
}  // namespace rdcom32::test
