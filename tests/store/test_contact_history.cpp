// History.csv: appended line by line with its header, read back with damaged lines skipped and
// reported, and carried with the data set.
#include <gtest/gtest.h>

#include "contact_history.h"
#include "roster.h"
#include "run_file_fixture.h"
#include "temp_folder.h"
#include "tree_operations.h"

namespace lapdex {
namespace {

ContactRecord contact(const char* time, const char* tab, ContactAction action, int written,
                      int level) {
    ContactRecord r;
    r.localTime = time;
    r.serialText = "0123456789ab";
    r.tabName = tab;
    r.action = action;
    r.runsWritten = written;
    r.rawBattery = 3000 + level;
    r.batteryLevel = level;
    r.result = written > 0 ? "ok" : "no data";
    return r;
}

TEST(ContactHistory, AppendsOneLinePerContactUnderOneHeader) {
    testing::TempFolder folder;
    const DataFolder data(systemFileSystem(), folder.path());
    ASSERT_TRUE(
        appendContact(data, contact("2024-05-11 07:50:02", "走者A", ContactAction::Download, 3, 4))
            .ok());
    ASSERT_TRUE(
        appendContact(data, contact("2024-05-12 08:00:00", "A,\"B\"", ContactAction::Reload, 0, 1))
            .ok());
    EXPECT_EQ(testing::fileBytes(folder / "History.csv"),
              "local time,serial,tab name,action,runs written,runs failed,raw battery,battery "
              "level,result\r\n"
              "2024-05-11 07:50:02,0123456789ab,走者A,download,3,0,3004,4,ok\r\n"
              "2024-05-12 08:00:00,0123456789ab,\"A,\"\"B\"\"\",reload,0,0,3001,1,no data\r\n");
    const HistoryReading reading = readContactHistory(data);
    ASSERT_EQ(reading.records.size(), 2U);
    EXPECT_EQ(reading.records[1].tabName, "A,\"B\"");
    EXPECT_EQ(reading.records[1].action, ContactAction::Reload);
    EXPECT_EQ(reading.records[1].batteryLevel, 1);
    EXPECT_TRUE(reading.damagedLines.empty());
}

// A contact that ended in a communication error is a line of the same columns; the roster's last
// read and battery stay those of the contact before it.
TEST(ContactHistory, AFailedContactKeepsTheColumnsAndTheLastRead) {
    testing::TempFolder folder;
    const DataFolder data(systemFileSystem(), folder.path());
    ASSERT_TRUE(
        appendContact(data, contact("2024-05-11 07:50:02", "走者A", ContactAction::Download, 3, 4))
            .ok());
    ContactRecord failed = contact("2024-05-12 08:00:00", "走者A", ContactAction::Clear, 0, 0);
    failed.result = kContactFailed;
    ASSERT_TRUE(appendContact(data, failed).ok());
    EXPECT_TRUE(testing::fileBytes(folder / "History.csv")
                    .ends_with("\r\n2024-05-12 08:00:00,0123456789ab,走者A,clear,0,0,3000,0,"
                               "communication error\r\n"));
    const HistoryReading reading = readContactHistory(data);
    ASSERT_EQ(reading.records.size(), 2U);
    EXPECT_TRUE(reading.damagedLines.empty());
    EXPECT_TRUE(reading.records[0].read());
    EXPECT_FALSE(reading.records[1].read());
    const Roster roster = rosterOf({{"QTM-01", "0123456789ab", "走者A", {}}}, {}, reading);
    ASSERT_EQ(roster.entries.size(), 1U);
    EXPECT_EQ(roster.entries[0].lastContact, "2024-05-11 07:50:02");
    EXPECT_EQ(roster.entries[0].batteryLevel, 4);
}

TEST(ContactHistory, DamagedLinesAreSkippedAndReported) {
    const std::string good =
        historyLine(contact("2024-05-11 07:50:02", "A", ContactAction::Clear, 0, 5));
    const struct {
        std::string bytes;
        std::size_t records;
        std::vector<int> damaged;
    } kCases[] = {
        {std::string(historyHeader()) + "\r\n" + good + good, 2, {}},
        {good + "garbage\r\n" + good, 2, {2}},  // no header: still read
        {good + good.substr(0, 20), 1, {2}},    // torn last line
        // A torn line that the next record was appended to: that record is kept.
        {good + good.substr(0, 20) + good, 2, {2}},
        {good + good.substr(0, 5) + good.substr(0, 31) + good, 2, {2}},
        {good + "2024-05-11 07:50:02,x,\"open,download,1,0,1,1,ok\r\n", 1, {2}},
        {good + "2024-05-11 07:50:02,x,t,jump,1,0,1,1,ok\r\n", 1, {2}},  // unknown action
        {good + "2024-05-11 07:50:02,x,t,clear,one,0,1,1,ok\r\n", 1, {2}},
        {"\r\n\r\n" + good, 1, {}},
    };
    for (const auto& c : kCases) {
        const HistoryReading reading = parseContactHistory(c.bytes);
        EXPECT_EQ(reading.records.size(), c.records) << c.bytes;
        EXPECT_EQ(reading.damagedLines, c.damaged) << c.bytes;
    }
}

TEST(ContactHistory, AnAppendAfterATornLineStartsALineOfItsOwn) {
    testing::TempFolder folder;
    const DataFolder data(systemFileSystem(), folder.path());
    const std::string good =
        historyLine(contact("2024-05-11 07:50:02", "A", ContactAction::Download, 1, 5));
    testing::writeBytes(folder / "History.csv", good + good.substr(0, 20));
    ASSERT_TRUE(
        appendContact(data, contact("2024-05-10 09:00:00", "A", ContactAction::Download, 2, 1))
            .ok());
    const HistoryReading reading = readContactHistory(data);
    ASSERT_EQ(reading.records.size(), 2U);
    EXPECT_EQ(reading.records[1].localTime, "2024-05-10 09:00:00");
    EXPECT_EQ(reading.damagedLines, std::vector<int>{2});
}

TEST(ContactHistory, TravelsWithTheDataSet) {
    testing::TempFolder from;
    testing::TempFolder to;
    const DataFolder data(systemFileSystem(), from.path());
    ASSERT_TRUE(
        appendContact(data, contact("2024-05-11 07:50:02", "A", ContactAction::Download, 1, 3))
            .ok());
    testing::writeBytes(from / "Lapdex.dat", "[x]\r\n");
    testing::writeBytes(from / "notes.txt", "not part of the data set");
    ASSERT_TRUE(copyTree(systemFileSystem(), from.path(), to.path(), TreeScope::DataSet,
                         AttributeRule::MakeReadOnly)
                    .ok());
    EXPECT_EQ(testing::fileBytes(to / "History.csv"), testing::fileBytes(from / "History.csv"));
    EXPECT_EQ(systemFileSystem().kindOf(to / "notes.txt"), EntryKind::None);
    // It stays writable: the next contact is appended to it.
    EXPECT_FALSE(systemFileSystem().isReadOnly(to / "History.csv"));
}

}  // namespace
}  // namespace lapdex
