#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "data_folder_lock.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::TempFolder;

TEST(DataFolderLock, OnlyOneHolderPerFolderUntilItIsReleased) {
    TempFolder folder;
    TempFolder other;
    {
        DataFolderLock first(folder.path());
        EXPECT_EQ(first.state(), DataFolderLock::State::Held);
        // A second open of the same file is refused, even in this process (as in any other).
        DataFolderLock second(folder.path() + "/");
        EXPECT_EQ(second.state(), DataFolderLock::State::InUse);
        // Another folder is another lock.
        DataFolderLock elsewhere(other.path());
        EXPECT_EQ(elsewhere.state(), DataFolderLock::State::Held);
    }
    DataFolderLock after(folder.path());
    EXPECT_EQ(after.state(), DataFolderLock::State::Held);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / DataFolderLock::kFileName));
}

TEST(DataFolderLock, AnotherProcessIsRefusedWhileTheFirstRunsAndAdmittedAfter) {
    TempFolder folder;
    auto stateInChild = [&] {
        pid_t child = fork();
        if (child == 0) {
            DataFolderLock lock(folder.path());
            _exit(static_cast<int>(lock.state()));
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    {
        DataFolderLock first(folder.path());
        ASSERT_EQ(first.state(), DataFolderLock::State::Held);
        EXPECT_EQ(stateInChild(), static_cast<int>(DataFolderLock::State::InUse));
    }
    EXPECT_EQ(stateInChild(), static_cast<int>(DataFolderLock::State::Held));
}

TEST(DataFolderLock, TheLockFileLetsEveryUserTakeTheExclusiveLockWhateverTheUmask) {
    // Each mask once for a new file and once for a file an older program left with its mask.
    for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{0}}) {
        for (const bool leftBefore : {false, true}) {
            TempFolder folder;
            const std::string path = folder / DataFolderLock::kFileName;
            if (leftBefore) {
                std::ofstream(path) << "";
                ::chmod(path.c_str(), 0644);
            }
            const mode_t before = ::umask(mask);
            {
                DataFolderLock lock(folder.path());
                EXPECT_EQ(lock.state(), DataFolderLock::State::Held);
            }
            ::umask(before);
            struct stat info {};
            ASSERT_EQ(::stat(path.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0666u)
                << "mask " << mask << (leftBefore ? ", old file" : "");
        }
    }
}

TEST(DataFolderLock, AFolderThatCannotHoldTheFileFailsWithoutALock) {
    TempFolder folder;
    DataFolderLock lock(folder / "missing");
    EXPECT_EQ(lock.state(), DataFolderLock::State::Failed);
}

}  // namespace
}  // namespace lapdex
