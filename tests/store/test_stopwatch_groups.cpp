// Groups of stopwatches: the file's lines, a round trip, and a data set's copy carrying them.
#include <gtest/gtest.h>

#include <fstream>

#include "stopwatch_groups.h"
#include "temp_folder.h"
#include "tree_operations.h"

namespace lapdex {
namespace {

using testing::TempFolder;

TEST(StopwatchGroups, ReadsEachLineOrNamesItAsSkipped) {
    const struct {
        const char* text;
        std::map<std::string, std::set<std::string>> groups;
        std::vector<int> skipped;
    } kCases[] = {
        {"", {}, {}},
        {"0123456789ab\t短距離\n0123456789ab\tU18\r\n", {{"0123456789ab", {"短距離", "U18"}}}, {}},
        {"0123456789AB\t  Sprint  \n", {{"0123456789ab", {"Sprint"}}}, {}},
        {"0123456789ab Sprint\n\n0123456789a\tX\nzz23456789ab\tX\n0123456789ab\t \n",
         {},
         {1, 3, 4, 5}},
        {"0123456789ab\t01234567890123456789012345678901234567890\n", {}, {1}},
        {"0123456789ab\t一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七"
         "八九十\n",
         {{"0123456789ab",
           {"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十"}}},
         {}},
    };
    for (const auto& c : kCases) {
        TempFolder root;
        std::ofstream(root / kGroupsFileName, std::ios::binary) << c.text;
        const GroupsRead read = readGroups(DataFolder(systemFileSystem(), root.path()));
        EXPECT_TRUE(read.status.ok()) << c.text;
        EXPECT_EQ(read.groups.bySerial, c.groups) << c.text;
        EXPECT_EQ(read.skippedLines, c.skipped) << c.text;
    }
}

TEST(StopwatchGroups, RoundTripFiltersAndTravelsWithTheDataSet) {
    TempFolder root;
    FileSystem& fs = systemFileSystem();
    ASSERT_TRUE(fs.createFolder(root / "data").ok());
    ASSERT_TRUE(fs.createFolder(root / "copy").ok());
    const DataFolder data(fs, root / "data");
    // No file yet: no groups and no failure.
    const GroupsRead none = readGroups(data);
    EXPECT_TRUE(none.status.ok());
    EXPECT_TRUE(none.groups.bySerial.empty());
    StopwatchGroups groups;
    groups.bySerial["0123456789ab"] = {"Sprint", "U18"};
    groups.bySerial["00000000beef"] = {"U18"};
    ASSERT_TRUE(writeGroups(data, groups).ok());
    EXPECT_EQ(readGroups(data).groups, groups);
    EXPECT_EQ(groups.names(), (std::set<std::string>{"Sprint", "U18"}));
    const std::vector<RunStopwatch> stopwatches = {{"QTM-01", "0123456789ab", "A", {}},
                                                   {"QTM-02", "00000000beef", "B", {}},
                                                   {"QTM-03", "0000000000ff", "C", {}}};
    EXPECT_EQ(foldersOfGroup(groups, stopwatches, "U18"),
              (std::vector<std::string>{"QTM-01", "QTM-02"}));
    EXPECT_EQ(foldersOfGroup(groups, stopwatches, "Sprint"), (std::vector<std::string>{"QTM-01"}));
    EXPECT_EQ(foldersOfGroup(groups, stopwatches, "").size(), 3u);
    EXPECT_TRUE(foldersOfGroup(groups, stopwatches, "Nobody").empty());
    // An export or import copies the data set: the groups go with it.
    ASSERT_TRUE(
        copyTree(fs, data.path(), root / "copy", TreeScope::DataSet, AttributeRule::KeepAttributes)
            .ok());
    EXPECT_EQ(readGroups(DataFolder(fs, root / "copy")).groups, groups);
}

}  // namespace
}  // namespace lapdex
