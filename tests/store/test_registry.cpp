#include <gtest/gtest.h>

#include <vector>

#include "configuration.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

void occupy(StopwatchRegistry& r, std::initializer_list<int> slotNumbers) {
    for (int number : slotNumbers) {
        char serial[16];
        std::snprintf(serial, sizeof serial, "%012d", number);
        r.entry(number - 1).serialText = serial;
        r.entry(number - 1).displayName = DataFolder::stopwatchFolderName(number - 1);
    }
}

TEST(SlotChoice, FirstStopwatchTakesSlotOne) {
    StopwatchRegistry r;
    EXPECT_EQ(r.chooseFreeSlot(), 0);
}

TEST(SlotChoice, AppendsAfterTheHighestSlotWithoutFillingGaps) {
    StopwatchRegistry r;
    occupy(r, {1, 2, 5});
    EXPECT_EQ(r.chooseFreeSlot(), 5);  // slot number 6; 3 and 4 stay free
    occupy(r, {99});
    EXPECT_EQ(r.chooseFreeSlot(), 99);  // slot number 100 is still free
}

TEST(SlotChoice, FillsTheLowestGapOnceSlotHundredIsUsed) {
    StopwatchRegistry r;
    occupy(r, {1, 2, 100});
    EXPECT_EQ(r.chooseFreeSlot(), 2);  // slot number 3
    for (int n = 1; n <= 100; ++n) occupy(r, {n});
    EXPECT_EQ(r.chooseFreeSlot(), -1);
}

TEST(RegistryLookup, FindByNameNeverFindsAFreeSlot) {
    StopwatchRegistry r;
    EXPECT_EQ(r.findByName(""), -1);
    r.entry(4).displayName = "stale";  // a free slot that kept a name
    EXPECT_EQ(r.findByName("stale"), -1);
    occupy(r, {8});
    r.entry(7).displayName = "";  // in use with an empty name
    EXPECT_EQ(r.findByName(""), 7);
}

TEST(RegistryLookup, ExactCaseSensitiveMatchesReturnTheLowestSlot) {
    StopwatchRegistry r;
    r.entry(3) = {"0123456789ab", "Team", 0};
    r.entry(9) = {"0123456789ab", "Team", 0};
    EXPECT_EQ(r.findByName("Team"), 3);
    EXPECT_EQ(r.findByName("team"), -1);
    EXPECT_EQ(r.findBySerial("0123456789ab"), 3);
    EXPECT_EQ(r.findBySerial("0123456789AB"), -1);
    EXPECT_EQ(r.registeredCount(), 2);
    EXPECT_FALSE(r.isInUse(-1));
    EXPECT_FALSE(r.isInUse(100));
}

class AddStopwatchTest : public ::testing::Test {
protected:
    int add(const std::string& serial) {
        return addStopwatch(config, data, serial, [this](const TabRequest& t) { requests.push_back(t); });
    }
    testing::TempFolder dir;
    PosixFileSystem fs;
    DataFolder data{fs, dir.path()};
    Configuration config;
    std::vector<TabRequest> requests;
};

TEST_F(AddStopwatchTest, FirstRegistrationRenamesThePlaceholderTabAndSaves) {
    EXPECT_EQ(add("0123456789ab"), 0);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, TabRequest::Kind::RenamePlaceholder);
    EXPECT_EQ(requests[0].name, "QTM-01");
    EXPECT_EQ(fs.kindOf(dir / "QTM-01"), EntryKind::Folder);
    EXPECT_EQ(fs.readFile(dir / "Lapdex.dat").bytes,
              "[Config]\r\nLOCATION=ENG\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n"
              "[User]\r\nQTM01_SERIAL=0123456789ab\r\nQTM01_NAME=QTM-01\r\n");
}

TEST_F(AddStopwatchTest, LaterRegistrationAppendsATabAtTheRegisteredCount) {
    occupy(config.registry, {1, 2, 5});
    EXPECT_EQ(add("aaaaaaaaaaaa"), 5);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, TabRequest::Kind::Append);
    EXPECT_EQ(requests[0].position, 3);
    EXPECT_EQ(requests[0].name, "QTM-06");
    EXPECT_EQ(config.registry.entry(5).displayName, "QTM-06");
    EXPECT_EQ(fs.kindOf(dir / "QTM-06"), EntryKind::Folder);
}

TEST_F(AddStopwatchTest, SlotHundredUsesThreeDigitKeysAndFolder) {
    for (int n = 1; n <= 99; ++n) occupy(config.registry, {n});
    EXPECT_EQ(add("ffffffffffff"), 99);
    EXPECT_EQ(config.registry.entry(99).displayName, "QTM-100");
    EXPECT_EQ(fs.kindOf(dir / "QTM-100"), EntryKind::Folder);
    std::string saved = fs.readFile(dir / "Lapdex.dat").bytes;
    EXPECT_NE(saved.find("QTM100_SERIAL=ffffffffffff\r\nQTM100_NAME=QTM-100\r\n"), std::string::npos);
    EXPECT_EQ(add("eeeeeeeeeeee"), -1);  // registry full: nothing changes
    EXPECT_EQ(requests.size(), 1u);
}

TEST_F(AddStopwatchTest, RemoveEmptiesTheSlotAndDeletesItsKeys) {
    ASSERT_EQ(add("0123456789ab"), 0);
    config.registry.setBatteryLevel(0, 4);
    ASSERT_TRUE(renameStopwatch(config, data, 0, "Relay"));
    EXPECT_NE(fs.readFile(dir / "Lapdex.dat").bytes.find("QTM01_NAME=Relay\r\n"), std::string::npos);
    ASSERT_TRUE(removeStopwatch(config, data, 0));
    EXPECT_FALSE(config.registry.isInUse(0));
    EXPECT_EQ(config.registry.entry(0).batteryLevel, 0);
    EXPECT_EQ(fs.readFile(dir / "Lapdex.dat").bytes, "[Config]\r\nLOCATION=ENG\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n[User]\r\n");
    EXPECT_FALSE(renameStopwatch(config, data, 0, "Ghost"));
}

TEST_F(AddStopwatchTest, ANameComesBackFromTheFileExactlyAsStoredOrIsRefused) {
    ASSERT_EQ(add("0123456789ab"), 0);
    const struct {
        std::string name;
        bool storable;
    } cases[] = {
        {"Run", true},
        {"", true},
        {"陸上 部", true},
        {"12345678901234567890", true},
        {"Run ", false},
        {" Run", false},
        {"\tRun", false},
        {" ", false},
        {"a\nb", false},
        {"a\rb", false},
        {std::string("a\0b", 3), false},
        {"123456789012345678901", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isStorableName(c.name), c.storable) << c.name;
        EXPECT_EQ(renameStopwatch(config, data, 0, c.name), c.storable) << c.name;
        if (!c.storable) continue;
        // The round trip through the file: what a restart reads.
        Configuration again = loadConfiguration(data, "ENG");
        EXPECT_EQ(again.registry.entry(0).displayName, c.name);
    }
}

}  // namespace
}  // namespace lapdex
