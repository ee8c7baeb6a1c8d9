// ACS readers that answer a direct transmit at once (the ACR122U under pcsc-lite's CCID
// driver): the same checks and log lines as with 61 Le + Get Response, without Get Response.
#include <algorithm>
#include <array>
#include <functional>

#include "library_fixture.h"

namespace rdcom32::test {
namespace {

const Bytes kAntennaOff = hex("FF 00 00 00 04 D4 32 01 00");

bool isGetResponse(const Bytes& command) {
    return command.size() == 5 && command[0] == 0xFF && command[1] == 0xC0;
}

size_t getResponses() {
    const auto& transcript = sim::Standin::instance().transcript;
    return static_cast<size_t>(
        std::count_if(transcript.begin(), transcript.end(),
                      [](const sim::Exchange& e) { return isGetResponse(e.command); }));
}

// The log without the hex dumps, which differ by the Get Response exchanges.
std::vector<std::string> stepLines(const std::vector<std::string>& texts) {
    std::vector<std::string> steps;
    for (const std::string& line : texts) {
        const bool dump = line.rfind("Sending Command:", 0) == 0 ||
                          line.rfind("Receiving Command:", 0) == 0 ||
                          line.rfind("Total Length:", 0) == 0;
        if (!dump) steps.push_back(line);
    }
    return steps;
}

struct Session {
    std::vector<std::string> steps;
    std::vector<Bytes> felicaCommands;
    Bytes runData;
    std::array<uint8_t, 6> serial{};
    std::array<int32_t, 6> results{};
    size_t getResponses = 0;
};

class AcsDirectAnswers : public LibraryFixture {
  protected:
    // One connection of everything the program does, logged, on a reader of `style`.
    Session session(sim::AcsAnswers style) {
        standin().reset();
        standin().useAcsReader(style);
        stopwatch = standin().layCard(sim::generateRuns(5, 12));
        stopwatch->downloadedRuns = 3;
        std::filesystem::remove(logFile());
        Session s;
        EXPECT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
        EXPECT_EQ(RDCAA_InitDll(nullptr), 1);
        EXPECT_EQ(RDCAA_OpenFelica(), 1);
        uint8_t idm[8], pmm[8], plug[2], info[4];
        std::vector<uint8_t> buffer(65535);
        const uint8_t beep[2] = {1, 0};
        s.results = {RDCAA_Polling(idm, pmm),        RDCAA_GetSerial(s.serial.data()),
                     RDCAA_ReadPlug(4, 2, plug),     RDCAA_GetRunInfo(info),
                     RDCAA_GetRunNew(buffer.data()), RDCAA_Beep(beep)};
        s.runData.assign(buffer.begin(), buffer.begin() + (info[0] | info[1] << 8));
        EXPECT_EQ(RDCAA_SetTime(nullptr), 1);
        EXPECT_EQ(RDCAA_CloseFelica(), 1);
        RDCAA_ExitDll();
        s.steps = stepLines(logTexts());
        s.felicaCommands = felicaCommands();
        s.getResponses = getResponses();
        return s;
    }

    // GetSerial on a direct reader whose read answer is replaced by `change`.
    int32_t serialWithReadAnswer(std::function<void(std::vector<uint8_t>&)> change) {
        standin().useAcsReader(sim::AcsAnswers::Direct);
        openLogged();
        // 1 timeouts, 2 antenna on, 3 polling, 4 the read (answered at once), 5 antenna off.
        standin().tamper = [change](int index, std::vector<uint8_t>& answer) {
            if (index == 4) change(answer);
        };
        return RDCAA_GetSerial(serial.data());
    }

    std::array<uint8_t, 6> serial{};
};

TEST_F(AcsDirectAnswers, SameBytesSameLogLinesAndNoGetResponse) {
    const Session fetched = session(sim::AcsAnswers::GetResponse);
    const Session direct = session(sim::AcsAnswers::Direct);
    EXPECT_EQ(fetched.results, (std::array<int32_t, 6>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(direct.results, fetched.results);
    EXPECT_EQ(direct.serial, fetched.serial);
    EXPECT_EQ(direct.runData, fetched.runData);
    EXPECT_FALSE(direct.runData.empty());
    EXPECT_EQ(direct.felicaCommands, fetched.felicaCommands);
    EXPECT_EQ(direct.steps, fetched.steps);
    EXPECT_NE(std::find(direct.steps.begin(), direct.steps.end(),
                        "AcsReader/GetRunNew/SetReadCommand: Response Command"),
              direct.steps.end());
    // Polling and every FeliCa exchange fetched their answers; the direct reader needed none.
    EXPECT_EQ(fetched.getResponses, 1 + fetched.felicaCommands.size());
    EXPECT_EQ(direct.getResponses, 0u);
}

TEST_F(AcsDirectAnswers, PollingWithoutCardIsNoTagFound) {
    standin().useAcsReader(sim::AcsAnswers::Direct);
    openLogged();
    // The stand-in's card stays for the connection; the reader's answer is an empty field's.
    standin().tamper = [](int index, std::vector<uint8_t>& answer) {
        if (index == 3) answer = hex("D5 61 00 90 00");
    };
    uint8_t idm[8] = {}, pmm[8] = {};
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 0);
    EXPECT_TRUE(logHas("AcsReader/Polling/SetPolling: Polling Command No Tag Found error"));
    EXPECT_FALSE(logHas("AcsReader/Polling/SetReturn: Response Command"));
    EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
    EXPECT_EQ(getResponses(), 0u);
}

TEST_F(AcsDirectAnswers, PollingGivesIdmAndPmmOfAForeignCard) {
    standin().useAcsReader(sim::AcsAnswers::Direct);
    stopwatch = standin().layCard();
    stopwatch->idm = {0x01, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    openLogged();
    uint8_t idm[8] = {}, pmm[8] = {};
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 2);
    EXPECT_EQ(Bytes(idm, idm + 8), Bytes(stopwatch->idm.begin(), stopwatch->idm.end()));
    EXPECT_EQ(Bytes(pmm, pmm + 8), Bytes(stopwatch->pmm.begin(), stopwatch->pmm.end()));
    EXPECT_TRUE(logHas("AcsReader/Polling/SetReturn: Response Command"));
}

// The controller's failures and answers that fail the usual checks: each fails the step with
// the antenna switched off and no line of its own, and nothing is fetched.
TEST_F(AcsDirectAnswers, BadAnswersFailTheStep) {
    const struct {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> change;
    } cases[] = {
        {"63 00: the controller did not answer", [](auto& a) { a = hex("63 00"); }},
        {"63 7F: controller error", [](auto& a) { a = hex("63 7F"); }},
        {"InDataExchange timeout", [](auto& a) { a = hex("D5 41 01 90 00"); }},
        {"wrong block count", [](auto& a) { a.at(15) = 2; }},
        {"status flag", [](auto& a) { a.at(13) = 0xA1; }},
        {"foreign IDm", [](auto& a) { a.at(5) ^= 0xFF; }},
        {"block data cut short", [](auto& a) { a.resize(20); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LibraryFixture::TearDown();
        LibraryFixture::SetUp();
        serial = {};
        EXPECT_EQ(serialWithReadAnswer(c.change), 0);
        EXPECT_EQ(serial, (std::array<uint8_t, 6>{}));
        ASSERT_EQ(standin().transcript.size(), 5u);
        EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
        EXPECT_EQ(getResponses(), 0u);
        EXPECT_TRUE(logHas("AcsReader/GetSerial/SetReadCommand: Response Command"));
        EXPECT_TRUE(logHas("Function failure"));
        for (const std::string& line : logTexts())
            EXPECT_EQ(line.find(" error"), std::string::npos) << line;
    }
}

TEST_F(AcsDirectAnswers, ControllerFailureToThePollingIsALengthError) {
    standin().useAcsReader(sim::AcsAnswers::Direct);
    openLogged();
    standin().tamper = [](int index, std::vector<uint8_t>& answer) {
        if (index == 3) answer = hex("63 00");
    };
    uint8_t idm[8] = {}, pmm[8] = {};
    EXPECT_EQ(RDCAA_Polling(idm, pmm), 0);
    EXPECT_TRUE(logHas("AcsReader/Polling/SetReturn: Response Command Length error"));
    EXPECT_EQ(getResponses(), 0u);
    EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
}

// A reader of the Get Response style that reports a controller failure instead of 61 Le is
// not asked for an answer that does not exist.
TEST_F(AcsDirectAnswers, ControllerFailureInsteadOf61LeIsNotFetched) {
    openLogged();
    standin().tamper = [](int index, std::vector<uint8_t>& answer) {
        if (index == 4) answer = hex("63 7F");
    };
    EXPECT_EQ(RDCAA_GetSerial(serial.data()), 0);
    ASSERT_EQ(standin().transcript.size(), 5u);
    EXPECT_EQ(standin().transcript.back().command, kAntennaOff);
    EXPECT_EQ(getResponses(), 0u);
}

}  // namespace
}  // namespace rdcom32::test
