// The ACR122U emulation: 61 Le and Get Response, polling answers, and FeliCa exchanges
// laid out at the offsets that the reader library checks.
#include <gtest/gtest.h>

#include "acs/acs_emulator.h"

namespace sim {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kPolling{0xFF, 0x00, 0x00, 0x00, 0x09, 0xD4, 0x60, 0x01, 0x01, 0x20, 0x23, 0x11, 0x04, 0x10};
const Bytes kAntennaOn{0xFF, 0x00, 0x00, 0x00, 0x04, 0xD4, 0x32, 0x01, 0x01};
const Bytes kAntennaOff{0xFF, 0x00, 0x00, 0x00, 0x04, 0xD4, 0x32, 0x01, 0x00};

Bytes getResponse(uint8_t le) { return Bytes{0xFF, 0xC0, 0x00, 0x00, le}; }

// Direct transmit of InDataExchange with a FeliCa read of `list` (3 bytes per block).
Bytes felicaRead(const std::array<uint8_t, 8>& idm, const Bytes& list) {
    auto n = static_cast<uint8_t>(list.size() / 3);
    Bytes apdu{0xFF, 0x00, 0x00, 0x00, static_cast<uint8_t>(3 * n + 17), 0xD4, 0x40, 0x01,
               static_cast<uint8_t>(3 * n + 14), 0x06};
    apdu.insert(apdu.end(), idm.begin(), idm.end());
    apdu.insert(apdu.end(), {0x01, 0x0B, 0x00, n});
    apdu.insert(apdu.end(), list.begin(), list.end());
    return apdu;
}

Bytes felicaWrite(const std::array<uint8_t, 8>& idm, const Bytes& data) {
    auto n = static_cast<uint8_t>(data.size() / 16);
    Bytes apdu{0xFF, 0x00, 0x00, 0x00, static_cast<uint8_t>(19 * n + 17), 0xD4, 0x40, 0x01,
               static_cast<uint8_t>(19 * n + 14), 0x08};
    apdu.insert(apdu.end(), idm.begin(), idm.end());
    apdu.insert(apdu.end(), {0x01, 0x0B, 0x00, n});
    apdu.insert(apdu.end(), static_cast<size_t>(3 * n), 0x00);
    apdu.insert(apdu.end(), data.begin(), data.end());
    return apdu;
}

// Sends a direct transmit and fetches its answer as the library does.
Bytes roundTrip(AcsEmulator& acs, const Bytes& apdu) {
    Bytes first = acs.transmit(apdu);
    EXPECT_EQ(first.size(), 2u);
    if (first.size() != 2 || first[0] != 0x61) return first;
    return acs.transmit(getResponse(first[1]));
}

class AcsEmulatorTest : public ::testing::Test {
protected:
    Stopwatch card;
    AcsEmulator acs{&card};

    void SetUp() override {
        acs.powerOn();
        roundTrip(acs, kAntennaOn);
        roundTrip(acs, kPolling);
    }
};

TEST_F(AcsEmulatorTest, PollingAnswerIs26BytesWithIdmAndPmm) {
    Bytes first = acs.transmit(kPolling);
    ASSERT_EQ(first, (Bytes{0x61, 24}));
    Bytes answer = acs.transmit(getResponse(first[1]));
    ASSERT_EQ(answer.size(), 26u);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 2), (Bytes{0xD5, 0x61}));
    EXPECT_EQ(Bytes(answer.begin() + 8, answer.begin() + 16), Bytes(card.idm.begin(), card.idm.end()));
    EXPECT_EQ(Bytes(answer.begin() + 16, answer.begin() + 24), Bytes(card.pmm.begin(), card.pmm.end()));
    EXPECT_EQ(Bytes(answer.begin() + 24, answer.end()), (Bytes{0x90, 0x00}));
}

TEST(AcsEmulatorNoCard, PollingAnswers6105AndExchangesTimeOut) {
    AcsEmulator acs(nullptr);
    acs.powerOn();
    EXPECT_EQ(acs.transmit(kPolling), (Bytes{0x61, 0x05}));
    EXPECT_EQ(acs.transmit(getResponse(5)), (Bytes{0xD5, 0x61, 0x00, 0x90, 0x00}));
    Stopwatch card;
    EXPECT_EQ(roundTrip(acs, felicaRead(card.idm, {0x00, 0xA2, 0x00})), (Bytes{0xD5, 0x41, 0x01, 0x90, 0x00}));
}

TEST_F(AcsEmulatorTest, ReadAnswerCarriesResponseCodeIdmFlagsCountAndData) {
    Bytes answer = roundTrip(acs, felicaRead(card.idm, {0x00, 0xA2, 0x00}));
    ASSERT_EQ(answer.size(), 16u + 16u + 2u);
    EXPECT_EQ(answer[4], 0x07);
    EXPECT_EQ(Bytes(answer.begin() + 5, answer.begin() + 13), Bytes(card.idm.begin(), card.idm.end()));
    EXPECT_EQ(answer[13], 0x00);
    EXPECT_EQ(answer[14], 0x00);
    EXPECT_EQ(answer[15], 1);
    EXPECT_EQ(Bytes(answer.begin() + 16, answer.begin() + 22), Bytes(card.serial.begin(), card.serial.end()));
    EXPECT_EQ(answer[3], answer.size() - 2 - 3);  // the FeliCa length byte counts itself
}

TEST_F(AcsEmulatorTest, TwelveBlockWriteIsAcceptedAndAnswered) {
    Bytes data(192, 0);
    data[0] = 0xD3;
    data[1] = 0x00;
    data[2] = 0x10;
    data[3] = 188;
    data[4] = 0x42;
    Bytes apdu = felicaWrite(card.idm, data);
    ASSERT_EQ(apdu.size(), 250u);
    EXPECT_EQ(apdu[4], 245);
    Bytes answer = roundTrip(acs, apdu);
    ASSERT_EQ(answer.size(), 15u + 2u);
    EXPECT_EQ(answer[4], 0x09);
    EXPECT_EQ(answer[13], 0x00);
    EXPECT_EQ(answer[14], 0x00);
    EXPECT_EQ(card.e2p[0x1000], 0x42);
}

TEST_F(AcsEmulatorTest, RefusedCommandsSetStatusFlags) {
    Bytes answer = roundTrip(acs, felicaRead(card.idm, {0x00, 0xEE, 0x00}));
    ASSERT_GE(answer.size(), 15u);
    EXPECT_EQ(answer[4], 0x07);
    EXPECT_NE(answer[13], 0x00);
    answer = roundTrip(acs, felicaWrite(card.idm, Bytes(16, 0xEE)));
    EXPECT_NE(answer[13], 0x00);
}

TEST_F(AcsEmulatorTest, ForeignIdmOrMissingPollGetsNoAnswer) {
    std::array<uint8_t, 8> other = card.idm;
    other[7] ^= 0xFF;
    EXPECT_EQ(roundTrip(acs, felicaRead(other, {0x00, 0xA2, 0x00})), (Bytes{0xD5, 0x41, 0x01, 0x90, 0x00}));
    // A new connection powers the card up: it must be polled before it answers.
    acs.powerOn();
    roundTrip(acs, kAntennaOn);
    EXPECT_EQ(roundTrip(acs, felicaRead(card.idm, {0x00, 0xA2, 0x00})), (Bytes{0xD5, 0x41, 0x01, 0x90, 0x00}));
}

TEST_F(AcsEmulatorTest, FieldOffStopsExchangesUntilSwitchedOnAgain) {
    roundTrip(acs, kAntennaOff);
    EXPECT_FALSE(acs.fieldOn());
    EXPECT_EQ(roundTrip(acs, felicaRead(card.idm, {0x00, 0xA2, 0x00})).size(), 5u);
    roundTrip(acs, kAntennaOn);
    EXPECT_EQ(roundTrip(acs, felicaRead(card.idm, {0x00, 0xA2, 0x00})).size(), 34u);
}

TEST(AcsEmulatorFraming, MalformedApdusAreRefusedWithStatusWords) {
    Stopwatch card;
    AcsEmulator acs(&card);
    EXPECT_EQ(acs.transmit(getResponse(5)), (Bytes{0x6F, 0x00}));  // nothing pending
    EXPECT_EQ(acs.transmit(Bytes{0xFF, 0x00, 0x00, 0x00, 0x05, 0xD4, 0x32}), (Bytes{0x67, 0x00}));
    EXPECT_EQ(acs.transmit(Bytes{0x00, 0xA4, 0x04, 0x00, 0x00}), (Bytes{0x6E, 0x00}));
}

}  // namespace
}  // namespace sim

namespace sim {
namespace {

// A reader answering at once gives every controller answer with 90 00 directly, byte for
// byte what Get Response fetches from a reader of the other style.
TEST(AcsEmulatorDirect, AnswersWhatGetResponseWouldFetch) {
    Stopwatch card;
    AcsEmulator fetched(&card, AcsAnswers::GetResponse);
    AcsEmulator direct(&card, AcsAnswers::Direct);
    fetched.powerOn();
    direct.powerOn();
    const Bytes commands[] = {kAntennaOn, kPolling, felicaRead(card.idm, {0x00, 0xA2, 0x00}),
                              felicaWrite(card.idm, Bytes(16, 0x00)), kAntennaOff};
    for (const Bytes& command : commands) {
        const Bytes first = fetched.transmit(command);
        ASSERT_EQ(first.size(), 2u);
        ASSERT_EQ(first[0], 0x61);
        const Bytes answer = direct.transmit(command);
        EXPECT_EQ(answer, fetched.transmit(getResponse(first[1])));
        ASSERT_GE(answer.size(), 4u);
        EXPECT_EQ(answer[0], 0xD5);
        EXPECT_EQ(Bytes(answer.end() - 2, answer.end()), (Bytes{0x90, 0x00}));
    }
    EXPECT_EQ(direct.transmit(getResponse(5)), (Bytes{0x6F, 0x00}));  // nothing waits
    EXPECT_FALSE(direct.fieldOn());
}

TEST(AcsEmulatorDirect, EmptyFieldAndTimeoutAreAnsweredAtOnce) {
    AcsEmulator direct(nullptr, AcsAnswers::Direct);
    direct.powerOn();
    EXPECT_EQ(direct.transmit(kPolling), (Bytes{0xD5, 0x61, 0x00, 0x90, 0x00}));
    Stopwatch card;
    EXPECT_EQ(direct.transmit(felicaRead(card.idm, {0x00, 0xA2, 0x00})),
              (Bytes{0xD5, 0x41, 0x01, 0x90, 0x00}));
}

}  // namespace
}  // namespace sim
