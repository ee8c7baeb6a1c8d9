// Byte layouts of the command set and of the ACS framing, checked on the transcript.
#include <array>

#include "library_fixture.h"
#include "local_time.h"

namespace rdcom32::test {
namespace {

const Bytes kTimeouts = hex("FF 00 00 00 06 D4 32 02 00 0B 0D");
const Bytes kAntennaOn = hex("FF 00 00 00 04 D4 32 01 01");
const Bytes kAntennaOff = hex("FF 00 00 00 04 D4 32 01 00");
const Bytes kAutoPoll = hex("FF 00 00 00 09 D4 60 01 01 20 23 11 04 10");

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

bool leapSecondClock(std::tm* out) {
    fixedClock(out);
    out->tm_sec = 60;
    return true;
}

Bytes block(const std::string& head) {
    Bytes bytes = hex(head);
    bytes.resize(16, 0x00);
    return bytes;
}

std::vector<Bytes> commands() {
    std::vector<Bytes> all;
    for (const sim::Exchange& exchange : sim::Standin::instance().transcript) {
        all.push_back(exchange.command);
    }
    return all;
}

using CommandLayout = LibraryFixture;
using AcsFraming = LibraryFixture;

TEST_F(CommandLayout, RangedReadPutsOffsetLowByteFirst) {
    openQuiet();
    std::array<uint8_t, 32> buffer{};
    ASSERT_EQ(RDCAA_GetRunNewB(buffer.data(), 0x0180, 17), 1);
    ASSERT_EQ(felicaCommands().size(), 1u);
    EXPECT_EQ(readBlockList(felicaCommands()[0]), hex("00 B1 80 00 01 11"));
}

TEST_F(CommandLayout, PlugReadPutsLengthIntoByteFour) {
    stopwatch->setBatteryRaw(0x0321);
    openQuiet();
    uint8_t raw[2] = {};
    ASSERT_EQ(RDCAA_ReadPlug(4, 2, raw), 1);
    EXPECT_EQ(readBlockList(felicaCommands().at(0)), hex("00 D4 04 00 02 00"));
    EXPECT_EQ(raw[0], 0x21);
    EXPECT_EQ(raw[1], 0x03);
}

TEST_F(CommandLayout, FixedReadsUsePlainLists) {
    openQuiet();
    uint8_t config[27] = {};
    uint8_t serial[6] = {};
    ASSERT_EQ(RDCAA_GetStwCfg(config), 1);
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    EXPECT_EQ(readBlockList(felicaCommands().at(0)), hex("00 C7 00 00 00 00"));
    EXPECT_EQ(readBlockList(felicaCommands().at(1)), hex("00 A2 00"));
    EXPECT_EQ(Bytes(serial, serial + 6), Bytes(stopwatch->serial.begin(), stopwatch->serial.end()));
}

TEST_F(CommandLayout, RamWriteOf200BytesTravelsAs188And12) {
    openQuiet();
    std::vector<uint8_t> data(200);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    ASSERT_EQ(RDCAA_WriteRam(0x1000, 200, data.data()), 1);
    const std::vector<Bytes> writes = felicaCommands();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].at(21), 12);
    EXPECT_EQ(Bytes(writes[0].begin() + 58, writes[0].begin() + 62), hex("D1 00 10 BC"));
    EXPECT_EQ(writes[1].at(21), 1);
    const Bytes tail = writeBlockData(writes[1]);
    EXPECT_EQ(Bytes(tail.begin(), tail.begin() + 4), hex("D1 BC 10 0C"));
    EXPECT_EQ(Bytes(tail.begin() + 4, tail.end()), Bytes(data.begin() + 188, data.end()));
    EXPECT_EQ(Bytes(stopwatch->ram.begin() + 0x1000, stopwatch->ram.begin() + 0x10C8), data);
}

TEST_F(CommandLayout, PlugWriteBlockCountCountsItsThreeHeadBytes) {
    openQuiet();
    std::array<uint8_t, 14> data{};
    ASSERT_EQ(RDCAA_WritePlug(8, 13, data.data()), 1);
    ASSERT_EQ(RDCAA_WritePlug(8, 14, data.data()), 1);
    EXPECT_EQ(felicaCommands().at(0).at(21), 1);
    EXPECT_EQ(felicaCommands().at(1).at(21), 2);
    const Bytes first = writeBlockData(felicaCommands().at(0));
    EXPECT_EQ(Bytes(first.begin(), first.begin() + 3), hex("D5 08 0D"));
}

TEST_F(CommandLayout, SetTimeWithoutBytesSendsThePcClock) {
    setLocalTimeSource(&fixedClock);
    openQuiet();
    ASSERT_EQ(RDCAA_SetTime(nullptr), 1);
    EXPECT_EQ(writeBlockData(felicaCommands().at(0)), block("C4 31 36 08 17 04 0E"));
    EXPECT_EQ(stopwatch->clock, (std::array<uint8_t, 6>{49, 54, 8, 23, 4, 14}));
}

TEST_F(CommandLayout, SetTimeSendsALeapSecondAs59) {
    setLocalTimeSource(&leapSecondClock);
    openQuiet();
    ASSERT_EQ(RDCAA_SetTime(nullptr), 1);
    EXPECT_EQ(writeBlockData(felicaCommands().at(0)), block("C4 3B 36 08 17 04 0E"));
}

TEST_F(CommandLayout, EraseRunSendsTheParameterByte) {
    openQuiet();
    const uint8_t parameter = 0x00;
    ASSERT_EQ(RDCAA_EraseRun(&parameter), 1);
    EXPECT_EQ(writeBlockData(felicaCommands().at(0)), block("B3 00"));
}

TEST_F(CommandLayout, SetPlanFillsTenBlocks) {
    openQuiet();
    std::array<uint8_t, 146> plan{};
    plan.fill(0xEE);
    ASSERT_EQ(RDCAA_SetPlan(plan.data()), 1);
    const Bytes data = writeBlockData(felicaCommands().at(0));
    ASSERT_EQ(data.size(), 160u);
    EXPECT_EQ(data[0], 0xC0);
    EXPECT_EQ(data[146], 0xEE);
    EXPECT_EQ(Bytes(data.begin() + 147, data.end()), Bytes(13, 0x00));
    EXPECT_EQ(stopwatch->plan, plan);
}

TEST_F(AcsFraming, ReadCommandLayout) {
    openQuiet();
    uint8_t serial[6] = {};
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    EXPECT_EQ(felicaCommands().at(0),
              hex("FF 00 00 00 14 D4 40 01 11 06 03 FE 00 24 00 00 01 02 01 0B 00 01 00 A2 00"));
}

TEST_F(AcsFraming, TwelveBlockWriteIs250Bytes) {
    openQuiet();
    std::vector<uint8_t> data(188, 0x11);
    ASSERT_EQ(RDCAA_WriteE2p(0x0200, 188, data.data()), 1);
    const Bytes write = felicaCommands().at(0);
    ASSERT_EQ(write.size(), 250u);
    EXPECT_EQ(write[4], 245);
    EXPECT_EQ(write[8], 242);
    EXPECT_EQ(write[9], 0x08);
    EXPECT_EQ(Bytes(write.begin() + 22, write.begin() + 58), Bytes(36, 0x00));
}

TEST_F(AcsFraming, OnlyTheFirstOperationOfAConnectionPolls) {
    openQuiet();
    uint8_t serial[6] = {};
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    const std::vector<Bytes> sent = commands();
    ASSERT_EQ(sent.size(), 11u);
    const std::vector<Bytes> first(sent.begin(), sent.begin() + 3);
    EXPECT_EQ(first, (std::vector<Bytes>{kTimeouts, kAntennaOn, kAutoPoll}));
    EXPECT_EQ(Bytes(sent[4].begin(), sent[4].begin() + 4), hex("FF C0 00 00"));
    EXPECT_EQ(sent[4][4], standin().transcript[3].answer.at(1));  // Le of "61 Le"
    EXPECT_EQ(sent[5], kAntennaOff);
    EXPECT_EQ(sent[6], kTimeouts);
    EXPECT_EQ(sent[7], kAntennaOn);
    EXPECT_EQ(sent[8], felicaCommands().at(1));
    EXPECT_EQ(sent[10], kAntennaOff);
}

TEST_F(AcsFraming, PollingCourse) {
    openQuiet();
    uint8_t idm[8], pmm[8], serial[6];
    ASSERT_EQ(RDCAA_Polling(idm, pmm), 1);
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    const std::vector<Bytes> sent = commands();
    ASSERT_EQ(sent.size(), 10u);
    EXPECT_EQ(sent[2], kAutoPoll);
    EXPECT_EQ(sent[4], kAntennaOff);
    // Polling leaves `polled` set: the next operation does not poll again.
    EXPECT_EQ(sent[5], kTimeouts);
    EXPECT_EQ(sent[6], kAntennaOn);
    EXPECT_EQ(sent[7], felicaCommands().at(0));
}

TEST_F(AcsFraming, PollingWithoutTagGivesZero) {
    openLogged();
    standin().tamper = [](int index, std::vector<uint8_t>& answer) {
        if (index == 3) answer = {0x61, 0x05};
    };
    uint8_t idm[8], pmm[8];
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 0);
    EXPECT_TRUE(logHas("AcsReader/Polling/SetPolling: Polling Command No Tag Found error"));
    EXPECT_TRUE(logHas("Function failure"));
    EXPECT_EQ(commands().back(), kAntennaOff);
    EXPECT_EQ(commands().size(), 4u);
}

TEST_F(AcsFraming, PollingRequires26ByteAnswer) {
    openLogged();
    standin().tamper = [](int index, std::vector<uint8_t>& answer) {
        if (index == 4) answer.push_back(0x00);
    };
    uint8_t idm[8], pmm[8];
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 0);
    EXPECT_TRUE(logHas("AcsReader/Polling/SetReturn: Response Command Length error"));
    EXPECT_EQ(commands().back(), kAntennaOff);
}

TEST_F(AcsFraming, SuccessfulOperationLogLines) {
    openLogged();
    uint8_t battery = 0;
    ASSERT_EQ(RDCAA_GetBattery(&battery), 1);
    std::vector<std::string> steps;
    for (const std::string& line : logTexts()) {
        if (line.rfind("AcsReader/", 0) == 0 || line.rfind("InitTransmitData/", 0) == 0) {
            steps.push_back(line);
        }
    }
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "AcsReader/GetBattery",
                         "InitTransmitData/SetExternTimeOut: ExternTimeOut Command",
                         "InitTransmitData/SetPolling: Antenna ON Command",
                         "InitTransmitData/SetPolling: Polling Command",
                         "AcsReader/GetBattery/SetReadCommand: Get Battery Level Command",
                         "AcsReader/GetBattery/SetReadCommand: Response Command"}));
}

}  // namespace
}  // namespace rdcom32::test

#include "block_layout.h"

namespace rdcom32::test {
namespace {

TEST(BlockCount, ReadsTakeAtLeastTwoBlocks) {
    EXPECT_EQ(readBlockCount(0), 2);
    EXPECT_EQ(readBlockCount(1), 2);
    EXPECT_EQ(readBlockCount(32), 2);
    EXPECT_EQ(readBlockCount(33), 3);
    EXPECT_EQ(readBlockCount(48), 3);
    EXPECT_EQ(readBlockCount(177), 12);
    EXPECT_EQ(readBlockCount(192), 12);
}

TEST(BlockCount, WritesCountTheirHeadBytes) {
    EXPECT_EQ(memoryWriteBlockCount(12), 1);
    EXPECT_EQ(memoryWriteBlockCount(13), 2);
    EXPECT_EQ(memoryWriteBlockCount(188), 12);
    EXPECT_EQ(plugWriteBlockCount(0), 1);
    EXPECT_EQ(plugWriteBlockCount(188), 12);
}

}  // namespace
}  // namespace rdcom32::test
