// Listings from directory entries must equal the stat()-based listings of the POSIX file system.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "dirent_listing.h"
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

TEST(DirentListing, AgreesWithTheStatBasedListing) {
    testing::TempFolder folder;
    PosixFileSystem posix;
    testing::writeBytes(folder / "QTM150314_0930.csv", "x");
    testing::writeBytes(folder / "qtm150314_0931.CSV", "x");
    ASSERT_TRUE(posix.createFolder(folder / "QTM150314_0932.csv").ok());
    ASSERT_EQ(::symlink("QTM150314_0930.csv", (folder / "QTM150314_0933.csv").c_str()), 0);
    ASSERT_EQ(::symlink("missing", (folder / "dangling").c_str()), 0);
    const FolderListing all = listFolderByDirent(folder.path());
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all.entries.size(), 5u);
    EXPECT_EQ(sorted(all), sorted(posix.listFolder(folder.path())));
    const FolderListing matching = findMatchingByDirent(folder.path(), "QTM150314*.csv");
    EXPECT_EQ(matching.entries.size(), 4u);
    EXPECT_EQ(sorted(matching), sorted(posix.findMatching(folder.path(), "QTM150314*.csv")));
    EXPECT_EQ(listFolderByDirent(folder / "none").status.error, FsError::NotFound);
}

}  // namespace
}  // namespace lapdex
