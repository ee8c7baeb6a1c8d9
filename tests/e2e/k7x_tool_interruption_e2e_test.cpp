// Ctrl-C in k7x-tool's download, export and dump, sent to the real program while it writes,
// through a real pcscd, vpcd's virtual reader and stopwatch-sim: what is on disk afterwards, what
// the program says, and that the command it names brings the rest.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "child_process.h"
#include "model/stopwatch.h"
#include "pcscd_fixture.h"

#ifndef K7X_TOOL_PATH
#error "K7X_TOOL_PATH must name the k7x-tool program"
#endif

namespace {

namespace fs = std::filesystem;
using testsupport::ChildProcess;
using testsupport::PcscdFixture;

constexpr int kInterrupted = 130;

std::string readText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files directly in `folder` whose names end in `suffix` and do not start with '.'.
int countFiles(const std::string& folder, const std::string& suffix) {
    std::error_code error;
    int count = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        count += name.ends_with(suffix) && !name.starts_with('.') ? 1 : 0;
    }
    return count;
}

// Every name under `root` that is a temporary of an unfinished write.
std::vector<std::string> temporaries(const std::string& root) {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().find(".tmp-") != std::string::npos)
            found.push_back(it->path().string());
    }
    return found;
}

// Polls `ready` every 0.1 ms, so that the signal lands while the program is still at work.
bool waitUntil(const std::function<bool()>& ready, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

class K7xToolInterrupted : public ::testing::Test {
  protected:
    PcscdFixture rig;

    void SetUp() override {
        auto started = rig.start();
        ASSERT_TRUE(started) << started.error;
        // The run index of the export lives in this test's folder, not in the user's cache.
        ::setenv("XDG_CACHE_HOME", (rig.folder() + "/cache").c_str(), 1);
    }
    void TearDown() override { ::unsetenv("XDG_CACHE_HOME"); }

    // Starts k7x-tool in the background; its output goes to `log`.
    void start(ChildProcess& child, const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{K7X_TOOL_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        log = rig.folder() + "/k7x-tool-" + std::to_string(++runs) + ".log";
        std::string error;
        ASSERT_TRUE(child.start(argv, log, error)) << error;
    }
    // Ctrl-C as the terminal sends it, with the program held still in between so that the signal
    // arrives where the test saw it, not some files later.
    static void interrupt(ChildProcess& child) {
        ::kill(child.pid(), SIGSTOP);
        ::kill(child.pid(), SIGINT);
        ::kill(child.pid(), SIGCONT);
    }
    // The exit status of the child (-1 when it did not exit normally within a minute).
    int exitOf(ChildProcess& child) {
        int status = 0;
        if (!child.waitExit(60000, &status) || !WIFEXITED(status)) return -1;
        output = readText(log);
        return WEXITSTATUS(status);
    }
    int tool(const std::vector<std::string>& arguments) {
        ChildProcess child;
        start(child, arguments);
        return exitOf(child);
    }

    std::string log;
    std::string output;
    int runs = 0;
};

// Short runs, many of them: the files take long enough to write that the signal always lands
// among them, however busy the machine.
std::string manyShortRuns(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "2024-03-%02d %02d:%02d:00 00:01:00.00\n", 1 + i / 1440,
                      i / 60 % 24, i % 60);
        text += line;
    }
    return text;
}

TEST_F(K7xToolInterrupted, DownloadSaysWhatItSavedAndDownloadAllBringsTheRest) {
    constexpr int kRuns = 2500;
    const std::string runsFile = rig.folder() + "/runs.txt";
    std::ofstream(runsFile) << manyShortRuns(kRuns);
    const std::string data = rig.folder() + "/data";
    const std::string folder = data + "/QTM-01";
    const std::string firstRun = folder + "/QTM240301_000000_ab8967452301.csv";
    // On a busy machine the files may all be written before the signal lands, which proves
    // nothing: the stopwatch is then laid anew with the same runs and the download tried again.
    int saved = kRuns;
    int attempts = 0;
    while (saved == kRuns && attempts++ < 3) {
        if (attempts > 1) {
            ASSERT_TRUE(rig.liftStopwatch());
            fs::remove_all(data);
        }
        auto laid = rig.layStopwatch({"--runs", runsFile});
        ASSERT_TRUE(laid) << laid.error;
        ChildProcess child;
        start(child, {"download", "new", data});
        // The folder appears at the registration, just before the files: from then on the test
        // looks without sleeping, so that it stops the program at its first file.
        ASSERT_TRUE(waitUntil([&] { return fs::exists(folder); }, std::chrono::seconds(60)));
        while (!fs::exists(firstRun) && child.running()) std::this_thread::yield();
        interrupt(child);
        ASSERT_EQ(exitOf(child), kInterrupted) << output;
        saved = countFiles(folder, ".csv");
        EXPECT_EQ(temporaries(data), std::vector<std::string>{});
        const std::string line =
            saved == kRuns
                ? std::to_string(kRuns) + " of " + std::to_string(kRuns) +
                      " runs saved before the interruption; nothing is left to download\n"
                : std::to_string(saved) + " of " + std::to_string(kRuns) +
                      " runs saved; the other " + std::to_string(kRuns - saved) +
                      " stay on the stopwatch as old runs: run `k7x-tool download all " + data +
                      "`\n";
        EXPECT_NE(output.find(line), std::string::npos) << output;
    }
    RecordProperty("runsSavedBeforeTheInterruption", saved);
    RecordProperty("attempts", attempts);
    EXPECT_GT(saved, 0);
    ASSERT_LT(saved, kRuns);
    // The erase came before the files: the new runs are gone, the old ones bring the rest.
    ASSERT_EQ(tool({"download", "new", data}), 0) << output;
    EXPECT_NE(output.find("No new runs."), std::string::npos) << output;
    ASSERT_EQ(tool({"download", "all", data}), 0) << output;
    EXPECT_EQ(countFiles(folder, ".csv"), kRuns);
}

TEST_F(K7xToolInterrupted, DownloadStoppedWhileWaitingLeavesNothingBehind) {
    const std::string data = rig.folder() + "/data";
    ChildProcess child;
    start(child, {"download", "all", data});
    ASSERT_TRUE(
        waitUntil([&] { return readText(log).find("No stopwatch on") != std::string::npos; },
                  std::chrono::seconds(30)));
    ::kill(child.pid(), SIGTERM);  // as a service manager or `timeout` ends it
    ASSERT_EQ(exitOf(child), kInterrupted) << output;
    EXPECT_NE(
        output.find(
            "Interrupted before any run was read; nothing was saved: run `k7x-tool download all " +
            data + "` again\n"),
        std::string::npos)
        << output;
    EXPECT_FALSE(fs::exists(data));
}

TEST_F(K7xToolInterrupted, ExportLeavesNoHalfSetAndTheNextExportNeedsNoForce) {
    constexpr int kRuns = 300;
    auto laid = rig.layStopwatch({"--generate", "3:" + std::to_string(kRuns)});
    ASSERT_TRUE(laid) << laid.error;
    const std::string data = rig.folder() + "/data";
    ASSERT_EQ(tool({"download", "new", data}), 0) << output;
    const std::string out = rig.folder() + "/out";
    fs::create_directory(out);
    ChildProcess child;
    start(child, {"export", data, out, "--format", "tcx"});
    ASSERT_TRUE(waitUntil([&] { return countFiles(out, ".tcx") > 0; }, std::chrono::seconds(60)));
    interrupt(child);
    ASSERT_EQ(exitOf(child), kInterrupted) << output;
    EXPECT_TRUE(fs::is_empty(out));
    EXPECT_NE(
        output.find("Interrupted; no export file was left in " + out + ": run the export again\n"),
        std::string::npos)
        << output;
    ASSERT_EQ(tool({"export", data, out, "--format", "tcx"}), 0) << output;
    EXPECT_EQ(countFiles(out, ".tcx"), kRuns);
    EXPECT_EQ(temporaries(out), std::vector<std::string>{});
}

TEST_F(K7xToolInterrupted, DumpIsWrittenWholeOrNotAtAllAndNoRunIsLost) {
    constexpr int kRuns = 400;
    const size_t newBytes = sim::encodeRuns(sim::generateRuns(5, kRuns), 0).size();
    auto laid = rig.layStopwatch({"--generate", "5:" + std::to_string(kRuns), "--transcript"});
    ASSERT_TRUE(laid) << laid.error;
    const std::string file = rig.folder() + "/runs.bin";
    auto temporaryThere = [&] {
        return !temporaries(rig.folder() + "/").empty() && fs::exists(file) == false;
    };
    auto transferring = [&] {
        const std::string text = rig.simulatorOutput();
        size_t commands = 0;
        for (size_t at = 0; (at = text.find("\n> ", at)) != std::string::npos; ++at) ++commands;
        return commands > 120;  // well into the reading of about 300 blocks of runs
    };
    struct Case {
        const char* what;
        std::function<bool()> moment;
        bool written;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"before the stopwatch is read", temporaryThere, false,
         "Interrupted before the runs were read; " + file +
             " was not written: run `k7x-tool dump new " + file + "` again\n"},
        {"while the runs are read", transferring, true,
         "Interrupted after the runs were read; " + file + " holds them all (" +
             std::to_string(newBytes) + " bytes): nothing is left to do\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChildProcess child;
        start(child, {"dump", "new", file});
        ASSERT_TRUE(waitUntil(c.moment, std::chrono::seconds(60)));
        interrupt(child);
        ASSERT_EQ(exitOf(child), kInterrupted) << output;
        EXPECT_NE(output.find(c.line), std::string::npos) << output;
        EXPECT_EQ(fs::exists(file), c.written);
        if (c.written) {
            EXPECT_EQ(fs::file_size(file), newBytes);
        }
        EXPECT_EQ(temporaries(rig.folder() + "/"), std::vector<std::string>{});
    }
    // The runs read whole by the second dump are no longer new: nothing was lost in between.
    ASSERT_EQ(tool({"dump", "new", rig.folder() + "/again.bin"}), 0) << output;
    EXPECT_EQ(fs::file_size(rig.folder() + "/again.bin"), 0u);
}

}  // namespace
