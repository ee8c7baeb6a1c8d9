// k7x-tool's commands, run in-process against the library core and the PC/SC stand-in.
#include <sys/mount.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include "data_folder_lock.h"
#include "download_command.h"
#include "engine/serial_text.h"
#include "invocation.h"
#include "library_fixture.h"
#include "model/stopwatch.h"
#include "repair_command.h"
#include "stopwatch_format.h"
#include "tool_commands.h"

namespace rdcom32::test {
namespace {

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
    standin().readers = {
        sim::StandinReader{"sony lower case 00 00"}};  // the marker is case-sensitive
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
    EXPECT_NE(out.find("Reader:         Sony FeliCa Port/PaSoRi 3.0 00 00\n"), std::string::npos)
        << out;
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
    EXPECT_NE(out.find("Sony FeliCa Port/PaSoRi 3.0 00 00   (used by RDCOM32)\n"),
              std::string::npos)
        << out;
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
    // The file is there now: without --force a second dump refuses before touching the stopwatch.
    const size_t exchanges = standin().transcript.size();
    EXPECT_EQ(run(&k7x::runDump, invocation), 1);
    EXPECT_EQ(err, "k7x-tool: " + invocation.file +
                       " exists; nothing was written (--force replaces it)\n");
    EXPECT_EQ(standin().transcript.size(), exchanges);
    // Nothing new is left: a second dump with --force writes an empty file and still succeeds.
    invocation.overwrite = lapdex::Overwrite::Replace;
    ASSERT_EQ(run(&k7x::runDump, invocation), 0) << err;
    EXPECT_EQ(std::filesystem::file_size(invocation.file), 0u);
}

// A dump whose output cannot be written must not read the runs: reading them erases the
// stopwatch's "new" marking.
TEST_F(K7xTool, DumpToABadPathKeepsTheNewRunsAndSaysWhy) {
    stopwatch = standin().layCard(sim::generateRuns(22, 3));
    const Bytes newRuns = stopwatch->newRunBytes();
    std::ofstream(folder / "plain-file") << "x";
    std::filesystem::create_directory(folder / "a-folder");
    const struct {
        std::filesystem::path file;
        std::string why;
    } cases[] = {
        {folder / "missing" / "deeper" / "new.bin",
         "the folder " + (folder / "missing").string() + " does not exist"},
        {folder / "plain-file" / "new.bin", (folder / "plain-file").string() + " is not a folder"},
        {folder / "a-folder", (folder / "a-folder").string() + " is a folder"},
    };
    k7x::Invocation invocation;
    invocation.command = k7x::Command::DumpNew;
    for (const auto& c : cases) {
        invocation.file = c.file.string();
        EXPECT_EQ(run(&k7x::runDump, invocation), 1);
        EXPECT_EQ(err, "k7x-tool: cannot write " + c.file.string() + ": " + c.why + "\n");
    }
    EXPECT_TRUE(standin().transcript.empty());
    EXPECT_EQ(stopwatch->newRunBytes(), newRuns);
    EXPECT_TRUE(stopwatch->eraseRunParams.empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder / "a-folder"));
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

// The last folder of the output is made, as for every command that writes; a dump that wrote
// nothing takes it away again.
TEST_F(K7xTool, DumpMakesTheLastFolderAndLeavesNoneBehindWhenItFails) {
    stopwatch = standin().layCard(sim::generateRuns(25, 3));
    k7x::Invocation invocation;
    invocation.command = k7x::Command::DumpAll;
    invocation.file = (folder / "made" / "all.bin").string();
    ASSERT_EQ(run(&k7x::runDump, invocation), 0) << err;
    EXPECT_EQ(std::filesystem::file_size(invocation.file), stopwatch->allRunBytes().size());
    standin().card.reset();
    invocation.file = (folder / "unused" / "all.bin").string();
    EXPECT_EQ(run(&k7x::runDump, invocation), 1);
    EXPECT_FALSE(std::filesystem::exists(folder / "unused")) << err;
}

// A small tmpfs: a real full disk and a real read-only file system, as root may mount them.
class SmallDisk {
  public:
    SmallDisk(const std::filesystem::path& at, const std::string& size) : at_(at) {
        std::filesystem::create_directory(at);
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool makeReadOnly() {
        return ::mount("tmpfs", at_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    std::filesystem::path at_;
    bool mounted_ = false;
};

// Room for the dump is reserved before the runs are read: a full disk loses nothing.
TEST_F(K7xTool, DumpOnAFullOrReadOnlyDiskSaysWhyBeforeReading) {
    SmallDisk disk(folder / "disk", "16k");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    stopwatch = standin().layCard(sim::generateRuns(9, 30));
    const Bytes newRuns = stopwatch->newRunBytes();
    k7x::Invocation invocation;
    invocation.command = k7x::Command::DumpNew;
    invocation.file = (folder / "disk" / "new.bin").string();
    EXPECT_EQ(run(&k7x::runDump, invocation), 1);
    EXPECT_EQ(err, "k7x-tool: cannot write " + invocation.file + ": the disk is full\n");
    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_EQ(run(&k7x::runDump, invocation), 1);
    EXPECT_EQ(err, "k7x-tool: cannot write " + invocation.file + ": " + (folder / "disk").string() +
                       " is on a read-only file system\n");
    EXPECT_TRUE(standin().transcript.empty());
    EXPECT_EQ(stopwatch->newRunBytes(), newRuns);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "disk"));
}

TEST_F(K7xTool, DumpReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    stopwatch = standin().layCard(sim::generateRuns(24, 4));
    const std::filesystem::path file = folder / "all.bin";
    std::ofstream(file) << std::string(70000, 'x');  // longer than any dump
    k7x::Invocation invocation;
    invocation.command = k7x::Command::DumpAll;
    invocation.file = file.string();
    invocation.overwrite = lapdex::Overwrite::Replace;
    ASSERT_EQ(run(&k7x::runDump, invocation), 0) << err;
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
              stopwatch->allRunBytes());
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"all.bin"});
}

TEST_F(K7xTool, ALogThatCannotBeOpenedStopsBeforeTheStopwatchIsTouched) {
    std::ofstream(folder / "plain-file") << "x";
    k7x::Invocation invocation;
    invocation.command = k7x::Command::Info;
    invocation.logDirectory = (folder / "plain-file").string();
    EXPECT_EQ(run(&k7x::runInfo, invocation), 1);
    EXPECT_EQ(err, "k7x-tool: cannot open the debug log " + (folder / "plain-file").string() +
                       "/rdcaa_debug.log: " + (folder / "plain-file").string() +
                       " is not a folder\n");
    EXPECT_TRUE(standin().transcript.empty());
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
    int download(k7x::Command command, std::string logDirectory = "",
                 std::chrono::milliseconds wait = k7x::kStopwatchWait) {
        k7x::Invocation invocation;
        invocation.command = command;
        invocation.file = (folder / "data").string();
        invocation.logDirectory = std::move(logDirectory);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = k7x::runDownload(invocation, wait);
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
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
    std::string err;
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

TEST_F(K7xDownload, WritesTheLogIntoTheFolderGiven) {
    std::filesystem::create_directory(folder / "logs");
    ASSERT_EQ(download(k7x::Command::DownloadNew, (folder / "logs").string()), 0) << err;
    EXPECT_GT(std::filesystem::file_size(folder / "logs" / "rdcaa_debug.log"), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder / "logsrdcaa_debug.log"));
    // The log's folder follows the rule of every output folder: its last level is made.
    ASSERT_EQ(download(k7x::Command::DownloadNew, (folder / "new-logs").string()), 0) << err;
    EXPECT_TRUE(std::filesystem::exists(folder / "new-logs" / "rdcaa_debug.log"));
    const std::string deeper = (folder / "nowhere" / "deeper").string();
    EXPECT_EQ(download(k7x::Command::DownloadNew, deeper), 1);
    EXPECT_EQ(err, "k7x-tool: cannot open the debug log " + deeper +
                       "/rdcaa_debug.log: the folder " + (folder / "nowhere").string() +
                       " does not exist\n");
}

// Without a service or a reader the download says so at once and creates nothing.
TEST_F(K7xDownload, SaysAtOnceWhatIsMissing) {
    const struct {
        std::function<void(sim::Standin&)> breakIt;
        std::string message;
    } cases[] = {
        {[](sim::Standin& s) { s.failEstablish = true; }, "No PC/SC service: is pcscd running?"},
        {[](sim::Standin& s) { s.readers.clear(); }, "No reader found"},
        {[](sim::Standin& s) { s.readers = {sim::StandinReader{"Gemalto 00 00"}}; },
         "No ACS or Sony reader"},
    };
    for (const auto& c : cases) {
        standin().reset();
        stopwatch = standin().layCard();
        c.breakIt(standin());
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(download(k7x::Command::DownloadNew), 1);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
        EXPECT_EQ(err.rfind("k7x-tool: " + c.message, 0), 0u) << err;
        EXPECT_FALSE(std::filesystem::exists(folder / "data"));
    }
}

TEST_F(K7xDownload, WithoutAStopwatchSaysSoAndLeavesNothingBehind) {
    standin().card.reset();
    EXPECT_EQ(download(k7x::Command::DownloadNew, "", std::chrono::seconds(1)), 1);
    EXPECT_EQ(out.rfind("No stopwatch on ACS ACR122U", 0), 0u) << out;
    EXPECT_NE(err.find("no stopwatch was laid on ACS ACR122U"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(folder / "data"));
    // An existing folder stays, without a Lapdex.dat of ours.
    std::filesystem::create_directory(folder / "data");
    EXPECT_EQ(download(k7x::Command::DownloadNew, "", std::chrono::seconds(1)), 1);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "data"));
}

TEST_F(K7xDownload, NeverReplacesALapdexDatItCannotRead) {
    std::filesystem::create_directories(folder / "data" /
                                        "Lapdex.dat");  // cannot be read as a file
    EXPECT_EQ(download(k7x::Command::DownloadNew), 1);
    EXPECT_NE(err.find((folder / "data" / "Lapdex.dat").string() + " exists but cannot be read"),
              std::string::npos)
        << err;
    EXPECT_TRUE(std::filesystem::is_directory(folder / "data" / "Lapdex.dat"));
    EXPECT_TRUE(standin().transcript.empty());
    EXPECT_TRUE(stopwatch->eraseRunParams.empty());
}

// A Lapdex.dat that lost its registrations would hand QTM-01 to this stopwatch, beside another's
// runs: the download refuses before the stopwatch is touched, and repair lets it go on.
TEST_F(K7xDownload, NeverAddsToADamagedLapdexDatAndGoesOnAfterRepair) {
    std::string random;
    for (int i = 0; i < 300; ++i) random += static_cast<char>((i * 131 + 7) % 256);
    const std::string other = "QTM240101_060000_00000000beef.csv";
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {{"random bytes", random},
                 {"cut short before [User]", "[Config]\r\nLOCATION=ENG\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder / "data");
        std::filesystem::create_directories(folder / "data" / "QTM-01");
        std::ofstream(folder / "data" / "QTM-01" / other) << "x";
        std::ofstream(folder / "data" / "Lapdex.dat", std::ios::binary) << c.bytes;
        standin().reset();
        stopwatch = standin().layCard();
        stopwatch->runs = *sim::parseRuns("2024-05-01 07:30:00 00:01:10.50\n");
        EXPECT_EQ(download(k7x::Command::DownloadNew), 1);
        const std::string dat = (folder / "data" / "Lapdex.dat").string();
        EXPECT_EQ(err.rfind("k7x-tool: " + dat + " is damaged (", 0), 0u) << err;
        EXPECT_NE(err.find("Run `k7x-tool repair " + (folder / "data").string() + "`"),
                  std::string::npos)
            << err;
        EXPECT_EQ(fileText(folder / "data" / "Lapdex.dat"), c.bytes);
        EXPECT_TRUE(standin().transcript.empty());
        EXPECT_EQ(runFiles(), std::set<std::string>{other});

        std::FILE* sink = std::tmpfile();
        EXPECT_EQ(k7x::runRepair((folder / "data").string(), sink, sink), 0);
        std::fclose(sink);
        ASSERT_EQ(download(k7x::Command::DownloadNew), 0) << err;
        EXPECT_EQ(runFiles(), std::set<std::string>{other});
        EXPECT_TRUE(std::filesystem::exists(folder / "data" / "QTM-02" /
                                            "QTM240501_073000_ab8967452301.csv"));
    }
}

TEST_F(K7xDownload, ANewStopwatchWithoutAFreeFolderOfItsOwnIsNotMixedIn) {
    std::string dat = "[Config]\r\nPCTIME=ON\r\n[User]\r\n";
    for (int number = 1; number <= 99; ++number) {
        char serial[16];
        std::snprintf(serial, sizeof serial, "%012d", number);
        dat += "QTM" + std::string(number < 10 ? "0" : "") + std::to_string(number) +
               "_SERIAL=" + serial + "\r\n";
    }
    std::filesystem::create_directories(folder / "data" / "QTM-100");
    std::ofstream(folder / "data" / "Lapdex.dat", std::ios::binary) << dat;
    std::ofstream(folder / "data" / "QTM-100" / "QTM240101_060000_00000000beef.csv") << "x";
    stopwatch->runs =
        *sim::parseRuns("2024-05-01 07:30:00 00:01:10.50\n2024-05-02 07:30:00 00:01:10.50\n");
    EXPECT_EQ(download(k7x::Command::DownloadNew), 1);
    EXPECT_EQ(err,
              "k7x-tool: the stopwatch could not be registered: every free stopwatch folder of " +
                  (folder / "data").string() +
                  " holds another stopwatch's runs; its runs stay on the stopwatch for "
                  "'download all'\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "data" / "QTM-100"), {}),
              1);
    EXPECT_EQ(fileText(folder / "data" / "Lapdex.dat").find("ab8967452301"), std::string::npos);
}

// The data folder follows the rule of every output folder: only its last level is made.
TEST_F(K7xDownload, MakesOnlyTheLastLevelOfTheDataFolder) {
    k7x::Invocation invocation;
    invocation.command = k7x::Command::DownloadNew;
    invocation.file = (folder / "club" / "data").string();
    testing::internal::CaptureStderr();
    EXPECT_EQ(k7x::runDownload(invocation), 1);
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "k7x-tool: cannot create the data folder " + invocation.file + ": the folder " +
                       (folder / "club").string() + " does not exist\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "club"));
    EXPECT_TRUE(standin().transcript.empty());
}

TEST_F(K7xDownload, WaitsForNoProgramThatHoldsTheDataFolder) {
    std::filesystem::create_directories(folder / "data");
    const lapdex::DataFolderLock lapdexRuns((folder / "data").string());
    ASSERT_EQ(lapdexRuns.state(), lapdex::DataFolderLock::State::Held);
    EXPECT_EQ(download(k7x::Command::DownloadNew), 1);
    EXPECT_EQ(err, "k7x-tool: the data folder " + (folder / "data").string() +
                       " is in use by Lapdex or another k7x-tool; download once it has ended\n");
    EXPECT_TRUE(standin().transcript.empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "data" / "Lapdex.dat"));
}

TEST_F(K7xDownload, SaysHowManyRunFilesAreMissingAndWhy) {
    std::filesystem::create_directory(folder / "data");
    rdcom32::test::SmallDisk disk(folder / "data", "24k");  // Lapdex.dat and a few run files
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    stopwatch->runs = sim::generateRuns(12, 20);
    EXPECT_EQ(download(k7x::Command::DownloadNew), 1);
    const std::string folderText = (folder / "data" / "QTM-01").string();
    const size_t stored = runFiles().size();
    EXPECT_LT(stored, 20u);
    EXPECT_EQ(err, "k7x-tool: " + std::to_string(20 - stored) +
                       " of 20 run files could not be written in " + folderText +
                       ": the disk is full; their runs stay on the stopwatch for 'download all'\n");
}

}  // namespace k7x_download
