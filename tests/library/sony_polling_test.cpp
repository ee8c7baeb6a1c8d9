// Polling through a Sony reader: Get Data for the IDm and the PMm, pmmStore, and the
// results 0, 1 and 2.
#include "library_fixture.h"

namespace rdcom32::test {
namespace {

const Bytes kPmm = {0x00, 0xF1, 0x00, 0x00, 0x00, 0x01, 0x43, 0x00};

class SonyPolling : public LibraryFixture {
  protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        standin().useSonyReader();
        openLogged();
    }
    void failPmmQuery() {
        standin().sonyFaults.list = {{sim::SonyCommand::GetPmm, 0, 0x6A, 0x81, 0}};
    }
    int32_t poll() { return RDCAA_Polling(idm, pmm); }

    uint8_t idm[8] = {};
    uint8_t pmm[8] = {};
};

TEST_F(SonyPolling, AsksForIdmAndPmmWithoutSelectingTheService) {
    ASSERT_EQ(poll(), 1);
    EXPECT_EQ(Bytes(idm, idm + 8), kDefaultIdm);
    EXPECT_EQ(Bytes(pmm, pmm + 8), kPmm);
    ASSERT_EQ(standin().transcript.size(), 2u);
    EXPECT_EQ(standin().transcript[0].command, hex("FF CA 00 00 00"));
    EXPECT_EQ(standin().transcript[1].command, hex("FF CA 01 00 00"));
    const std::vector<std::string> expected = {
        "SonyReader/Polling", "SonyReader/Polling/SetPolling: Polling Command", "SonyReader/GetPmm",
        "SonyReader/GetPmm/SetPolling: Polling Get PMm Command"};
    std::vector<std::string> lines;
    for (const std::string& text : logTexts()) {
        if (text.rfind("SonyReader/", 0) == 0) lines.push_back(text);
    }
    EXPECT_EQ(lines, expected);
}

TEST_F(SonyPolling, ForeignCardGivesTwo) {
    stopwatch->idm = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    EXPECT_EQ(poll(), 2);
    EXPECT_EQ(Bytes(idm, idm + 8), hex("01 02 03 04 05 06 07 08"));
}

TEST_F(SonyPolling, FailedPmmQueryGivesZeroAndTheFormerPmm) {
    failPmmQuery();
    EXPECT_EQ(poll(), 0);
    EXPECT_EQ(Bytes(idm, idm + 8), kDefaultIdm);
    EXPECT_EQ(Bytes(pmm, pmm + 8), Bytes(8, 0x00));  // pmmStore is still zero
    EXPECT_FALSE(logHas("SonyReader/ValidateData: Function not supported"));

    standin().sonyFaults.list.clear();
    ASSERT_EQ(poll(), 1);  // pmmStore now holds the card's PMm
    stopwatch->pmm = {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11};
    failPmmQuery();
    std::fill(std::begin(pmm), std::end(pmm), 0xEE);
    EXPECT_EQ(poll(), 0);
    EXPECT_EQ(Bytes(pmm, pmm + 8), kPmm);
}

TEST_F(SonyPolling, PmmAnswerWithoutThePmmLeavesPmmStoreAlone) {
    ASSERT_EQ(poll(), 1);
    // 90 00 alone: the reader sent no PMm bytes to take.
    standin().sonyFaults.list = {{sim::SonyCommand::GetPmm, 0, 0x6A, 0x82, 8}};
    stopwatch->pmm = {0x22, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22};
    EXPECT_EQ(poll(), 0);
    EXPECT_EQ(standin().transcript.back().answer, hex("90 00"));
    EXPECT_EQ(Bytes(pmm, pmm + 8), kPmm);
}

TEST_F(SonyPolling, TransmitFailuresAndShortIdmAnswers) {
    standin().failTransmitAt = 1;
    EXPECT_EQ(poll(), 0);
    EXPECT_TRUE(logHas("SonyReader/Polling/SetPolling: Polling Command error"));
    EXPECT_EQ(standin().transcript.size(), 1u);

    standin().failTransmitAt = 3;  // the PMm query of the next poll
    EXPECT_EQ(poll(), 0);
    EXPECT_TRUE(logHas("SonyReader/GetPmm/SetPolling: Polling Command Get PMm error"));
    EXPECT_EQ(Bytes(idm, idm + 8), kDefaultIdm);

    standin().failTransmitAt = 0;
    standin().sonyFaults.list = {{sim::SonyCommand::GetIdm, 0, 0, 0, 1}};
    std::fill(std::begin(idm), std::end(idm), 0xEE);
    EXPECT_EQ(poll(), 0);
    EXPECT_TRUE(logHas("SonyReader/Polling/SetPolling: Polling Command Length error"));
    EXPECT_EQ(idm[0], 0xEE);
    EXPECT_EQ(standin().transcript.size(), 4u);  // no PMm query after a refused IDm
}

}  // namespace
}  // namespace rdcom32::test
