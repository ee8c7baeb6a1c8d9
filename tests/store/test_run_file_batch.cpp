// Writing a download's run files as one batch: every run complete or absent, nothing overwritten,
// no temporary file left, and each failure reported for its own run.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "cp932.h"
#include "run_file_batch.h"
#include "run_file_fixture.h"
#include "run_file_format.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::clockExample;
using testing::fileBytes;

constexpr const char* kSerial = "0123456789ab";

// The example run started `minute` minutes later, with `laps` laps in all.
RunRecord runAt(int minute, int laps = 3) {
    RunRecord record = clockExample();
    record.start.minute = minute;
    for (int i = static_cast<int>(record.laps.size()) + 1; i <= laps; ++i) {
        record.laps.push_back(
            {i, {0, 1, 0, 0, 0}, {0, static_cast<std::uint32_t>(i), 0, 0, 0}, ""});
    }
    record.lapCount = laps;
    return record;
}

std::string expectedBytes(const RunRecord& record) {
    TextConversion text = utf8ToCp932(runFileText(record));
    EXPECT_TRUE(text.ok());
    return text.text;
}

// Lets files grow to 1,024 bytes only, as a nearly full disk would; restored on destruction.
class SmallFileLimit {
  public:
    SmallFileLimit() {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old_;
        small.rlim_cur = 1024;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~SmallFileLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }
    bool ok() const { return ok_; }

  private:
    struct rlimit old_ {};
    void (*handler_)(int) = nullptr;
    bool ok_ = false;
};

class RunFileBatchTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override { ASSERT_TRUE(fs.createFolder(folder / "QTM-01").ok()); }
    std::vector<RunFileWriteResult> writeBatch(const std::vector<RunRecord>& runs) {
        RunFileBatch batch(fs, folder.path() + "/", 0, kSerial);
        for (const RunRecord& run : runs) batch.add(run);
        return batch.commit();
    }
    std::string pathOf(const RunRecord& run) {
        return folder / "QTM-01/" + runFileName(run.start, kSerial);
    }
    // Every entry of the stopwatch folder, temporary files included.
    std::size_t entryCount() { return fs.listFolder(folder / "QTM-01").entries.size(); }
    // GetParam() runs, the one at index GetParam() / 2 too long for the file size limit.
    std::vector<RunRecord> runsWithOneLong() {
        std::vector<RunRecord> runs;
        for (int i = 0; i < GetParam(); ++i)
            runs.push_back(runAt(i, i == GetParam() / 2 ? 200 : 3));
        return runs;
    }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder folder;
};

// Small batches flush file by file, large ones flush the file system once: both must hold.
INSTANTIATE_TEST_SUITE_P(Sizes, RunFileBatchTest, ::testing::Values(3, 40));

TEST_P(RunFileBatchTest, WritesEveryRunCompleteAndReadOnly) {
    std::vector<RunRecord> runs;
    for (int i = 0; i < GetParam(); ++i) runs.push_back(runAt(i, 3 + i % 5));
    const std::vector<RunFileWriteResult> results = writeBatch(runs);
    ASSERT_EQ(results.size(), runs.size());
    EXPECT_TRUE(allRunsWritten(results));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(results[i].status, RunFileWriteStatus::Written);
        EXPECT_EQ(results[i].path, pathOf(runs[i]));
        EXPECT_EQ(fileBytes(pathOf(runs[i])), expectedBytes(runs[i]));
        EXPECT_TRUE(results[i].readOnlySet);
        EXPECT_TRUE(fs.isReadOnly(pathOf(runs[i])));
    }
    EXPECT_EQ(entryCount(), runs.size());
}

TEST_P(RunFileBatchTest, AFailedWriteInTheMiddleCostsOnlyThatRun) {
    const std::vector<RunRecord> runs = runsWithOneLong();
    const std::size_t failing = runs.size() / 2;
    std::vector<RunFileWriteResult> results;
    {
        SmallFileLimit limit;
        ASSERT_TRUE(limit.ok());
        results = writeBatch(runs);
    }
    ASSERT_EQ(results.size(), runs.size());
    EXPECT_FALSE(allRunsWritten(results));
    EXPECT_EQ(results[failing].status, RunFileWriteStatus::WriteFailed);
    EXPECT_EQ(results[failing].fsStatus.sysErrno, EFBIG);
    EXPECT_EQ(fs.kindOf(pathOf(runs[failing])), EntryKind::None);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (i == failing) continue;
        EXPECT_EQ(results[i].status, RunFileWriteStatus::Written) << i;
        EXPECT_EQ(fileBytes(pathOf(runs[i])), expectedBytes(runs[i])) << i;
    }
    EXPECT_EQ(entryCount(), runs.size() - 1);  // no temporary file left behind

    // Once there is room again the same download writes exactly the missing run.
    results = writeBatch(runs);
    EXPECT_TRUE(allRunsWritten(results));
    EXPECT_EQ(results[failing].status, RunFileWriteStatus::Written);
    EXPECT_EQ(fileBytes(pathOf(runs[failing])), expectedBytes(runs[failing]));
    EXPECT_EQ(results[0].status, RunFileWriteStatus::AlreadyExists);
    EXPECT_EQ(entryCount(), runs.size());
}

TEST_P(RunFileBatchTest, NeverTouchesAnExistingFileAndKeepsTheFirstOfTwoRunsOfOneName) {
    std::vector<RunRecord> runs;
    for (int i = 0; i < GetParam(); ++i) runs.push_back(runAt(i));
    ASSERT_TRUE(fs.writeFileAtomic(pathOf(runs[1]), "older content", Existing::Refuse).ok());
    RunRecord twin = runAt(0, 9);  // same start as runs[0], other laps
    runs.push_back(twin);
    const std::vector<RunFileWriteResult> results = writeBatch(runs);
    EXPECT_TRUE(allRunsWritten(results));
    EXPECT_EQ(results[1].status, RunFileWriteStatus::AlreadyExists);
    EXPECT_EQ(fileBytes(pathOf(runs[1])), "older content");
    EXPECT_FALSE(fs.isReadOnly(pathOf(runs[1])));
    EXPECT_EQ(results.back().status, RunFileWriteStatus::AlreadyExists);
    EXPECT_EQ(fileBytes(pathOf(runs[0])), expectedBytes(runs[0]));
    EXPECT_EQ(entryCount(), runs.size() - 1);
}

TEST_P(RunFileBatchTest, AnUnencodableRunIsReportedAndTheOthersAreWritten) {
    std::vector<RunRecord> runs;
    for (int i = 0; i < GetParam(); ++i) runs.push_back(runAt(i));
    runs[1].memo = "🏃";
    const std::vector<RunFileWriteResult> results = writeBatch(runs);
    EXPECT_FALSE(allRunsWritten(results));
    EXPECT_EQ(results[1].status, RunFileWriteStatus::NotEncodable);
    EXPECT_EQ(results[1].unencodable, "🏃");
    EXPECT_EQ(fs.kindOf(pathOf(runs[1])), EntryKind::None);
    EXPECT_EQ(results[0].status, RunFileWriteStatus::Written);
    EXPECT_EQ(entryCount(), runs.size() - 1);
}

TEST(RunFileBatch, AMissingFolderFailsEveryRun) {
    testing::TempFolder folder;
    RunFileBatch batch(systemFileSystem(), folder.path() + "/", 4, kSerial);
    batch.add(runAt(1));
    batch.add(runAt(2));
    const std::vector<RunFileWriteResult> results = batch.commit();
    ASSERT_EQ(results.size(), 2u);
    for (const RunFileWriteResult& result : results) {
        EXPECT_EQ(result.status, RunFileWriteStatus::WriteFailed);
        EXPECT_EQ(result.fsStatus.error, FsError::NotFound);
    }
    EXPECT_FALSE(allRunsWritten(results));
    EXPECT_TRUE(batch.commit().empty());  // the batch starts empty again
}

// An interruption ends a download's files after the group being written: each run is on disk
// whole or reported Stopped, and no temporary file stays.
TEST(RunFileBatch, AStopRequestEndsTheFilesAfterTheGroupBeingWritten) {
    struct Case {
        int runs;
        int stopAtCheck;  // the stop predicate answers true from this call on; 0: never
        int written;
    };
    const std::vector<Case> cases = {{40, 0, 40},   {40, 1, 0},  {40, 2, 16}, {100, 3, 48},
                                     {100, 4, 100}, {16, 2, 16}, {5, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("runs " + std::to_string(c.runs) + ", stop at check " +
                     std::to_string(c.stopAtCheck));
        testing::TempFolder folder;
        FileSystem& fs = systemFileSystem();
        ASSERT_TRUE(fs.createFolder(folder / "QTM-01").ok());
        RunFileBatch batch(fs, folder.path() + "/", 0, kSerial);
        int checks = 0;
        batch.stopWhen([&] { return c.stopAtCheck != 0 && ++checks >= c.stopAtCheck; });
        for (int i = 0; i < c.runs; ++i) batch.add(runAt(i));
        const std::vector<RunFileWriteResult> results = batch.commit();
        ASSERT_EQ(results.size(), static_cast<std::size_t>(c.runs));
        for (int i = 0; i < c.runs; ++i) {
            const bool written = i < c.written;
            EXPECT_EQ(results[i].status,
                      written ? RunFileWriteStatus::Written : RunFileWriteStatus::Stopped)
                << i;
            EXPECT_EQ(fs.kindOf(results[i].path) == EntryKind::File, written) << i;
        }
        EXPECT_EQ(fs.listFolder(folder / "QTM-01").entries.size(),
                  static_cast<std::size_t>(c.written));
    }
}

}  // namespace
}  // namespace lapdex
