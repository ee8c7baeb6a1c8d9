// k7x-tool's commands, run in-process against the library core and the PC/SC stand-in.
#include <fstream>
#include <iterator>

#include <set>

#include "command_line.h"
#include "download_command.h"
#include "model/stopwatch.h"
#include "library_fixture.h"
#include "engine/serial_text.h"
#include "stopwatch_format.h"
#include "tool_commands.h"

namespace rdcom32::test {
namespace {

std::optional<k7x::Invocation> parse(std::vector<const char*> words, std::string& error) {
    words.insert(words.begin(), "k7x-tool");
    return k7x::parseCommandLine(static_cast<int>(words.size()), words.data(), error);
}

TEST(K7xCommandLine, ParsesCommandsAndLogOption) {
    std::string error;
    auto dump = parse({"--log", "/tmp/x", "dump", "new", "out.bin"}, error);
    ASSERT_TRUE(dump.has_value());
    EXPECT_EQ(dump->command, k7x::Command::DumpNew);
    EXPECT_EQ(dump->file, "out.bin");
    EXPECT_EQ(dump->logDirectory, "/tmp/x");
    EXPECT_EQ(parse({"dump", "all", "f"}, error)->command, k7x::Command::DumpAll);
    EXPECT_EQ(parse({"info"}, error)->command, k7x::Command::Info);
    EXPECT_EQ(parse({"readers"}, error)->command, k7x::Command::Readers);
    EXPECT_FALSE(parse({"dump", "some", "f"}, error).has_value());
    EXPECT_FALSE(parse({"dump", "new"}, error).has_value());
    EXPECT_FALSE(parse({"info", "--log"}, error).has_value());
    EXPECT_FALSE(parse({}, error).has_value());
}

TEST(K7xFormat, SerialTextIsLowerCaseHexByteFiveFirst) {
    const uint8_t serial[6] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB};
    EXPECT_EQ(lapdex::serialText(serial), "ab8967452301");
    const uint8_t clock[6] = {49, 54, 8, 23, 4, 14};
    EXPECT_EQ(k7x::clockText(clock), "2014-04-23 08:54:49");
    const uint8_t name[8] = {'K', '7', 'X', 0, 'Z', 'Z', 'Z', 3};
    EXPECT_EQ(k7x::productNameText(name), "K7X");
}

class K7xTool : public LibraryFixture {
  protected:
    int run(int (*command)(const k7x::Invocation&), const k7x::Invocation& invocation) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = command(invocation);
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
        return status;
    }

    std::string out;
    std::string err;
};

TEST_F(K7xTool, InfoShowsTheStopwatch) {
    stopwatch->setBatteryRaw(0x0ABC);
    k7x::Invocation invocation;
    invocation.command = k7x::Command::Info;
    invocation.logDirectory = folder.string();  // no trailing separator: the tool adds it
    ASSERT_EQ(run(&k7x::runInfo, invocation), 0) << err;
    EXPECT_NE(out.find("Serial:         ab8967452301\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Product type:   2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Battery (raw):  2748\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Clock:          2024-01-01 12:00:00\n"), std::string::npos) << out;
    EXPECT_TRUE(std::filesystem::exists(logFile()));
    EXPECT_EQ(standin().openContexts(), 0);
}

TEST_F(K7xTool, InfoSaysWhatIsMissing) {
    k7x::Invocation invocation;
    invocation.command = k7x::Command::Info;
    standin().card.reset();
    EXPECT_EQ(run(&k7x::runInfo, invocation), 1);
    EXPECT_NE(err.find("No stopwatch found on ACS ACR122U"), std::string::npos) << err;
    standin().readers = {sim::StandinReader{"Foreign Reader 00 00"}};
    EXPECT_EQ(run(&k7x::runInfo, invocation), 1);
    EXPECT_NE(err.find("No ACS or Sony reader found"), std::string::npos) << err;
    standin().readers = {sim::StandinReader{"sony lower case 00 00"}};  // the marker is case-sensitive
    EXPECT_EQ(run(&k7x::runInfo, invocation), 1);
    EXPECT_NE(err.find("No ACS or Sony reader found"), std::string::npos) << err;
    standin().readers.clear();
    EXPECT_EQ(run(&k7x::runInfo, invocation), 1);
    EXPECT_NE(err.find("No reader found"), std::string::npos) << err;
    EXPECT_EQ(standin().openContexts(), 0);
}

TEST_F(K7xTool, InfoAndDumpWorkThroughASonyReader) {
    standin().readers = {sim::StandinReader{"Gemalto PC Twin Reader 00 00"},
                         sim::StandinReader{sim::kSonyReaderName, sim::ReaderEmulation::Sony}};
    standin().cardReader = sim::kSonyReaderName;
    stopwatch = standin().layCard(sim::generateRuns(23, 5));
    k7x::Invocation invocation;
    invocation.command = k7x::Command::Info;
    ASSERT_EQ(run(&k7x::runInfo, invocation), 0) << err;
    EXPECT_NE(out.find("Reader:         Sony FeliCa Port/PaSoRi 3.0 00 00\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Serial:         ab8967452301\n"), std::string::npos) << out;
    invocation.command = k7x::Command::DumpAll;
    invocation.file = (folder / "all.bin").string();
    ASSERT_EQ(run(&k7x::runDump, invocation), 0) << err;
    std::ifstream in(invocation.file, std::ios::binary);
    const Bytes written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, stopwatch->allRunBytes());
    testing::internal::CaptureStdout();
    ASSERT_EQ(k7x::runReaders(), 0);
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Sony FeliCa Port/PaSoRi 3.0 00 00   (used by RDCOM32)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Gemalto PC Twin Reader 00 00\n"), std::string::npos) << out;
    EXPECT_EQ(standin().openContexts(), 0);
}

TEST_F(K7xTool, DumpNewWritesTheNewRunsAndTheStopwatchMarksThemRead) {
    stopwatch = standin().layCard(sim::generateRuns(21, 6));
    stopwatch->downloadedRuns = 4;
    const Bytes expected = stopwatch->newRunBytes();
    k7x::Invocation invocation;
    invocation.command = k7x::Command::DumpNew;
    invocation.file = (folder / "new.bin").string();
    ASSERT_EQ(run(&k7x::runDump, invocation), 0) << err;
    std::ifstream in(invocation.file, std::ios::binary);
    const Bytes written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, expected);
    EXPECT_EQ(stopwatch->eraseRunParams, Bytes{0x01});
    // Nothing new is left: a second dump writes an empty file and still succeeds.
    ASSERT_EQ(run(&k7x::runDump, invocation), 0) << err;
    EXPECT_EQ(std::filesystem::file_size(invocation.file), 0u);
}

TEST_F(K7xTool, DumpFailsWhenTheFileCannotBeWritten) {
    stopwatch = standin().layCard(sim::generateRuns(22, 2));
    k7x::Invocation invocation;
    invocation.command = k7x::Command::DumpAll;
    invocation.file = (folder / "missing" / "all.bin").string();
    EXPECT_EQ(run(&k7x::runDump, invocation), 1);
    EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
}

}  // namespace
}  // namespace rdcom32::test

namespace k7x_download {

using rdcom32::test::LibraryFixture;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class K7xDownload : public LibraryFixture {
  protected:
    int download(k7x::Command command) {
        k7x::Invocation invocation;
        invocation.command = command;
        invocation.file = (folder / "data").string();
        testing::internal::CaptureStdout();
        const int status = k7x::runDownload(invocation);
        out = testing::internal::GetCapturedStdout();
        return status;
    }
    std::set<std::string> runFiles() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder / "data" / "QTM-01")) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    std::string out;
};

TEST_F(K7xDownload, WritesRunFilesRegistersAndFindsNothingNewTheSecondTime) {
    stopwatch->runs = *sim::parseRuns(
        "2024-05-01 07:30:00 00:01:10.50 00:02:15.20\n"
        "2024-05-02 08:00:00 00:00:59.99\n");
    ASSERT_EQ(download(k7x::Command::DownloadNew), 0) << out;
    EXPECT_NE(out.find("Download finished."), std::string::npos) << out;
    const std::set<std::string> expected{"QTM240501_073000_ab8967452301.csv",
                                         "QTM240502_080000_ab8967452301.csv"};
    EXPECT_EQ(runFiles(), expected);
    EXPECT_NE(fileText(folder / "data" / "Lapdex.dat").find("QTM01_SERIAL=ab8967452301"),
              std::string::npos);
    EXPECT_EQ(stopwatch->beepCount, 1);

    ASSERT_EQ(download(k7x::Command::DownloadNew), 0) << out;
    EXPECT_NE(out.find("No new runs."), std::string::npos) << out;
    std::filesystem::remove(folder / "data" / "QTM-01" / "QTM240501_073000_ab8967452301.csv");
    ASSERT_EQ(download(k7x::Command::DownloadAll), 0) << out;
    EXPECT_EQ(runFiles(), expected);
}

TEST_F(K7xDownload, ParsesTheDownloadCommand) {
    std::string error;
    const char* words[] = {"k7x-tool", "download", "all", "/tmp/data"};
    auto invocation = k7x::parseCommandLine(4, words, error);
    ASSERT_TRUE(invocation.has_value()) << error;
    EXPECT_EQ(invocation->command, k7x::Command::DownloadAll);
    EXPECT_EQ(invocation->file, "/tmp/data");
}

}  // namespace k7x_download
