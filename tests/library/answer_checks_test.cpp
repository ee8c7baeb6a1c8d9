// The checks on the answers of the ACS path, and the failure course of an exchange.
#include <array>

#include "library_fixture.h"

namespace rdcom32::test {
namespace {

const Bytes kAntennaOff = hex("FF 00 00 00 04 D4 32 01 00");

// A first GetSerial on a fresh connection: 1 timeouts, 2 antenna on, 3 polling, 4 the read,
// 5 its Get Response, 6 antenna off.
constexpr int kReadCommand = 4;
constexpr int kReadAnswer = 5;

class AcsAnswers : public LibraryFixture {
  protected:
    // GetSerial with the read's answer changed by `change`; returns the result.
    int32_t serialWithAnswer(std::function<void(std::vector<uint8_t>&)> change) {
        openLogged();
        standin().tamper = [change](int index, std::vector<uint8_t>& answer) {
            if (index == kReadAnswer) change(answer);
        };
        return RDCAA_GetSerial(serial.data());
    }

    void expectQuietFailure() {
        EXPECT_EQ(serial, (std::array<uint8_t, 6>{}));
        EXPECT_EQ(standin().transcript.size(), 6u);
        EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
        EXPECT_TRUE(logHas("Function failure"));
        for (const std::string& line : logTexts()) {
            EXPECT_EQ(line.find(" error"), std::string::npos) << line;
        }
    }

    std::array<uint8_t, 6> serial{};
};

TEST_F(AcsAnswers, AcceptsTheStopwatchsAnswer) {
    EXPECT_EQ(serialWithAnswer([](std::vector<uint8_t>&) {}), 1);
    EXPECT_EQ(Bytes(serial.begin(), serial.end()),
              Bytes(stopwatch->serial.begin(), stopwatch->serial.end()));
}

TEST_F(AcsAnswers, RejectsWrongBlockCount) {
    EXPECT_EQ(serialWithAnswer([](std::vector<uint8_t>& a) { a.at(15) = 2; }), 0);
    expectQuietFailure();
}

TEST_F(AcsAnswers, RejectsNonZeroStatusFlags) {
    EXPECT_EQ(serialWithAnswer([](std::vector<uint8_t>& a) { a.at(13) = 0xA1; }), 0);
    expectQuietFailure();
}

TEST_F(AcsAnswers, RejectsNonZeroSecondStatusFlag) {
    EXPECT_EQ(serialWithAnswer([](std::vector<uint8_t>& a) { a.at(14) = 0x01; }), 0);
    expectQuietFailure();
}

TEST_F(AcsAnswers, RejectsForeignIdm) {
    EXPECT_EQ(serialWithAnswer([](std::vector<uint8_t>& a) { a.at(12) ^= 0xFF; }), 0);
    expectQuietFailure();
}

TEST_F(AcsAnswers, RejectsWrongResponseCode) {
    EXPECT_EQ(serialWithAnswer([](std::vector<uint8_t>& a) { a.at(4) = 0x09; }), 0);
    expectQuietFailure();
}

TEST_F(AcsAnswers, RejectsFiveByteAnswer) {
    EXPECT_EQ(serialWithAnswer([](std::vector<uint8_t>& a) { a.resize(5); }), 0);
    expectQuietFailure();
}

// An answer cut short would otherwise hand zeros over as the stopwatch's data.
TEST_F(AcsAnswers, RejectsAnswerWithoutAllItsBlockData) {
    EXPECT_EQ(serialWithAnswer([](std::vector<uint8_t>& a) { a.resize(20); }), 0);
    expectQuietFailure();
}

TEST_F(AcsAnswers, RejectsWriteAnswerWithStatusFlag) {
    openQuiet();
    standin().tamper = [](int index, std::vector<uint8_t>& answer) {
        if (index == kReadAnswer) answer.at(13) = 0x01;
    };
    const uint8_t beep[2] = {1, 0};
    EXPECT_EQ(RDCAA_Beep(beep), 0);
    EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
}

TEST_F(AcsAnswers, FailedCommandLogsItsErrorLineAndCode) {
    openLogged();
    standin().failTransmitAt = kReadCommand;
    EXPECT_EQ(RDCAA_GetSerial(serial.data()), 0);
    EXPECT_TRUE(logHas("AcsReader/GetSerial/SetReadCommand: Get Serial Command error"));
    EXPECT_TRUE(logHas("SCardTransmit Failure: -2146435050"));
    EXPECT_TRUE(logHas("No data receving"));
    EXPECT_FALSE(logHas("AcsReader/GetSerial/SetReadCommand: Response Command"));
    ASSERT_EQ(standin().transcript.size(), 5u);
    EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
}

TEST_F(AcsAnswers, FailedGetResponseLogsItsErrorLine) {
    openLogged();
    standin().failTransmitAt = kReadAnswer;
    uint8_t config[9] = {};
    EXPECT_EQ(RDCAA_GetSystemCfg(config), 0);
    EXPECT_TRUE(logHas("AcsReader/GetSystemCfg/SetReadCommand: Response Command error"));
    EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
}

TEST_F(AcsAnswers, ConfigErrorLinesAreSpelledWithCapitalC) {
    openLogged();
    standin().failTransmitAt = kReadCommand;
    uint8_t config[27] = {};
    EXPECT_EQ(RDCAA_GetStwCfg(config), 0);
    EXPECT_TRUE(logHas("AcsReader/GetStwCfg/SetReadCommand: Get Stw config Command"));
    EXPECT_TRUE(logHas("AcsReader/GetStwCfg/SetReadCommand: Get Stw Config Command error"));
}

TEST_F(AcsAnswers, PreparationFailureSendsNoAntennaOff) {
    openLogged();
    standin().failTransmitAt = 1;
    EXPECT_EQ(RDCAA_GetSerial(serial.data()), 0);
    EXPECT_EQ(standin().transcript.size(), 1u);
    EXPECT_TRUE(logHas("AcsReader/GetSerial/InitTransmitData: error"));
}

TEST_F(AcsAnswers, FailedPollingCommandSwitchesTheAntennaOff) {
    openLogged();
    standin().failTransmitAt = 3;
    uint8_t idm[8], pmm[8];
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 0);
    EXPECT_TRUE(logHas("AcsReader/Polling/InitTransmitData: Polling Command error"));
    ASSERT_EQ(standin().transcript.size(), 4u);
    EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
}

TEST_F(AcsAnswers, CardLiftedMidTransferFails) {
    stopwatch = standin().layCard(sim::generateRuns(3, 40));
    const Bytes expected = stopwatch->allRunBytes();
    ASSERT_GT(expected.size(), 600u);
    openQuiet();
    // 1-3 preparation, 4-5 information, 6-7 first chunk, 8 second chunk's read.
    standin().liftCardAt = 8;
    std::vector<uint8_t> buffer(65535);
    EXPECT_EQ(RDCAA_GetRunData(buffer.data()), 0);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 192, buffer.begin()));
    EXPECT_EQ(buffer[192], 0);
    EXPECT_TRUE(stopwatch->eraseRunParams.empty());
}

TEST_F(AcsAnswers, FailedEraseAfterRunDownloadStillSucceeds) {
    stopwatch = standin().layCard(sim::generateRuns(5, 2));
    openQuiet();
    uint8_t info[4] = {};
    ASSERT_EQ(RDCAA_GetRunInfo(info), 1);
    const size_t chunks = ((info[2] | info[3] << 8) + 191) / 192;
    standin().transcript.clear();
    // 1-2 preparation (no polling: already done), then information, chunks, erase.
    standin().failTransmitAt = 2 + 2 + 2 * static_cast<int>(chunks) + 1;
    std::vector<uint8_t> buffer(65535);
    EXPECT_EQ(RDCAA_GetRunData(buffer.data()), 1);
    EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
    EXPECT_EQ(standin().transcript[standin().transcript.size() - 2].result, 0x80100016L);
}

TEST_F(AcsAnswers, FailedEraseAfterLogDownloadFails) {
    stopwatch->logs.assign(100, 0x42);
    openQuiet();
    standin().failTransmitAt = 3 + 2 + 2 + 1;  // preparation, information, one chunk, erase
    std::vector<uint8_t> buffer(65535);
    EXPECT_EQ(RDCAA_GetLogData(buffer.data()), 0);
    EXPECT_EQ(buffer[99], 0x42);
    EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
}

}  // namespace
}  // namespace rdcom32::test
