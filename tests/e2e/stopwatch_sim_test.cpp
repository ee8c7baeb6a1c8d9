// stopwatch-sim and the pcscd fixture on the real stack: what pcscd hands through from
// the simulator, lifting the card, a second simulator on a taken port, and one fixture per process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <winscard.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "child_process.h"
#include "pcscd_gtest.h"

namespace {

using Bytes = std::vector<uint8_t>;
using testsupport::PcscdFixture;

const Bytes kPolling{0xFF, 0x00, 0x00, 0x00, 0x09, 0xD4, 0x60,
                     0x01, 0x01, 0x20, 0x23, 0x11, 0x04, 0x10};
const Bytes kAntennaOn{0xFF, 0x00, 0x00, 0x00, 0x04, 0xD4, 0x32, 0x01, 0x01};
// InDataExchange with a one-block FeliCa read of GetSerial (A2) for the default IDm.
const Bytes kReadSerial{0xFF, 0x00, 0x00, 0x00, 0x14, 0xD4, 0x40, 0x01, 0x11,
                        0x06, 0x03, 0xFE, 0x00, 0x24, 0x00, 0x00, 0x01, 0x02,
                        0x01, 0x0B, 0x00, 0x01, 0x00, 0xA2, 0x00};

// A plain PC/SC client of the fixture's reader.
class Client {
  public:
    explicit Client(const std::string& reader) {
        ok = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) ==
                 SCARD_S_SUCCESS &&
             SCardConnect(context, reader.c_str(), SCARD_SHARE_SHARED,
                          SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card,
                          &protocol) == SCARD_S_SUCCESS;
    }
    ~Client() {
        if (card) SCardDisconnect(card, SCARD_LEAVE_CARD);
        if (context) SCardReleaseContext(context);
    }
    LONG transmit(const Bytes& command, Bytes& answer) {
        SCARD_IO_REQUEST io{protocol, sizeof(SCARD_IO_REQUEST)};
        uint8_t buffer[512];
        DWORD length = sizeof buffer;
        LONG result = SCardTransmit(card, &io, command.data(), static_cast<DWORD>(command.size()),
                                    &io, buffer, &length);
        answer.assign(buffer, buffer + (result == SCARD_S_SUCCESS ? length : 0));
        return result;
    }
    // Direct transmit, then Get Response with the Le of its 61 Le answer.
    Bytes exchange(const Bytes& command) {
        Bytes first, answer;
        if (transmit(command, first) != SCARD_S_SUCCESS || first.size() != 2 || first[0] != 0x61)
            return first;
        transmit(Bytes{0xFF, 0xC0, 0x00, 0x00, first[1]}, answer);
        return answer;
    }
    bool ok = false;

  private:
    SCARDCONTEXT context = 0;
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
};

class StopwatchSimOnPcscd : public ::testing::Test {
  protected:
    PcscdFixture rig;
    void SetUp() override { LAPDEX_START_PCSCD(rig); }
};

TEST_F(StopwatchSimOnPcscd, PcscdCarriesPollingAndFelicaReads) {
    auto laid = rig.layStopwatch({"--serial", "0a0b0c0d0e0f", "--transcript"});
    ASSERT_TRUE(laid) << laid.error;
    Client client(rig.readerName());
    ASSERT_TRUE(client.ok);
    Bytes polled = client.exchange(kPolling);
    ASSERT_EQ(polled.size(), 26u);
    EXPECT_EQ(Bytes(polled.begin() + 8, polled.begin() + 16),
              (Bytes{0x03, 0xFE, 0x00, 0x24, 0x00, 0x00, 0x01, 0x02}));
    client.exchange(kAntennaOn);
    Bytes serial = client.exchange(kReadSerial);
    ASSERT_EQ(serial.size(), 34u);
    EXPECT_EQ(serial[4], 0x07);
    EXPECT_EQ(Bytes(serial.begin() + 16, serial.begin() + 22),
              (Bytes{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}));
    EXPECT_NE(rig.simulatorOutput().find("> FF C0 00 00 18\n< D5 61 01"), std::string::npos);
}

TEST_F(StopwatchSimOnPcscd, LiftAfterTakesTheStopwatchOffTheReader) {
    auto laid = rig.layStopwatch({"--lift-after", "2"});
    ASSERT_TRUE(laid) << laid.error;
    {
        Client client(rig.readerName());
        ASSERT_TRUE(client.ok);
        EXPECT_EQ(client.exchange(kPolling).size(), 26u);
        Bytes answer;
        // vpcd answers the APDU in flight when the card leaves with nothing, then fails.
        LONG first = client.transmit(kPolling, answer);
        LONG second = client.transmit(kPolling, answer);
        EXPECT_TRUE(first != SCARD_S_SUCCESS || answer.size() < 2 || second != SCARD_S_SUCCESS);
    }
    auto gone = rig.waitStopwatchGone();
    EXPECT_TRUE(gone) << gone.error;
    EXPECT_NE(rig.simulatorOutput().find("lifted after 2 APDUs"), std::string::npos);
}

// vpcd's kernel socket takes a second card's connection but vpcd never speaks to it: the
// second simulator says why and ends instead of waiting forever.
TEST_F(StopwatchSimOnPcscd, SecondSimulatorOnATakenPortSaysSoAndEnds) {
    auto laid = rig.layStopwatch({});
    ASSERT_TRUE(laid) << laid.error;
    testsupport::ChildProcess second;
    std::string error;
    const std::string log = rig.folder() + "/second-sim.log";
    ASSERT_TRUE(
        second.start({STOPWATCH_SIM_PATH, "--port", std::to_string(rig.port())}, log, error))
        << error;
    int status = 0;
    ASSERT_TRUE(second.waitExit(15000, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    std::ifstream file(log);
    const std::string said((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("another stopwatch lies on that reader"), std::string::npos) << said;
    EXPECT_EQ(said.find("on the reader"), std::string::npos) << said;
}

// The clients of one process follow one socket, so a second fixture waits for the first to end;
// its own port is free and away from the system's vpcd port.
TEST_F(StopwatchSimOnPcscd, SecondFixtureOfOneProcessIsRefusedOnItsOwnPort) {
    PcscdFixture second;
    EXPECT_NE(second.port(), rig.port());
    EXPECT_NE(second.port(), 0x8C7B);
    EXPECT_NE(second.port() + 1, rig.port());
    auto started = second.start();
    EXPECT_FALSE(started);
    EXPECT_NE(started.error.find("another fixture of this process"), std::string::npos)
        << started.error;
    const char* socket = std::getenv("PCSCLITE_CSOCK_NAME");
    EXPECT_EQ(std::string(socket ? socket : ""), PcscdFixture::socketPath());
}

}  // namespace
