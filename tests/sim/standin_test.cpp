// The in-process PC/SC stand-in: reader lists, connect refusals, scripted transmit
// faults, lifted cards, tampered answers and the transcript.
#include <gtest/gtest.h>
#include <winscard.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "standin/pcsc_standin.h"

namespace sim {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kPolling{0xFF, 0x00, 0x00, 0x00, 0x09, 0xD4, 0x60, 0x01, 0x01, 0x20, 0x23, 0x11, 0x04, 0x10};

class StandinTest : public ::testing::Test {
protected:
    Standin& standin = Standin::instance();
    SCARDCONTEXT context = 0;
    SCARDHANDLE card = 0;

    void SetUp() override {
        standin.reset();
        ASSERT_EQ(SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context), SCARD_S_SUCCESS);
    }
    void TearDown() override { standin.reset(); }

    LONG connect(const char* name) {
        DWORD protocol = 0;
        return SCardConnect(context, name, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol);
    }

    LONG transmit(const Bytes& command, Bytes& answer) {
        SCARD_IO_REQUEST io{SCARD_PROTOCOL_T1, 8};
        uint8_t buffer[512];
        DWORD length = sizeof buffer;
        LONG result = SCardTransmit(card, &io, command.data(), static_cast<DWORD>(command.size()), &io, buffer, &length);
        answer.assign(buffer, buffer + (result == SCARD_S_SUCCESS ? length : 0));
        return result;
    }
};

TEST_F(StandinTest, ListsReadersInOrderWithTheTwoCallPattern) {
    standin.readers = {{"Generic Reader 00 00"}, {"ACS ACR122U PICC Interface 00 00"}};
    DWORD length = 0;
    ASSERT_EQ(SCardListReaders(context, nullptr, nullptr, &length), SCARD_S_SUCCESS);
    std::string list(length, 'x');
    DWORD small = length - 1;
    EXPECT_EQ(SCardListReaders(context, nullptr, list.data(), &small), SCARD_E_INSUFFICIENT_BUFFER);
    ASSERT_EQ(SCardListReaders(context, nullptr, list.data(), &length), SCARD_S_SUCCESS);
    EXPECT_EQ(list, std::string("Generic Reader 00 00\0ACS ACR122U PICC Interface 00 00\0\0", length));

    standin.readers.clear();
    EXPECT_EQ(SCardListReaders(context, nullptr, nullptr, &length), SCARD_E_NO_READERS_AVAILABLE);
    standin.readers = {{"ACS"}};
    standin.failListAt = standin.listCount + 2;
    EXPECT_EQ(SCardListReaders(context, nullptr, nullptr, &length), SCARD_S_SUCCESS);
    EXPECT_EQ(SCardListReaders(context, nullptr, list.data(), &length), SCARD_E_NO_SERVICE);
}

TEST_F(StandinTest, ConnectNeedsACardAndCanBeRefused) {
    EXPECT_EQ(connect("ACS ACR122U PICC Interface 00 00"), SCARD_E_NO_SMARTCARD);
    EXPECT_EQ(connect("Nobody"), SCARD_E_UNKNOWN_READER);
    standin.layCard();
    standin.readers[0].refuseConnect = true;
    EXPECT_EQ(connect("ACS ACR122U PICC Interface 00 00"), SCARD_E_SHARING_VIOLATION);
    standin.readers[0].refuseConnect = false;
    EXPECT_EQ(connect("ACS ACR122U PICC Interface 00 00"), SCARD_S_SUCCESS);
    EXPECT_EQ(SCardDisconnect(card, SCARD_LEAVE_CARD), SCARD_S_SUCCESS);
    EXPECT_EQ(standin.connectCount, 4);
    EXPECT_EQ(standin.disconnectCount, 1);
    EXPECT_EQ(SCardReleaseContext(context), SCARD_S_SUCCESS);
    EXPECT_EQ(SCardReleaseContext(context), SCARD_E_INVALID_HANDLE);
    EXPECT_EQ(standin.openContexts(), 0);
}

TEST_F(StandinTest, CardLiesOnTheAcsReaderEvenWhenAForeignOneComesFirst) {
    standin.readers = {{"Generic Reader 00 00"}, {"ACS ACR122U PICC Interface 00 00"}};
    standin.layCard();
    EXPECT_EQ(connect("Generic Reader 00 00"), SCARD_E_NO_SMARTCARD);
    EXPECT_EQ(connect("ACS ACR122U PICC Interface 00 00"), SCARD_S_SUCCESS);
}

TEST_F(StandinTest, FaultsAndTamperingShowInTheTranscript) {
    standin.layCard();
    ASSERT_EQ(connect("ACS ACR122U PICC Interface 00 00"), SCARD_S_SUCCESS);
    standin.failTransmitAt = 2;
    standin.liftCardAt = 4;
    standin.tamper = [](int index, Bytes& answer) {
        if (index == 3) answer = {0x61, 0x05};
    };
    Bytes answer;
    EXPECT_EQ(transmit(kPolling, answer), SCARD_S_SUCCESS);
    EXPECT_EQ(answer, (Bytes{0x61, 24}));
    EXPECT_EQ(transmit(kPolling, answer), static_cast<LONG>(0x80100016));
    EXPECT_EQ(transmit(kPolling, answer), SCARD_S_SUCCESS);
    EXPECT_EQ(answer, (Bytes{0x61, 0x05}));
    EXPECT_EQ(transmit(kPolling, answer), SCARD_W_REMOVED_CARD);
    EXPECT_EQ(standin.card, nullptr);

    ASSERT_EQ(standin.transcript.size(), 4u);
    EXPECT_EQ(standin.transcript[0].command, kPolling);
    EXPECT_EQ(standin.transcript[1].result, 0x80100016L);
    EXPECT_TRUE(standin.transcript[1].answer.empty());
    EXPECT_EQ(standin.transcript[2].answer, (Bytes{0x61, 0x05}));
    EXPECT_EQ(standin.transcript[3].result, SCARD_W_REMOVED_CARD);
}

TEST_F(StandinTest, FailedTransmitLeavesTheReceiveLengthAlone) {
    standin.layCard();
    ASSERT_EQ(connect("ACS ACR122U PICC Interface 00 00"), SCARD_S_SUCCESS);
    standin.failTransmitAt = 1;
    SCARD_IO_REQUEST io{SCARD_PROTOCOL_T1, 8};
    uint8_t buffer[512];
    DWORD length = sizeof buffer;
    EXPECT_NE(SCardTransmit(card, &io, kPolling.data(), static_cast<DWORD>(kPolling.size()), &io, buffer, &length),
              SCARD_S_SUCCESS);
    EXPECT_EQ(length, 512u);
}

TEST_F(StandinTest, ReusedReceiveHeaderFailsAsWithPcscLite) {
    standin.layCard();
    ASSERT_EQ(connect("ACS ACR122U PICC Interface 00 00"), SCARD_S_SUCCESS);
    SCARD_IO_REQUEST io{SCARD_PROTOCOL_T1, 8};
    uint8_t buffer[512];
    DWORD length = sizeof buffer;
    auto send = [&] { return SCardTransmit(card, &io, kPolling.data(), static_cast<DWORD>(kPolling.size()), &io, buffer, &length); };
    EXPECT_EQ(send(), SCARD_S_SUCCESS);
    EXPECT_EQ(send(), SCARD_E_PROTO_MISMATCH);
    io = {SCARD_PROTOCOL_T1, 8};
    EXPECT_EQ(send(), SCARD_S_SUCCESS);
}

TEST_F(StandinTest, StatusChangeReportsPresenceAndTimesOutWithoutChange) {
    SCARD_READERSTATE state{};
    state.szReader = "ACS ACR122U PICC Interface 00 00";
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    ASSERT_EQ(SCardGetStatusChange(context, 0, &state, 1), SCARD_S_SUCCESS);
    EXPECT_TRUE(state.dwEventState & SCARD_STATE_EMPTY);
    state.dwCurrentState = state.dwEventState & ~SCARD_STATE_CHANGED;
    EXPECT_EQ(SCardGetStatusChange(context, 0, &state, 1), SCARD_E_TIMEOUT);
    standin.layCard();
    ASSERT_EQ(SCardGetStatusChange(context, 0, &state, 1), SCARD_S_SUCCESS);
    EXPECT_TRUE(state.dwEventState & SCARD_STATE_PRESENT);
    EXPECT_EQ(state.cbAtr, 20u);
}

TEST_F(StandinTest, LockKeepsOtherThreadsOutOfTheScardCalls) {
    standin.layCard();
    ASSERT_EQ(connect("ACS ACR122U PICC Interface 00 00"), SCARD_S_SUCCESS);
    std::atomic<bool> done{false};
    std::thread worker;
    {
        auto guard = standin.lock();
        worker = std::thread([&] {
            Bytes answer;
            transmit(kPolling, answer);
            done = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(done.load());
        EXPECT_TRUE(standin.transcript.empty());
    }
    worker.join();
    EXPECT_EQ(standin.locked([](Standin& s) { return s.transcript.size(); }), 1u);
}

}  // namespace
}  // namespace sim
