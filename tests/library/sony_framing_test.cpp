// The Sony framing: Select File before each operation, Read Binary and Update Binary bytes,
// the accepted answers, the status words that ValidateData names and the log lines.
#include <algorithm>
#include <functional>

#include "library_fixture.h"

namespace rdcom32::test {
namespace {

const Bytes kSelectFile = hex("FF A4 00 01 02 00 B0");

// The log without the dumps of the exchanges: the operation, step and status lines.
std::vector<std::string> stepLines(const std::vector<std::string>& texts) {
    std::vector<std::string> lines;
    for (const std::string& text : texts) {
        if (text.rfind("Sending Command:", 0) == 0 || text.rfind("Receiving Command:", 0) == 0 ||
            text.rfind("Total Length:", 0) == 0) {
            continue;
        }
        lines.push_back(text);
    }
    return lines;
}

class SonyFraming : public LibraryFixture {
  protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        standin().useSonyReader();
        openLogged();
    }
    // The log lines written after the banner of `exportName`.
    std::vector<std::string> linesAfterBanner(const std::string& exportName) const {
        const std::string banner =
            std::string(50, '-') + " " + exportName + " " + std::string(50, '-');
        const std::vector<std::string> lines = stepLines(logTexts());
        auto at = std::find(lines.rbegin(), lines.rend(), banner);
        if (at == lines.rend()) return {"<no banner " + exportName + ">"};
        return std::vector<std::string>(at.base(), lines.end());
    }
    void answerEveryRead(uint8_t sw1, uint8_t sw2) {
        standin().sonyFaults.list.push_back({sim::SonyCommand::ReadBinary, 0, sw1, sw2, 0});
    }
    const std::vector<sim::Exchange>& transcript() { return standin().transcript; }
};

TEST_F(SonyFraming, GetSerialSelectsTheServiceThenReadsOneBlock) {
    uint8_t serial[6] = {};
    ASSERT_EQ(RDCAA_GetSerial(serial), 1);
    ASSERT_EQ(transcript().size(), 2u);
    EXPECT_EQ(transcript()[0].command, kSelectFile);
    EXPECT_EQ(transcript()[1].command, hex("FF B0 80 01 03 00 A2 00"));
    ASSERT_EQ(transcript()[1].answer.size(), 18u);
    EXPECT_EQ(Bytes(transcript()[1].answer.end() - 2, transcript()[1].answer.end()), hex("90 00"));
    EXPECT_EQ(Bytes(serial, serial + 6), hex("01 23 45 67 89 AB"));
    EXPECT_EQ(linesAfterBanner("RDCAA_GetSerial"),
              (std::vector<std::string>{
                  "SonyReader/GetSerial", "InitTransmitData/SetSelectFile: Select File Command",
                  "SonyReader/GetSerial/SetReadCommand: Get Serial Command"}));
    EXPECT_TRUE(logHas("Sending Command:   FF A4 00 01 02 00 B0 "));
    EXPECT_TRUE(logHas("Total Length: 7 Byte(s)"));
    EXPECT_TRUE(logHas("Sending Command:   FF B0 80 01 03 00 A2 00 "));
}

TEST_F(SonyFraming, GetStwCfgReadsTwoBlocksAndAcceptsOnly34Bytes) {
    for (uint8_t i = 0; i < 27; ++i) stopwatch->stwCfg[i] = static_cast<uint8_t>(0x40 + i);
    uint8_t config[27] = {};
    ASSERT_EQ(RDCAA_GetStwCfg(config), 1);
    EXPECT_EQ(transcript()[1].command, hex("FF B0 80 02 06 00 C7 00 00 00 00"));
    EXPECT_EQ(Bytes(config, config + 27),
              Bytes(stopwatch->stwCfg.begin(), stopwatch->stwCfg.end()));

    // One data byte short, one too many, or 34 bytes without 90 00: all refused.
    const std::vector<std::function<void(Bytes&)>> spoilers = {
        [](Bytes& a) { a.erase(a.begin()); },
        [](Bytes& a) { a.insert(a.begin(), 0x00); },
        [](Bytes& a) { a[33] = 0x01; },
    };
    for (const auto& spoil : spoilers) {
        const int readIndex = static_cast<int>(transcript().size()) + 2;
        standin().tamper = [&](int index, Bytes& answer) {
            if (index == readIndex) spoil(answer);
        };
        std::fill(config, config + 27, 0xEE);
        EXPECT_EQ(RDCAA_GetStwCfg(config), 0);
        EXPECT_EQ(config[0], 0xEE);  // nothing handed on from a refused answer
    }
    EXPECT_FALSE(logHas("SonyReader/ValidateData: Function not supported"));
}

TEST_F(SonyFraming, BeepIsOneUpdateBinaryOf24Bytes) {
    const uint8_t beep[2] = {0x01, 0x00};
    ASSERT_EQ(RDCAA_Beep(beep), 1);
    ASSERT_EQ(transcript().size(), 2u);
    Bytes expected = hex("FF D6 80 01 13 00 00 00 A7 01 00");
    expected.resize(24, 0x00);
    EXPECT_EQ(transcript()[1].command, expected);
    EXPECT_EQ(stopwatch->beepCount, 1);
    EXPECT_EQ(stopwatch->lastBeep, (std::array<uint8_t, 2>{0x01, 0x00}));
    EXPECT_EQ(linesAfterBanner("RDCAA_Beep").back(),
              "SonyReader/Beep/SetWriteCommand: Set Beep Command");
}

TEST_F(SonyFraming, PlugAndRangedReadsCarryTheirBlockLists) {
    uint8_t battery[2] = {};
    ASSERT_EQ(RDCAA_ReadPlug(4, 2, battery), 1);
    EXPECT_EQ(transcript()[1].command, hex("FF B0 80 02 06 00 D4 04 00 02 00"));
    EXPECT_EQ(battery[0] | battery[1] << 8, stopwatch->batteryRaw());
    const uint8_t plug[14] = {};
    ASSERT_EQ(RDCAA_WritePlug(0x10, 14, plug), 1);
    const Bytes& write = transcript()[3].command;
    ASSERT_EQ(write.size(), 43u);  // 2 blocks: 19 * 2 + 5
    EXPECT_EQ(Bytes(write.begin(), write.begin() + 14),
              hex("FF D6 80 02 26 00 00 00 00 00 00 D5 10 0E"));
    EXPECT_TRUE(logHas("SonyReader/ReadPlug/SetReadE2p: Read Plug Command"));
    EXPECT_TRUE(logHas("SonyReader/WritePlug/SetWriteCommand: Set Write Plug Command"));
}

TEST_F(SonyFraming, FileNotFoundIsNamedButOtherStatusWordsAreNot) {
    answerEveryRead(0x6A, 0x82);
    uint8_t serial[6] = {};
    EXPECT_EQ(RDCAA_GetSerial(serial), 0);
    EXPECT_EQ(
        linesAfterBanner("RDCAA_GetSerial"),
        (std::vector<std::string>{
            "SonyReader/GetSerial", "InitTransmitData/SetSelectFile: Select File Command",
            "SonyReader/GetSerial/SetReadCommand: Get Serial Command",
            "SonyReader/ValidateData: File not found / Addressed Block or Byte does not exist",
            "Function failure"}));
    standin().sonyFaults.list.clear();
    answerEveryRead(0x6A, 0x83);
    EXPECT_EQ(RDCAA_GetSerial(serial), 0);
    EXPECT_EQ(linesAfterBanner("RDCAA_GetSerial"),
              (std::vector<std::string>{
                  "SonyReader/GetSerial", "InitTransmitData/SetSelectFile: Select File Command",
                  "SonyReader/GetSerial/SetReadCommand: Get Serial Command", "Function failure"}));
}

struct NamedStatus {
    uint8_t sw1;
    uint8_t sw2;
    const char* line;
};

class SonyStatusWords : public SonyFraming, public ::testing::WithParamInterface<NamedStatus> {};

TEST_P(SonyStatusWords, ReadAndWriteRefusalsWriteTheirLine) {
    const NamedStatus status = GetParam();
    answerEveryRead(status.sw1, status.sw2);
    standin().sonyFaults.list.push_back(
        {sim::SonyCommand::UpdateBinary, 0, status.sw1, status.sw2, 0});
    uint8_t time[6] = {};
    EXPECT_EQ(RDCAA_GetTime(time), 0);
    EXPECT_EQ(linesAfterBanner("RDCAA_GetTime").at(3), status.line);
    const uint8_t demo = 1;
    EXPECT_EQ(RDCAA_Demo(&demo), 0);
    EXPECT_EQ(linesAfterBanner("RDCAA_Demo").at(3), status.line);
    EXPECT_EQ(stopwatch->demoCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Named, SonyStatusWords,
    ::testing::Values(
        NamedStatus{0x65, 0x81, "SonyReader/ValidateData: Memory failure (unsuccessful writing)"},
        NamedStatus{0x69, 0x81, "SonyReader/ValidateData: Command incompatible"},
        NamedStatus{0x69, 0x82, "SonyReader/ValidateData: Security status not satisfied"},
        NamedStatus{0x69, 0x86, "SonyReader/ValidateData: Command not allowed"},
        NamedStatus{0x6A, 0x81, "SonyReader/ValidateData: Function not supported"},
        NamedStatus{0x6A, 0x82,
                    "SonyReader/ValidateData: File not found / Addressed Block or Byte does not "
                    "exist"}));

TEST_F(SonyFraming, AnswersTooShortForAStatusWordFailQuietly) {
    for (const Bytes& answer : {Bytes{}, Bytes{0x90}}) {
        const int readIndex = static_cast<int>(transcript().size()) + 2;
        standin().tamper = [&](int index, Bytes& a) {
            if (index == readIndex) a = answer;
        };
        uint8_t serial[6] = {};
        EXPECT_EQ(RDCAA_GetSerial(serial), 0);
        EXPECT_EQ(linesAfterBanner("RDCAA_GetSerial").back(), "Function failure");
        const int writeIndex = static_cast<int>(transcript().size()) + 2;
        standin().tamper = [&](int index, Bytes& a) {
            if (index == writeIndex) a = answer;
        };
        const uint8_t demo = 1;
        EXPECT_EQ(RDCAA_Demo(&demo), 0);
        EXPECT_EQ(linesAfterBanner("RDCAA_Demo").back(), "Function failure");
    }
}

TEST_F(SonyFraming, FailedSelectFileEndsTheOperation) {
    standin().failTransmitAt = 1;
    uint8_t serial[6] = {};
    EXPECT_EQ(RDCAA_GetSerial(serial), 0);
    EXPECT_EQ(transcript().size(), 1u);
    const std::vector<std::string> lines = linesAfterBanner("RDCAA_GetSerial");
    EXPECT_EQ(
        lines,
        (std::vector<std::string>{
            "SonyReader/GetSerial", "InitTransmitData/SetSelectFile: Select File Command",
            "SCardTransmit Failure: -2146435050", "No data receving",
            "SonyReader/GetSerial/InitTransmitData: Connect Card error", "Function failure"}));
}

TEST_F(SonyFraming, SelectFileAnswerItselfIsNotLookedAt) {
    // The driver refuses the selection; the read goes out all the same and the driver
    // refuses it in turn, since nothing is selected.
    standin().sonyFaults.list.push_back({sim::SonyCommand::SelectFile, 0, 0x6A, 0x82, 0});
    uint8_t serial[6] = {};
    EXPECT_EQ(RDCAA_GetSerial(serial), 0);
    ASSERT_EQ(transcript().size(), 2u);
    EXPECT_EQ(transcript()[1].answer, hex("69 86"));
    EXPECT_TRUE(logHas("SonyReader/ValidateData: Command not allowed"));
}

TEST_F(SonyFraming, FailedTransmitsWriteTheOperationsOwnFailureText) {
    struct Case {
        std::function<int32_t()> call;
        const char* line;
    };
    uint8_t out[27] = {};
    const std::vector<Case> cases = {
        {[&] { return RDCAA_GetSerial(out); },
         "SonyReader/GetSerial/SetReadCommand: Get Serial Command error"},
        {[&] { return RDCAA_SetProductName(out); },
         "SonyReader/SetProductName/SetWriteCommand: Set Product Name error"},
        {[&] { return RDCAA_SetSystemCfg(out); },
         "SonyReader/SetSystemCfg/SetWriteCommand: Set system config error"},
        {[&] { return RDCAA_SetStwCfg(out); },
         "SonyReader/SetStwCfg/SetWriteCommand: Set Stw config error"},
        {[&] { return RDCAA_GetSystemCfg(out); },
         "SonyReader/GetSystemCfg/SetReadCommand: Get System Config Command error"},
        {[&] { return RDCAA_ReadRam(0x10, 4, out); },
         "SonyReader/ReadRamData/SetReadRam: Read RAM Command error"},
        {[&] { return RDCAA_WriteE2p(0x10, 4, out); },
         "SonyReader/WriteE2pData/SetWriteE2p: Write E2PROM Command error"},
    };
    for (const Case& c : cases) {
        standin().failTransmitAt = static_cast<int>(transcript().size()) + 2;
        EXPECT_EQ(c.call(), 0) << c.line;
        EXPECT_TRUE(logHas(c.line)) << c.line;
    }
}

TEST_F(SonyFraming, CommandLinesKeepTheirIrregularCapitals) {
    uint8_t bytes[27] = {};
    ASSERT_EQ(RDCAA_SetSystemCfg(bytes), 1);
    ASSERT_EQ(RDCAA_SetAlarmCfg(bytes), 1);
    ASSERT_EQ(RDCAA_GetAlarmCfg(bytes), 1);
    ASSERT_EQ(RDCAA_GetBattery(bytes), 1);
    EXPECT_TRUE(logHas("SonyReader/SetSystemCfg/SetWriteCommand: Set System config Command"));
    EXPECT_TRUE(logHas("SonyReader/SetAlarmCfg/SetWriteCommand: Set Alarm config Command"));
    EXPECT_TRUE(logHas("SonyReader/GetAlarmCfg/SetReadCommand: Get Alarm Config Command"));
    EXPECT_TRUE(logHas("SonyReader/GetBattery/SetReadCommand: Get Battery Command"));
}

}  // namespace
}  // namespace rdcom32::test
