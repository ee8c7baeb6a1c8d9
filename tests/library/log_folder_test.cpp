// The log folder as hosts write it, and the time stamps, on every platform the library runs
// on: slashes, backslashes (Windows), with and without the trailing separator, local time.
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "debug_log.h"
#include "library_fixture.h"

namespace rdcom32::test {
namespace {

namespace fs = std::filesystem;

using LogFolder = LibraryFixture;

// The file that the log lands in for a folder written as `directory`.
struct FolderCase {
    std::string directory;
    fs::path expectedFile;
};

TEST_F(LogFolder, FolderFormsAsHostsWriteThem) {
    fs::create_directories(folder / "logs" / "deeper");
    const std::string slashed = folder.generic_string();  // forward slashes on every platform
    std::vector<FolderCase> cases = {
        {slashed + "/logs/", folder / "logs" / "rdcaa_debug.log"},
        {slashed + "/logs/deeper/", folder / "logs" / "deeper" / "rdcaa_debug.log"},
        // No separator at the end: the file name is appended to the folder's own name.
        {slashed + "/logs", folder / "logsrdcaa_debug.log"},
    };
#if defined(_WIN32)
    const std::string backslashed = fs::path(folder).make_preferred().string();
    cases.push_back({backslashed + "\\logs\\", folder / "logs" / "rdcaa_debug.log"});
    cases.push_back(
        {backslashed + "\\logs\\deeper\\", folder / "logs" / "deeper" / "rdcaa_debug.log"});
    cases.push_back({backslashed + "\\logs", folder / "logsrdcaa_debug.log"});
    cases.push_back({slashed + "/logs\\deeper/", folder / "logs" / "deeper" / "rdcaa_debug.log"});
#endif
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.directory);
        ASSERT_EQ(RDCAA_SetDllLogPath(c.directory.c_str()), 1);
        ASSERT_EQ(WriteLogLine("here"), 1);
        closeLog();
        std::string text;
        {
            // Closed again before the removal: Windows removes no open file.
            std::ifstream in(c.expectedFile, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        ASSERT_GE(text.size(), 8u);
        EXPECT_EQ(text.substr(text.size() - 8), ": here\r\n");
        fs::remove(c.expectedFile);
    }
    EXPECT_FALSE(fs::exists(folder / "rdcaa_debug.log"));
}

TEST_F(LogFolder, MissingFolderInEitherFormLeavesTheLogOff) {
    std::vector<std::string> missing = {folder.generic_string() + "/none/"};
#if defined(_WIN32)
    missing.push_back(fs::path(folder).make_preferred().string() + "\\none\\");
#endif
    for (const std::string& directory : missing) {
        EXPECT_EQ(RDCAA_SetDllLogPath(directory.c_str()), 0) << directory;
        EXPECT_EQ(WriteLogLine("lost"), 0) << directory;
    }
}

// Empty: back to the system's zone.
void setTimeZone(const std::string& zone) {
#if defined(_WIN32)
    _putenv_s("TZ", zone.c_str());
    _tzset();
#else
    if (zone.empty()) {
        unsetenv("TZ");
    } else {
        setenv("TZ", zone.c_str(), 1);
    }
    tzset();
#endif
}

std::string stampOf(std::time_t when, long offsetSeconds) {
    const std::time_t shifted = when + offsetSeconds;
    const std::tm* utc = std::gmtime(&shifted);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d.%H:%M:%S", utc);
    return text;
}

// The stamps are the PC's local time, not UTC: with the zone nine hours east of UTC (Japan
// keeps no daylight saving time), a line's stamp is UTC plus nine hours.
TEST_F(LogFolder, StampsAreLocalTime) {
    const char* formerZone = std::getenv("TZ");
    const std::string former = formerZone != nullptr ? formerZone : "";
    setTimeZone("JST-9");
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(WriteLogLine("stamped"), 1);
    const std::time_t after = std::time(nullptr);
    setTimeZone(former);
    const std::string log = logBytes();
    ASSERT_GE(log.size(), 19u);
    const std::string stamp = log.substr(0, 19);
    EXPECT_TRUE(stamp == stampOf(before, 9 * 3600) || stamp == stampOf(after, 9 * 3600))
        << stamp << " is not " << stampOf(before, 9 * 3600);
}

}  // namespace
}  // namespace rdcom32::test
