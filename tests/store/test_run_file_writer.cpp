// The run file writer: golden bytes, names, time texts, no overwrite, and failures it must report.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>

#include "run_file_fixture.h"
#include "run_file_format.h"
#include "run_file_writer.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::clockExample;
using testing::fileBytes;

constexpr const char* kSerial = "0123456789ab";

class RunFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs.createFolder(folder / "QTM-03").ok()); }
    RunFileWriteResult write(const RunRecord& record) {
        return writeRunFile(fs, folder.path() + "/", 2, kSerial, record);
    }
    std::string runPath() const { return folder / "QTM-03/QTM240131_093015_0123456789ab.csv"; }
    // Files of the stopwatch folder, temporary ones included.
    std::size_t entryCount() { return fs.listFolder(folder / "QTM-03").entries.size(); }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder folder;
};

TEST_F(RunFileWriterTest, WritesTheGoldenClockFileReadOnly) {
    RunFileWriteResult result = write(clockExample());
    ASSERT_EQ(result.status, RunFileWriteStatus::Written);
    EXPECT_EQ(result.path, runPath());
    EXPECT_EQ(fileBytes(runPath()), fileBytes(LAPDEX_TEST_DATA_DIR "/run_clock.csv"));
    EXPECT_TRUE(result.readOnlySet);
    EXPECT_TRUE(fs.isReadOnly(runPath()));
    EXPECT_EQ(entryCount(), 1u);
}

TEST_F(RunFileWriterTest, NeverOverwritesAnExistingFile) {
    ASSERT_TRUE(fs.writeFileAtomic(runPath(), "older content", Existing::Refuse).ok());
    RunFileWriteResult result = write(clockExample());
    EXPECT_EQ(result.status, RunFileWriteStatus::AlreadyExists);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(fileBytes(runPath()), "older content");
    EXPECT_FALSE(fs.isReadOnly(runPath()));
}

TEST_F(RunFileWriterTest, ReportsAMissingFolder) {
    RunFileWriteResult result = writeRunFile(fs, folder.path() + "/", 7, kSerial, clockExample());
    EXPECT_EQ(result.status, RunFileWriteStatus::WriteFailed);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(fs.kindOf(folder / "QTM-08"), EntryKind::None);
}

TEST_F(RunFileWriterTest, FullDiskLeavesNoPartialFileUnderTheFinalName) {
    // A file size limit makes write() fail part-way, as a full disk does.
    RunRecord record = clockExample();
    for (int i = 4; i <= 200; ++i) record.laps.push_back({i, {0, 1, 0, 0, 0}, {0, static_cast<std::uint32_t>(i), 0, 0, 0}, ""});
    record.lapCount = 200;
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    RunFileWriteResult result = write(record);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(result.status, RunFileWriteStatus::WriteFailed);
    EXPECT_EQ(fs.kindOf(runPath()), EntryKind::None);
    EXPECT_EQ(entryCount(), 0u);
    // The run is not blocked for good: the next download writes it.
    EXPECT_EQ(write(record).status, RunFileWriteStatus::Written);
}

TEST_F(RunFileWriterTest, RefusesMemoCharactersOutsideTheCodePage) {
    RunRecord record = clockExample();
    record.laps[1].memo = "ok 😀 and 한";
    RunFileWriteResult result = write(record);
    EXPECT_EQ(result.status, RunFileWriteStatus::NotEncodable);
    EXPECT_NE(result.unencodable.find("😀"), std::string::npos);
    EXPECT_NE(result.unencodable.find("한"), std::string::npos);
    EXPECT_EQ(entryCount(), 0u);
}

TEST_F(RunFileWriterTest, KeepsEveryLapOfALongRun) {
    RunRecord record = clockExample();
    for (int i = 4; i <= 1000; ++i) record.laps.push_back({i, {0, 0, 1, 0, 0}, {0, 0, static_cast<std::uint32_t>(i), 0, 0}, ""});
    record.lapCount = 1000;
    ASSERT_EQ(write(record).status, RunFileWriteStatus::Written);
    const std::string bytes = fileBytes(runPath());
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 8 + 1000);
    EXPECT_NE(bytes.find("\r\n1000,00:00:01.00,00:00:1000.00,\r\n"), std::string::npos);
}

TEST_F(RunFileWriterTest, WritesSetMemosInQuotedForm) {
    RunRecord record = clockExample();
    record.memo = "a,\"b\"";
    record.laps[0].memo = "\"";
    ASSERT_EQ(write(record).status, RunFileWriteStatus::Written);
    const std::string bytes = fileBytes(runPath());
    EXPECT_NE(bytes.find(",00:01:06.66,\"a,\"\"b\"\"\"\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n1,00:01:10.50,00:01:10.50,\"\"\"\"\r\n"), std::string::npos);
}

TEST(RunFileFormat, NamesTimesAndStart) {
    EXPECT_EQ(runFileName({2024, 1, 31, 9, 30, 15}, kSerial), "QTM240131_093015_0123456789ab.csv");
    EXPECT_EQ(runFileName({2100, 4, 31, 0, 0, 0}, kSerial), "QTM000431_000000_0123456789ab.csv");
    EXPECT_EQ(formatRunTime({0, 1, 4, 70, 0}, TimeFormat::Clock), "00:01:04.70");
    EXPECT_EQ(formatRunTime({123, 0, 5, 9, 0}, TimeFormat::Clock), "123:00:05.09");
    EXPECT_EQ(formatRunTime({0, 0, 0, 0, 1500}, TimeFormat::DecimalMinute), "001.500");
    EXPECT_EQ(formatRunTime({0, 0, 0, 0, 1234567}, TimeFormat::DecimalMinute), "1234.567");
    EXPECT_EQ(formatRunTime({0, 0, 0, 0, 7}, TimeFormat::DecimalMinute), "000.007");
    EXPECT_EQ(formatRunStart({2024, 1, 31, 9, 30, 15}), "2024/01/31   09:30:15");
    EXPECT_EQ(formatRunStart({2023, 2, 30, 0, 0, 0}), "2023/02/30   00:00:00");
    EXPECT_EQ(stopwatchFolderName(99), "QTM-100");
    EXPECT_EQ(stopwatchFolderName(-1), "QTM-00");
}

}  // namespace
}  // namespace lapdex
