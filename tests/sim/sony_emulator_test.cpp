// The Sony reader driver emulation: Get Data, Select File before reads and writes, the
// status words of refusals, scripted faults and short answers; and the stand-in's Sony reader.
#include <gtest/gtest.h>
#include <winscard.h>

#include "sony/sony_emulator.h"
#include "standin/pcsc_standin.h"

namespace sim {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kSelect{0xFF, 0xA4, 0x00, 0x01, 0x02, 0x00, 0xB0};
const Bytes kOk{0x90, 0x00};

Bytes readBinary(const Bytes& list) {
    const auto n = static_cast<uint8_t>(list.size() / 3);
    Bytes apdu{0xFF, 0xB0, 0x80, n, static_cast<uint8_t>(3 * n)};
    apdu.insert(apdu.end(), list.begin(), list.end());
    return apdu;
}

Bytes updateBinary(const Bytes& data) {
    const auto n = static_cast<uint8_t>(data.size() / 16);
    Bytes apdu{0xFF, 0xD6, 0x80, n, static_cast<uint8_t>(19 * n)};
    apdu.insert(apdu.end(), static_cast<size_t>(3 * n), 0x00);
    apdu.insert(apdu.end(), data.begin(), data.end());
    return apdu;
}

Bytes block(std::initializer_list<uint8_t> head) {
    Bytes data(head);
    data.resize(16, 0x00);
    return data;
}

class SonyEmulatorTest : public ::testing::Test {
protected:
    Stopwatch card;
    SonyFaults faults;
    SonyEmulator sony{&card, &faults};
};

TEST_F(SonyEmulatorTest, GetDataGivesIdmAndPmm) {
    Bytes idm(card.idm.begin(), card.idm.end());
    idm.insert(idm.end(), kOk.begin(), kOk.end());
    EXPECT_EQ(sony.transmit(Bytes{0xFF, 0xCA, 0x00, 0x00, 0x00}), idm);
    Bytes pmm(card.pmm.begin(), card.pmm.end());
    pmm.insert(pmm.end(), kOk.begin(), kOk.end());
    EXPECT_EQ(sony.transmit(Bytes{0xFF, 0xCA, 0x01, 0x00, 0x00}), pmm);
    EXPECT_EQ(sony.transmit(Bytes{0xFF, 0xCA, 0x02, 0x00, 0x00}), (Bytes{0x6A, 0x81}));
}

TEST_F(SonyEmulatorTest, ReadsAndWritesNeedTheServiceSelected) {
    const Bytes serialRead = readBinary({0x00, 0xA2, 0x00});
    EXPECT_EQ(sony.transmit(serialRead), (Bytes{0x69, 0x86}));
    EXPECT_EQ(sony.transmit(Bytes{0xFF, 0xA4, 0x00, 0x01, 0x02, 0x10, 0x09}), (Bytes{0x6A, 0x82}));
    EXPECT_FALSE(sony.serviceSelected());
    EXPECT_EQ(sony.transmit(kSelect), kOk);
    const Bytes answer = sony.transmit(serialRead);
    ASSERT_EQ(answer.size(), 18u);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 6), Bytes(card.serial.begin(), card.serial.end()));
    EXPECT_EQ(Bytes(answer.end() - 2, answer.end()), kOk);
    sony.powerOn();  // a new connection forgets the selection
    EXPECT_EQ(sony.transmit(updateBinary(block({0xA7, 0x01, 0x00}))), (Bytes{0x69, 0x86}));
    EXPECT_EQ(card.beepCount, 0);
}

TEST_F(SonyEmulatorTest, RefusalsAndMalformedCommandsHaveTheirStatusWords) {
    ASSERT_EQ(sony.transmit(kSelect), kOk);
    EXPECT_EQ(sony.transmit(readBinary({0x00, 0x7F, 0x00})), (Bytes{0x6A, 0x82}));  // unknown code
    EXPECT_EQ(sony.transmit(updateBinary(block({0x7F}))), (Bytes{0x65, 0x81}));
    Bytes wrongLc = readBinary({0x00, 0xA2, 0x00});
    wrongLc[4] = 4;
    EXPECT_EQ(sony.transmit(wrongLc), (Bytes{0x67, 0x00}));
    EXPECT_EQ(sony.transmit(Bytes{0x00, 0xB0, 0x80, 0x01}), (Bytes{0x6E, 0x00}));
    EXPECT_EQ(sony.transmit(Bytes{0xFF, 0x00, 0x00, 0x00, 0x02, 0xD4, 0x02}), (Bytes{0x6D, 0x00}));
    EXPECT_EQ(sony.transmit(updateBinary(block({0xA7, 0x02, 0x01}))), kOk);
    EXPECT_EQ(card.lastBeep, (std::array<uint8_t, 2>{0x02, 0x01}));
}

TEST_F(SonyEmulatorTest, FaultsHitTheirOccurrenceOnly) {
    faults.list = {{SonyCommand::ReadBinary, 2, 0x6A, 0x83, 0}, {SonyCommand::ReadBinary, 3, 0, 0, 4}};
    ASSERT_EQ(sony.transmit(kSelect), kOk);
    const Bytes read = readBinary({0x00, 0xA1, 0x00});
    EXPECT_EQ(sony.transmit(read).size(), 18u);
    EXPECT_EQ(sony.transmit(read), (Bytes{0x6A, 0x83}));
    const Bytes shortAnswer = sony.transmit(read);
    ASSERT_EQ(shortAnswer.size(), 14u);
    EXPECT_EQ(Bytes(shortAnswer.end() - 2, shortAnswer.end()), kOk);
    EXPECT_EQ(sony.transmit(read).size(), 18u);
    EXPECT_EQ(faults.seen[static_cast<size_t>(SonyCommand::ReadBinary)], 4);
    EXPECT_EQ(faults.seen[static_cast<size_t>(SonyCommand::SelectFile)], 1);
}

TEST_F(SonyEmulatorTest, StatusFaultOnAWriteLeavesTheStopwatchAlone) {
    faults.list = {{SonyCommand::UpdateBinary, 0, 0x65, 0x81, 0}};
    ASSERT_EQ(sony.transmit(kSelect), kOk);
    EXPECT_EQ(sony.transmit(updateBinary(block({0xB3, 0x00}))), (Bytes{0x65, 0x81}));
    EXPECT_TRUE(card.eraseRunParams.empty());
}

TEST(StandinSonyReader, ConnectsAndAnswersAsTheSonyDriver) {
    Standin& standin = Standin::instance();
    standin.reset();
    standin.useSonyReader();
    auto card = standin.layCard();
    SCARDCONTEXT context = 0;
    ASSERT_EQ(SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context), SCARD_S_SUCCESS);
    SCARDHANDLE handle = 0;
    DWORD protocol = 0;
    ASSERT_EQ(SCardConnect(context, kSonyReaderName, SCARD_SHARE_SHARED,
                           SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &handle, &protocol),
              SCARD_S_SUCCESS);
    standin.sonyFaults.list = {{SonyCommand::GetPmm, 0, 0x6A, 0x81, 0}};
    SCARD_IO_REQUEST io{SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};
    uint8_t answer[512];
    DWORD length = sizeof answer;
    const uint8_t getPmm[] = {0xFF, 0xCA, 0x01, 0x00, 0x00};
    ASSERT_EQ(SCardTransmit(handle, &io, getPmm, sizeof getPmm, nullptr, answer, &length), SCARD_S_SUCCESS);
    EXPECT_EQ(Bytes(answer, answer + length), (Bytes{0x6A, 0x81}));
    ASSERT_EQ(standin.transcript.size(), 1u);
    EXPECT_EQ(standin.transcript[0].answer, (Bytes{0x6A, 0x81}));
    standin.reset();
    EXPECT_TRUE(standin.sonyFaults.list.empty());
    EXPECT_EQ(standin.sonyFaults.seen[static_cast<size_t>(SonyCommand::GetPmm)], 0);
}

}  // namespace
}  // namespace sim
