// Folder listings take kinds from the directory entries: they must equal what lstat() says.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "file_system.h"
#include "run_file_fixture.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

std::vector<std::pair<std::string, EntryKind>> sorted(const FolderListing& listing) {
    std::vector<std::pair<std::string, EntryKind>> entries;
    for (const FolderEntry& e : listing.entries) entries.emplace_back(e.name, e.kind);
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The listing as one lstat() per entry would give it.
std::vector<std::pair<std::string, EntryKind>> byLstat(FileSystem& fs, const std::string& folder,
                                                       const FolderListing& listing) {
    std::vector<std::pair<std::string, EntryKind>> entries;
    for (const FolderEntry& e : listing.entries) entries.emplace_back(e.name, fs.kindOf(folder + "/" + e.name));
    std::sort(entries.begin(), entries.end());
    return entries;
}

class FolderListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::writeBytes(folder / "QTM150314_0930.csv", "x");
        testing::writeBytes(folder / "qtm150314_0931.CSV", "x");
        ASSERT_TRUE(fs.createFolder(folder / "QTM150314_0932.csv").ok());
        ASSERT_EQ(::symlink("QTM150314_0930.csv", (folder / "QTM150314_0933.csv").c_str()), 0);
        ASSERT_EQ(::symlink("missing", (folder / "dangling").c_str()), 0);
        ASSERT_EQ(::mkfifo((folder / "QTM150314_0934.csv").c_str(), 0600), 0);
    }
    PosixFileSystem fs;
    testing::TempFolder folder;
};

TEST_F(FolderListingTest, KindsAgreeWithLstat) {
    const FolderListing all = fs.listFolder(folder.path());
    ASSERT_TRUE(all.ok());
    ASSERT_EQ(all.entries.size(), 6u);
    EXPECT_EQ(sorted(all), byLstat(fs, folder.path(), all));
    const auto kinds = sorted(all);
    EXPECT_EQ(kinds[0], std::make_pair(std::string("QTM150314_0930.csv"), EntryKind::File));
    EXPECT_EQ(kinds[1], std::make_pair(std::string("QTM150314_0932.csv"), EntryKind::Folder));
    EXPECT_EQ(kinds[2], std::make_pair(std::string("QTM150314_0933.csv"), EntryKind::SymbolicLink));
    EXPECT_EQ(kinds[3], std::make_pair(std::string("QTM150314_0934.csv"), EntryKind::Other));
    EXPECT_EQ(kinds[4], std::make_pair(std::string("dangling"), EntryKind::SymbolicLink));
}

TEST_F(FolderListingTest, MatchingKeepsOnlyMatchingNamesWithTheirKinds) {
    const FolderListing matching = fs.findMatching(folder.path(), "QTM150314*.csv");
    ASSERT_TRUE(matching.ok());
    EXPECT_EQ(matching.entries.size(), 5u);
    EXPECT_EQ(sorted(matching), byLstat(fs, folder.path(), matching));
    EXPECT_EQ(fs.listFolder(folder / "none").status.error, FsError::NotFound);
    EXPECT_EQ(fs.listFolder(folder / "QTM150314_0933.csv").status.error, FsError::SymbolicLink);
}

TEST_F(FolderListingTest, ReadingRefusesEverythingButRegularFiles) {
    EXPECT_TRUE(fs.readFile(folder / "QTM150314_0930.csv").ok());
    EXPECT_EQ(fs.readFile(folder / "QTM150314_0932.csv").status.error, FsError::Io);
    EXPECT_EQ(fs.readFile(folder / "QTM150314_0933.csv").status.error, FsError::SymbolicLink);
    EXPECT_EQ(fs.readFile(folder / "QTM150314_0934.csv").status.error, FsError::Io);  // a FIFO, without hanging
}

}  // namespace
}  // namespace lapdex
