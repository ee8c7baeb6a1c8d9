// From run data bytes to the run files on disk: the golden files of both time formats.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "run_data_builder.h"
#include "run_decoder.h"
#include "run_file_writer.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::appendRun;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> writeAll(const std::vector<std::uint8_t>& data, TimeFormat format,
                                  const std::string& dataFolder) {
    std::vector<std::string> paths;
    decodeRunData(data, format, [&](RunRecord&& record) {
        RunFileWriteResult result = writeRunFile(systemFileSystem(), dataFolder, 0, "0123456789ab", record);
        EXPECT_EQ(result.status, RunFileWriteStatus::Written);
        paths.push_back(result.path);
    });
    return paths;
}

TEST(DecodeAndWrite, ClockRunMatchesGoldenFile) {
    testing::TempFolder folder;
    ASSERT_TRUE(systemFileSystem().createFolder(folder / "QTM-01").ok());
    std::vector<std::uint8_t> data;
    appendRun(data, {}, {{0, 1, 10, 50}, {0, 2, 15, 20}, {0, 3, 20, 0}});
    const auto paths = writeAll(data, TimeFormat::Clock, folder.path() + "/");
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], folder / "QTM-01/QTM240131_093015_0123456789ab.csv");
    EXPECT_EQ(fileBytes(paths[0]), fileBytes(LAPDEX_TEST_DATA_DIR "/run_clock.csv"));
}

TEST(DecodeAndWrite, DecimalMinuteRunMatchesGoldenFile) {
    testing::TempFolder folder;
    ASSERT_TRUE(systemFileSystem().createFolder(folder / "QTM-01").ok());
    std::vector<std::uint8_t> data;
    appendRun(data, {.year = 15, .month = 3, .day = 14, .hour = 7, .minute = 5, .second = 9},
              {{0, 1, 30, 0}, {0, 2, 59, 99}});
    const auto paths = writeAll(data, TimeFormat::DecimalMinute, folder.path() + "/");
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], folder / "QTM-01/QTM150314_070509_0123456789ab.csv");
    EXPECT_EQ(fileBytes(paths[0]), fileBytes(LAPDEX_TEST_DATA_DIR "/run_decimal_minute.csv"));
}

}  // namespace
}  // namespace lapdex
