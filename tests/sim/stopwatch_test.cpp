// The stopwatch model: run encoding, run text, and the command set's reads and writes.
#include <gtest/gtest.h>

#include <cstring>

#include "model/stopwatch.h"

namespace sim {
namespace {

using Bytes = std::vector<uint8_t>;

// Block list in the ranged layout: 00 code offset-low 00 offset-high length.
Bytes ranged(uint8_t code, uint16_t offset, uint8_t length) {
    return Bytes{0x00, code, static_cast<uint8_t>(offset & 0xFF), 0x00, static_cast<uint8_t>(offset >> 8), length};
}

Bytes plain(uint8_t code) { return Bytes{0x00, code, 0x00}; }

Bytes read(Stopwatch& sw, const Bytes& list, int blocks, bool* ok = nullptr) {
    Bytes out(16 * 12, 0xEE);
    Bytes padded = list;
    padded.resize(36, 0);
    bool result = sw.readBlocks(padded.data(), blocks, out.data());
    if (ok) *ok = result;
    out.resize(static_cast<size_t>(16 * blocks));
    return out;
}

bool write(Stopwatch& sw, Bytes block, int blocks) {
    block.resize(static_cast<size_t>(16 * blocks), 0);
    return sw.writeBlocks(block.data(), blocks);
}

std::vector<SimRun> twoRuns() {
    return *parseRuns("2024-05-01 07:30:09 00:01:10.50 00:02:15.20 00:03:20.00\n"
                      "2023-12-31 23:59:58 01:02:03.04\n");
}

TEST(RunEncoding, HeaderAndSplitsAtTheirOffsets) {
    Bytes bytes = encodeRuns(twoRuns());
    ASSERT_EQ(bytes.size(), 16u + 12u + 16u + 4u);
    // Day, month, year-2000, second, minute, hour; lap count little-endian at 12.
    EXPECT_EQ(Bytes(bytes.begin() + 2, bytes.begin() + 8), (Bytes{1, 5, 24, 9, 30, 7}));
    EXPECT_EQ(bytes[12], 3);
    EXPECT_EQ(bytes[13], 0);
    // Split: hundredths, seconds, minutes, hours.
    EXPECT_EQ(Bytes(bytes.begin() + 16, bytes.begin() + 20), (Bytes{50, 10, 1, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 24, bytes.begin() + 28), (Bytes{0, 20, 3, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 30, bytes.begin() + 36), (Bytes{31, 12, 23, 58, 59, 23}));
    EXPECT_EQ(Bytes(bytes.begin() + 44, bytes.end()), (Bytes{4, 3, 2, 1}));
}

TEST(RunEncoding, LapCountAbove255IsLittleEndian) {
    SimRun run;
    run.splits.resize(300);
    Bytes bytes = encodeRuns({run});
    EXPECT_EQ(bytes[12], 300 & 0xFF);
    EXPECT_EQ(bytes[13], 1);
}

TEST(RunText, RejectsMalformedLinesAndSkipsComments) {
    EXPECT_TRUE(parseRuns("# note\n\n2024-01-02 03:04:05 00:00:01.00\n").has_value());
    EXPECT_FALSE(parseRuns("2024-13-02 03:04:05 00:00:01.00\n").has_value());
    EXPECT_FALSE(parseRuns("2024-01-02 03:04:05 00:60:01.00\n").has_value());
    EXPECT_FALSE(parseRuns("2024-01-02 03:04:05 00:00:01.100\n").has_value());
    EXPECT_FALSE(parseRuns("2024-01-02 03:04:05\n").has_value());
    EXPECT_FALSE(parseRuns("2024-01-02 03:04:05 00:00:01.00x\n").has_value());
}

TEST(RunText, FormattedRunsParseBackToTheSameBytes) {
    std::vector<SimRun> runs = generateRuns(7, 20);
    auto again = parseRuns(formatRuns(runs));
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(encodeRuns(*again), encodeRuns(runs));
}

TEST(RunText, GenerationDependsOnlyOnTheSeed) {
    EXPECT_EQ(encodeRuns(generateRuns(42, 30)), encodeRuns(generateRuns(42, 30)));
    EXPECT_NE(encodeRuns(generateRuns(42, 30)), encodeRuns(generateRuns(43, 30)));
    EXPECT_EQ(generateRuns(1, 5).size(), 5u);
}

TEST(StopwatchRuns, RunInfoEraseAndStreams) {
    Stopwatch sw;
    sw.runs = twoRuns();
    Bytes info = read(sw, plain(0xB0), 1);
    EXPECT_EQ(Bytes(info.begin(), info.begin() + 4), (Bytes{48, 0, 48, 0}));

    // Erase 01: the runs transferred become old; the all-runs stream keeps them.
    EXPECT_TRUE(write(sw, {0xB3, 0x01}, 1));
    info = read(sw, plain(0xB0), 1);
    EXPECT_EQ(Bytes(info.begin(), info.begin() + 4), (Bytes{0, 0, 48, 0}));
    sw.runs.push_back(twoRuns()[1]);
    info = read(sw, plain(0xB0), 1);
    EXPECT_EQ(Bytes(info.begin(), info.begin() + 4), (Bytes{20, 0, 68, 0}));
    Bytes fresh = read(sw, ranged(0xB1, 0, 20), 2);
    EXPECT_EQ(Bytes(fresh.begin(), fresh.begin() + 20), encodeRuns({twoRuns()[1]}));

    // Erase 00: everything goes.
    EXPECT_TRUE(write(sw, {0xB3, 0x00}, 1));
    info = read(sw, plain(0xB0), 1);
    EXPECT_EQ(Bytes(info.begin(), info.begin() + 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(sw.eraseRunParams, (Bytes{0x01, 0x00}));
}

TEST(StopwatchRuns, RangedReadTakesOffsetLowThenHigh) {
    Stopwatch sw;
    sw.runs = generateRuns(3, 40);
    Bytes all = encodeRuns(sw.runs);
    ASSERT_GT(all.size(), 0x0180u + 17u);
    Bytes chunk = read(sw, ranged(0xB2, 0x0180, 17), 2);
    EXPECT_EQ(Bytes(chunk.begin(), chunk.begin() + 17), Bytes(all.begin() + 0x180, all.begin() + 0x180 + 17));
    EXPECT_EQ(chunk[17], 0);  // nothing beyond the asked length
}

TEST(StopwatchRuns, StreamsStopAt65535Bytes) {
    Stopwatch sw;
    sw.runs = generateRuns(9, 1200);
    ASSERT_GT(encodeRuns(sw.runs).size(), kMaxStreamLength);
    Bytes info = read(sw, plain(0xB0), 1);
    EXPECT_EQ(Bytes(info.begin(), info.begin() + 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(StopwatchRuns, ReadsThatDoNotFitTheirBlocksFail) {
    Stopwatch sw;
    sw.runs = generateRuns(3, 40);
    bool ok = true;
    read(sw, ranged(0xB2, 0, 33), 2, &ok);
    EXPECT_FALSE(ok);
    read(sw, ranged(0xB2, 0, 16), 1, &ok);  // the parameters alone take two elements
    EXPECT_FALSE(ok);
    read(sw, plain(0xC7), 1, &ok);  // 27 bytes of stopwatch configuration need 2 blocks
    EXPECT_FALSE(ok);
    read(sw, plain(0xC7), 2, &ok);
    EXPECT_TRUE(ok);
    read(sw, plain(0xEE), 1, &ok);
    EXPECT_FALSE(ok);
}

TEST(StopwatchLogs, EraseSemanticsMatchRuns) {
    Stopwatch sw;
    sw.logs = Bytes(100, 0x5A);
    EXPECT_TRUE(write(sw, {0xB7, 0x01}, 1));
    sw.logs.push_back(0x11);
    Bytes info = read(sw, plain(0xB4), 1);
    EXPECT_EQ(Bytes(info.begin(), info.begin() + 4), (Bytes{1, 0, 101, 0}));
    Bytes fresh = read(sw, ranged(0xB5, 0, 1), 2);
    EXPECT_EQ(fresh[0], 0x11);
    EXPECT_TRUE(write(sw, {0xB7, 0x00}, 1));
    EXPECT_TRUE(sw.logs.empty());
}

TEST(StopwatchMemory, PlugLayoutReadsBatteryAtAddress4) {
    Stopwatch sw;
    sw.setBatteryRaw(0x0987);
    // Plug layout: 00 D4 address 00 length 00.
    Bytes out = read(sw, Bytes{0x00, 0xD4, 0x04, 0x00, 0x02, 0x00}, 2);
    EXPECT_EQ(out[0], 0x87);
    EXPECT_EQ(out[1], 0x09);
    EXPECT_EQ(out[2], 0x00);
}

TEST(StopwatchMemory, RamAndPlugWritesLandAtTheirAddresses) {
    Stopwatch sw;
    Bytes block{0xD1, 0xBC, 0x10, 3, 0xAA, 0xBB, 0xCC};
    EXPECT_TRUE(write(sw, block, 1));
    EXPECT_EQ(sw.ram[0x10BC], 0xAA);
    EXPECT_EQ(sw.ram[0x10BE], 0xCC);
    Bytes back = read(sw, ranged(0xD0, 0x10BC, 3), 2);
    EXPECT_EQ(Bytes(back.begin(), back.begin() + 3), (Bytes{0xAA, 0xBB, 0xCC}));
    EXPECT_TRUE(write(sw, {0xD5, 0x10, 2, 0x12, 0x34}, 1));
    EXPECT_EQ(sw.plug[0x10], 0x12);
    EXPECT_EQ(sw.plug[0x11], 0x34);
    Bytes e2p(16 * 12, 0);
    e2p[0] = 0xD3;
    e2p[3] = 188;  // 4 + 188 bytes need 12 blocks
    EXPECT_FALSE(sw.writeBlocks(e2p.data(), 11));
    EXPECT_TRUE(sw.writeBlocks(e2p.data(), 12));
}

TEST(StopwatchCommands, WritesChangeWhatReadsReturn) {
    Stopwatch sw;
    EXPECT_TRUE(write(sw, {0xC4, 49, 54, 8, 23, 4, 14}, 1));
    EXPECT_EQ(sw.setTimeCount, 1);
    Bytes clock = read(sw, plain(0xC3), 1);
    EXPECT_EQ(Bytes(clock.begin(), clock.begin() + 6), (Bytes{49, 54, 8, 23, 4, 14}));
    EXPECT_TRUE(write(sw, {0xA3, 1, 2, 3, 4, 5, 6}, 1));
    Bytes serial = read(sw, plain(0xA2), 1);
    EXPECT_EQ(Bytes(serial.begin(), serial.begin() + 7), (Bytes{1, 2, 3, 4, 5, 6, 0}));
    EXPECT_TRUE(write(sw, {0xA7, 0x01, 0x07}, 1));
    EXPECT_EQ(sw.beepCount, 1);
    EXPECT_EQ(sw.lastBeep, (std::array<uint8_t, 2>{0x01, 0x07}));
    Bytes plan(160, 0);
    plan[0] = 0xC0;
    plan[146] = 0x77;
    EXPECT_FALSE(write(sw, plan, 9));
    EXPECT_TRUE(write(sw, plan, 10));
    EXPECT_EQ(sw.plan[145], 0x77);
    EXPECT_FALSE(write(sw, {0xEE}, 1));
}

}  // namespace
}  // namespace sim
