// Chunked transfers: downloads, the closing erase, zero lengths and memory reads.
#include <algorithm>

#include "library_fixture.h"

namespace rdcom32::test {
namespace {

// One run of 96 splits: 16 header bytes + 4 per split = 400 bytes.
std::vector<sim::SimRun> runsOf400Bytes() {
    sim::SimRun run;
    run.splits.resize(96);
    for (size_t i = 0; i < run.splits.size(); ++i) {
        run.splits[i].seconds = static_cast<uint8_t>(i % 60);
        run.splits[i].minutes = static_cast<uint8_t>(i / 60);
    }
    return {run};
}

struct ReadShape {
    Bytes list;
    int blocks;
};

std::vector<ReadShape> readShapes(const std::vector<Bytes>& commands) {
    std::vector<ReadShape> shapes;
    for (const Bytes& command : commands) {
        if (command.at(9) != 0x06) continue;
        shapes.push_back({readBlockList(command), command.at(21)});
    }
    return shapes;
}

using Chunking = LibraryFixture;

TEST_F(Chunking, FourHundredBytesTravelAs192And192And16) {
    stopwatch = standin().layCard(runsOf400Bytes());
    ASSERT_EQ(stopwatch->allRunBytes().size(), 400u);
    openQuiet();
    std::vector<uint8_t> buffer(65535, 0xCC);
    ASSERT_EQ(RDCAA_GetRunData(buffer.data()), 1);
    const std::vector<ReadShape> reads = readShapes(felicaCommands());
    ASSERT_EQ(reads.size(), 4u);
    EXPECT_EQ(reads[0].list, hex("00 B0 00"));
    EXPECT_EQ(reads[1].list.size(), 36u);
    EXPECT_EQ(Bytes(reads[1].list.begin(), reads[1].list.begin() + 6), hex("00 B2 00 00 00 C0"));
    EXPECT_EQ(Bytes(reads[2].list.begin(), reads[2].list.begin() + 6), hex("00 B2 C0 00 00 C0"));
    EXPECT_EQ(reads[3].list, hex("00 B2 80 00 01 10"));
    EXPECT_EQ(reads[1].blocks, 12);
    EXPECT_EQ(reads[2].blocks, 12);
    EXPECT_EQ(reads[3].blocks, 2);
    const Bytes expected = stopwatch->allRunBytes();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
    EXPECT_EQ(buffer[400], 0xCC);
    EXPECT_EQ(stopwatch->eraseRunParams, Bytes{0x01});
}

TEST_F(Chunking, OneHundredNinetyThreeBytesEndWithTheErase) {
    stopwatch->logs.resize(193);
    for (size_t i = 0; i < stopwatch->logs.size(); ++i) {
        stopwatch->logs[i] = static_cast<uint8_t>(i + 1);
    }
    openLogged();
    std::vector<uint8_t> buffer(65535);
    ASSERT_EQ(RDCAA_GetLogData(buffer.data()), 1);
    const std::vector<Bytes> frames = felicaCommands();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(readBlockList(frames[0]), hex("00 B4 00"));
    EXPECT_EQ(frames[1].at(21), 12);
    EXPECT_EQ(readBlockList(frames[2]), hex("00 B6 C0 00 00 01"));
    EXPECT_EQ(frames[2].at(21), 2);
    Bytes erase = hex("B7 01");
    erase.resize(16);
    EXPECT_EQ(writeBlockData(frames[3]), erase);
    EXPECT_TRUE(std::equal(stopwatch->logs.begin(), stopwatch->logs.end(), buffer.begin()));
    // The information read and the erase carry their own operations' log lines.
    EXPECT_TRUE(logHas("AcsReader/GetLogInfo/SetReadCommand: Get Log Info Command"));
    EXPECT_TRUE(logHas("AcsReader/EraseLog/SetEraseLog: Erase Log Command"));
    EXPECT_TRUE(logHas("AcsReader/EraseLog/SetReturn: Response Command"));
}

TEST_F(Chunking, ZeroLengthDownloadStopsAfterTheInformation) {
    openLogged();
    std::vector<uint8_t> buffer(65535);
    EXPECT_EQ(RDCAA_GetRunNew(buffer.data()), 0);
    EXPECT_EQ(felicaCommands().size(), 1u);
    EXPECT_TRUE(stopwatch->eraseRunParams.empty());
    EXPECT_TRUE(logHas("AcsReader/GetRunNew/Length: Zero"));
    EXPECT_TRUE(logHas("Function failure"));
    EXPECT_EQ(standin().transcript.back().command, hex("FF 00 00 00 04 D4 32 01 00"));
}

TEST_F(Chunking, ZeroLengthRangedReadReadsTwoBlocks) {
    openQuiet();
    uint8_t untouched = 0xAB;
    EXPECT_EQ(RDCAA_GetRunDataB(&untouched, 0, 0), 1);
    EXPECT_EQ(felicaCommands().at(0).at(21), 2);
    EXPECT_EQ(untouched, 0xAB);
}

TEST_F(Chunking, FullSizeDownloadFillsAll65535Bytes) {
    stopwatch = standin().layCard(sim::generateRuns(11, 900));
    const Bytes expected = stopwatch->allRunBytes();
    ASSERT_EQ(expected.size(), 65535u);
    openQuiet();
    std::vector<uint8_t> buffer(65535);
    ASSERT_EQ(RDCAA_GetRunData(buffer.data()), 1);
    EXPECT_EQ(buffer, expected);
    // 341 full chunks and one of 63 bytes, besides the information read and the erase.
    const std::vector<Bytes> frames = felicaCommands();
    ASSERT_EQ(frames.size(), 344u);
    const Bytes last = readBlockList(frames[342]);
    EXPECT_EQ(Bytes(last.begin(), last.begin() + 6), hex("00 B2 C0 00 FF 3F"));
    EXPECT_EQ(frames[342].at(21), 4);
}

TEST_F(Chunking, RamReadAddressWrapsAt65536) {
    openQuiet();
    for (size_t i = 0; i < stopwatch->ram.size(); ++i) {
        stopwatch->ram[i] = static_cast<uint8_t>(i ^ (i >> 8));
    }
    std::vector<uint8_t> buffer(400);
    ASSERT_EQ(RDCAA_ReadRam(0xFF00, 400, buffer.data()), 1);
    const std::vector<Bytes> frames = felicaCommands();
    ASSERT_EQ(frames.size(), 3u);
    const Bytes second = readBlockList(frames[1]);
    EXPECT_EQ(Bytes(second.begin(), second.begin() + 6), hex("00 D0 C0 00 FF C0"));
    EXPECT_EQ(readBlockList(frames[2]), hex("00 D0 80 00 00 10"));
    for (size_t i = 0; i < buffer.size(); ++i) {
        ASSERT_EQ(buffer[i], stopwatch->ram[(0xFF00 + i) % 65536]) << i;
    }
}

TEST_F(Chunking, ZeroLengthMemoryAccessPreparesAndFinishesOnly) {
    openQuiet();
    uint8_t byte = 0;
    EXPECT_EQ(RDCAA_ReadE2p(0x100, 0, &byte), 1);
    EXPECT_EQ(RDCAA_WriteRam(0x100, 0, &byte), 1);
    EXPECT_TRUE(felicaCommands().empty());
    EXPECT_EQ(standin().transcript.back().command, hex("FF 00 00 00 04 D4 32 01 00"));
}

}  // namespace
}  // namespace rdcom32::test
