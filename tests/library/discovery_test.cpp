// Reader discovery and connection: choice of reader, failures and the PC/SC context.
#include "library_fixture.h"

namespace rdcom32::test {
namespace {

const std::string kAcs = "ACS ACR122U PICC Interface 00 00";

sim::StandinReader foreign(const std::string& name) {
    return sim::StandinReader{name, sim::ReaderEmulation::Acs, false};
}

class Discovery : public LibraryFixture {
  protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
        ASSERT_EQ(RDCAA_InitDll(nullptr), 1);
    }
};

TEST_F(Discovery, ForeignReaderBeforeAcsReaderIsPassedOver) {
    standin().readers = {foreign("Gemalto PC Twin Reader 00 00"), foreign(kAcs)};
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    EXPECT_EQ(standin().connectedReaders, std::vector<std::string>{kAcs});
    EXPECT_TRUE(logHas("Found ACS Card Reader"));
    EXPECT_TRUE(logHas("Find Card Reader: Cerd Connect successfully"));
    EXPECT_EQ(standin().openContexts(), 1);
}

TEST_F(Discovery, OnlyForeignReadersGiveFailure) {
    standin().readers = {foreign("Gemalto PC Twin Reader 00 00"), foreign("acs lower case 00 00")};
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    EXPECT_TRUE(logHas("Find Card Reader: failure"));
    EXPECT_EQ(standin().connectCount, 0);
    EXPECT_EQ(standin().openContexts(), 0);
    EXPECT_EQ(standin().releaseCount, 1);
}

TEST_F(Discovery, SonyReaderIsServedInListOrder) {
    const std::string sony = sim::kSonyReaderName;
    standin().readers = {foreign("Gemalto PC Twin Reader 00 00"),
                         {sony, sim::ReaderEmulation::Sony, false}, foreign(kAcs)};
    standin().cardReader = sony;
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    EXPECT_EQ(standin().connectedReaders, std::vector<std::string>{sony});
    EXPECT_TRUE(logHas("Found SONY Card Reader"));
    EXPECT_FALSE(logHas("Found ACS Card Reader"));
    ASSERT_EQ(RDCAA_CloseFelica(), 1);
    const std::vector<std::string> texts = logTexts();
    const std::vector<std::string> tail(texts.end() - 2, texts.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"SonyReader/ReleaseCardReader",
                                              "SonyReader/ReleaseCardReader: successfully"}));
    EXPECT_EQ(standin().establishCount, 1);
    EXPECT_EQ(standin().releaseCount, 1);
}

TEST_F(Discovery, NameWithBothMarkersGetsTheAcsReader) {
    const std::string both = "Sony ACS Combo Reader 00 00";
    standin().readers = {foreign(both)};
    standin().cardReader = both;
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    EXPECT_TRUE(logHas("Found ACS Card Reader"));
    EXPECT_FALSE(logHas("Found SONY Card Reader"));
    uint8_t serial[6] = {};
    EXPECT_EQ(RDCAA_GetSerial(serial), 1);  // spoken to in the ACS framing
    EXPECT_TRUE(logHas("AcsReader/GetSerial"));
    ASSERT_EQ(RDCAA_CloseFelica(), 1);
    EXPECT_TRUE(logHas("AcsReader/ReleaseCardReader: successfully"));
    EXPECT_FALSE(logHas("SonyReader/ReleaseCardReader"));
    EXPECT_EQ(standin().establishCount, 1);
    EXPECT_EQ(standin().releaseCount, 1);
}

TEST_F(Discovery, RefusedSonyConnectionReleasesItsContextOnce) {
    standin().useSonyReader();
    standin().readers[0].refuseConnect = true;
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    const std::vector<std::string> texts = logTexts();
    const std::vector<std::string> tail(texts.end() - 4, texts.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"Found SONY Card Reader", "SonyReader/ReleaseCardReader",
                                        "SonyReader/ReleaseCardReader: successfully",
                                        "Find Card Reader: Cerd Connect NG"}));
    EXPECT_EQ(standin().releaseCount, 1);
    EXPECT_EQ(standin().openContexts(), 0);
}

TEST_F(Discovery, LowerCaseSonyIsForeign) {
    standin().readers = {foreign("sony felica 00 00")};
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    EXPECT_TRUE(logHas("Find Card Reader: failure"));
    EXPECT_EQ(standin().openContexts(), 0);
}

// The CCID driver names Sony's readers in capitals; the first served name in list order
// wins, and "ACS" is looked for before "Sony" and "SONY" in each name.
TEST_F(Discovery, SonyReadersAsTheCcidDriverNamesThem) {
    const std::string s300 = "SONY FeliCa RC-S300/P (0123456) 00 00";
    const std::string s660 = "SONY FeliCa RC-S660/U 00 00";
    const struct {
        std::vector<std::string> names;
        std::string chosen;
        const char* foundLine;
    } cases[] = {
        {{s300}, s300, "Found SONY Card Reader"},
        {{"Gemalto PC Twin Reader 00 00", s660}, s660, "Found SONY Card Reader"},
        {{s660, s300}, s660, "Found SONY Card Reader"},
        {{s300, kAcs}, s300, "Found SONY Card Reader"},
        {{kAcs, s300}, kAcs, "Found ACS Card Reader"},
        {{"SONY ACS Twin 00 00"}, "SONY ACS Twin 00 00", "Found ACS Card Reader"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        RDCAA_ExitDll();
        std::filesystem::remove(logFile());
        standin().reset();
        standin().readers.clear();
        for (const std::string& name : c.names) {
            const bool acs = name.find("ACS") != std::string::npos;
            standin().readers.push_back(
                {name, acs ? sim::ReaderEmulation::Acs : sim::ReaderEmulation::Sony, false});
        }
        standin().cardReader = c.chosen;
        stopwatch = standin().layCard();
        ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
        ASSERT_EQ(RDCAA_InitDll(nullptr), 1);
        ASSERT_EQ(RDCAA_OpenFelica(), 1);
        EXPECT_EQ(standin().connectedReaders, std::vector<std::string>{c.chosen});
        EXPECT_TRUE(logHas(c.foundLine));
        uint8_t serial[6] = {};
        EXPECT_EQ(RDCAA_GetSerial(serial), 1);
        EXPECT_EQ(Bytes(serial, serial + 6),
                  Bytes(stopwatch->serial.begin(), stopwatch->serial.end()));
        ASSERT_EQ(RDCAA_CloseFelica(), 1);
        EXPECT_EQ(standin().openContexts(), 0);
    }
}

TEST_F(Discovery, FirstAcsReaderInListOrderWins) {
    const std::string second = "ACS ACR1252 Dual Reader PICC 01 00";
    standin().readers = {foreign(kAcs), foreign(second)};
    standin().cardReader = second;
    EXPECT_EQ(RDCAA_OpenFelica(), 0);  // the card lies on the later reader
    EXPECT_EQ(standin().connectedReaders, std::vector<std::string>{kAcs});
}

TEST_F(Discovery, FailedConnectReleasesTheContextExactlyOnce) {
    standin().readers[0].refuseConnect = true;
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    EXPECT_EQ(standin().establishCount, 1);
    EXPECT_EQ(standin().releaseCount, 1);
    const std::vector<std::string> texts = logTexts();
    const std::vector<std::string> tail(texts.end() - 4, texts.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"Found ACS Card Reader", "AcsReader/ReleaseCardReader",
                                        "AcsReader/ReleaseCardReader: successfully",
                                        "Find Card Reader: Cerd Connect NG"}));
    // Back in Ready: the operations are refused, and CloseFelica has nothing to close.
    uint8_t serial[6];
    EXPECT_EQ(RDCAA_GetSerial(serial), 0);
    EXPECT_EQ(RDCAA_CloseFelica(), 0);
    EXPECT_TRUE(standin().transcript.empty());
    EXPECT_EQ(standin().releaseCount, 1);
}

TEST_F(Discovery, NoCardRefusesTheSharedConnection) {
    standin().card.reset();
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    EXPECT_EQ(standin().openContexts(), 0);
    standin().layCard();
    EXPECT_EQ(RDCAA_OpenFelica(), 1);
}

TEST_F(Discovery, ServiceFailuresReleaseTheContext) {
    standin().failEstablish = true;
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    EXPECT_EQ(standin().listCount, 0);
    standin().failEstablish = false;
    standin().failListAt = 1;
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    EXPECT_EQ(standin().openContexts(), 0);
    standin().failListAt = 3;  // the second call of this attempt
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    EXPECT_EQ(standin().openContexts(), 0);
    standin().readers.clear();
    EXPECT_EQ(RDCAA_OpenFelica(), 0);
    EXPECT_EQ(standin().openContexts(), 0);
    EXPECT_FALSE(logHas("Find Card Reader: Cerd Connect successfully"));
}

TEST_F(Discovery, EachConnectionUsesAFreshContext) {
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    ASSERT_EQ(RDCAA_CloseFelica(), 1);
    EXPECT_EQ(standin().openContexts(), 0);
    EXPECT_EQ(standin().disconnectCount, 1);
    EXPECT_TRUE(logHas("AcsReader/ReleaseCardReader: successfully"));
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
    EXPECT_EQ(standin().establishCount, 2);
    uint8_t serial[6];
    EXPECT_EQ(RDCAA_GetSerial(serial), 1);
}

}  // namespace
}  // namespace rdcom32::test
