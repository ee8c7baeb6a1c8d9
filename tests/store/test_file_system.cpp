#include "file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::TempFolder;

class FileSystemTest : public ::testing::Test {
protected:
    void write(const std::string& path, std::string_view bytes) {
        ASSERT_TRUE(fs.writeFileAtomic(path, bytes, Existing::Replace).ok());
    }
    std::string read(const std::string& path) { return fs.readFile(path).bytes; }

    TempFolder dir;
    PosixFileSystem fs;
};

TEST_F(FileSystemTest, ReadOnlyRemovesWriteBitsAndClearingRestoresTheOwners) {
    std::string file = dir / "a.csv";
    write(file, "x");
    ASSERT_TRUE(fs.setReadOnlyAttribute(file, ReadOnly::On).ok());
    EXPECT_TRUE(fs.isReadOnly(file));
    EXPECT_EQ(fs.deleteFile(file).error, FsError::ReadOnly);  // refused even for root
    EXPECT_EQ(fs.writeFileAtomic(file, "y", Existing::Replace).error, FsError::ReadOnly);
    ASSERT_TRUE(fs.setReadOnlyAttribute(file, ReadOnly::Off).ok());
    EXPECT_FALSE(fs.isReadOnly(file));
    EXPECT_TRUE(fs.deleteFile(file).ok());
    EXPECT_EQ(fs.kindOf(file), EntryKind::None);
}

TEST_F(FileSystemTest, FileHeldByAnotherOpenIsInUseUntilReleased) {
    std::string file = dir / "a.csv";
    write(file, "x");
    EXPECT_FALSE(fs.isInUse(file));
    {
        auto lock = fs.holdLock(file, LockMode::Shared);
        ASSERT_NE(lock, nullptr);
        EXPECT_TRUE(fs.isInUse(file));
        EXPECT_FALSE(fs.isLockedExclusively(file));
        EXPECT_EQ(fs.deleteFile(file).error, FsError::InUse);
        EXPECT_EQ(fs.renameReplace(dir / "none", file).error, FsError::NotFound);
        write(dir / "b.csv", "y");
        EXPECT_EQ(fs.renameReplace(dir / "b.csv", file).error, FsError::InUse);
        EXPECT_EQ(read(file), "x");  // readers may still read it
    }
    EXPECT_FALSE(fs.isInUse(file));
    EXPECT_TRUE(fs.deleteFile(file).ok());
}

TEST_F(FileSystemTest, ExclusiveLockBlocksReadingAndCopying) {
    std::string file = dir / "a.csv";
    write(file, "x");
    auto lock = fs.holdLock(file, LockMode::Exclusive);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(fs.isLockedExclusively(file));
    EXPECT_EQ(fs.readFile(file).status.error, FsError::InUse);
    EXPECT_FALSE(fs.copyFile(file, dir / "b.csv", Existing::Replace).ok());
    EXPECT_EQ(fs.kindOf(dir / "b.csv"), EntryKind::None);
}

TEST_F(FileSystemTest, NoReplaceWriteNeverTouchesAnExistingFile) {
    std::string file = dir / "run.csv";
    ASSERT_TRUE(fs.writeFileAtomic(file, "first", Existing::Refuse).ok());
    EXPECT_EQ(fs.writeFileAtomic(file, "second", Existing::Refuse).error, FsError::AlreadyExists);
    EXPECT_EQ(read(file), "first");
    EXPECT_EQ(fs.listFolder(dir.path()).entries.size(), 1u);  // no temporary file left behind
}

TEST_F(FileSystemTest, NewFilesFollowTheCreationMaskWithoutChangingIt) {
    const mode_t previous = ::umask(027);
    write(dir / "Lapdex.dat", "x");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "Lapdex.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(::umask(previous), 027u);  // still the mask this test set
}

TEST_F(FileSystemTest, CopyKeepsPermissionBitsAndRefusesReadOnlyTarget) {
    std::string from = dir / "from.csv";
    std::string to = dir / "to.csv";
    write(from, "data");
    ASSERT_TRUE(fs.setReadOnlyAttribute(from, ReadOnly::On).ok());
    ASSERT_TRUE(fs.copyFile(from, to, Existing::Replace).ok());
    EXPECT_EQ(read(to), "data");
    EXPECT_TRUE(fs.isReadOnly(to));
    EXPECT_EQ(fs.copyFile(from, to, Existing::Replace).error, FsError::ReadOnly);
}

TEST_F(FileSystemTest, LinksAreReportedAndNeverFollowed) {
    write(dir / "target.csv", "x");
    ASSERT_EQ(::symlink((dir / "target.csv").c_str(), (dir / "link.csv").c_str()), 0);
    EXPECT_EQ(fs.kindOf(dir / "link.csv"), EntryKind::SymbolicLink);
    EXPECT_EQ(fs.setReadOnlyAttribute(dir / "link.csv", ReadOnly::On).error, FsError::SymbolicLink);
    EXPECT_FALSE(fs.isReadOnly(dir / "target.csv"));
    EXPECT_EQ(fs.copyFile(dir / "link.csv", dir / "copy.csv", Existing::Replace).error, FsError::SymbolicLink);
}

TEST_F(FileSystemTest, FindsNamesWithoutRegardToCase) {
    write(dir / "QTM150314_0930.csv", "");
    write(dir / "qtm150314_1000.CSV", "");
    write(dir / "QTM150315_0930.csv", "");
    FolderListing found = fs.findMatching(dir.path(), "QTM150314*.csv");
    ASSERT_TRUE(found.ok());
    EXPECT_EQ(found.entries.size(), 2u);
    EXPECT_FALSE(fs.findMatching(dir / "missing", "*").ok());
}

TEST(Wildcard, MatchesStarsAndQuestionMarks) {
    EXPECT_TRUE(wildcardMatch("*.*", "Lapdex.dat"));
    EXPECT_TRUE(wildcardMatch("lapdex.DAT", "Lapdex.dat"));
    EXPECT_TRUE(wildcardMatch("a*b*c", "aXXbYYbc"));
    EXPECT_TRUE(wildcardMatch("a?c", "abc"));
    EXPECT_FALSE(wildcardMatch("a?c", "ac"));
    EXPECT_FALSE(wildcardMatch("*.csv", "run.csv.bak"));
}

TEST(TrailingSlash, RemovesAllThenAddsOne) {
    EXPECT_EQ(withTrailingSlash("/data///"), "/data/");
    EXPECT_EQ(withTrailingSlash("/data"), "/data/");
    EXPECT_EQ(withTrailingSlash("/"), "/");
    EXPECT_EQ(withoutTrailingSlash("/data//"), "/data");
}

}  // namespace
}  // namespace lapdex
