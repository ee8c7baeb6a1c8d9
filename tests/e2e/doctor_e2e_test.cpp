// k7x-tool doctor as a user runs it, against a real pcscd with vpcd's reader: an empty
// reader fails, a stopwatch laid on it passes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "pcscd_gtest.h"

#ifndef K7X_TOOL_PATH
#error "K7X_TOOL_PATH must name the k7x-tool program"
#endif

namespace {

using testsupport::PcscdFixture;

struct DoctorRun {
    int status = -1;
    std::string output;
};

// k7x-tool doctor with an empty /sys of its own, so the host's drivers and USB devices do
// not change the outcome.
DoctorRun doctor(const std::string& root) {
    DoctorRun run;
    const std::string command = std::string(K7X_TOOL_PATH) + " doctor --root '" + root + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char chunk[512];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, got);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

TEST(DoctorOverPcscd, EmptyReaderFailsAndAStopwatchOnItPasses) {
    PcscdFixture rig;
    LAPDEX_START_PCSCD(rig);
    const std::string root = rig.folder() + "/root";
    std::filesystem::create_directories(root + "/sys/module");
    std::filesystem::create_directories(root + "/sys/bus/usb/devices");

    const DoctorRun empty = doctor(root);
    EXPECT_EQ(empty.status, 1) << empty.output;
    EXPECT_NE(empty.output.find("PC/SC service: reachable ... OK\n"), std::string::npos)
        << empty.output;
    EXPECT_NE(empty.output.find("Reader \"ACS ACR122U PICC Interface 00 00\": RDCOM32 uses it"),
              std::string::npos)
        << empty.output;
    EXPECT_NE(
        empty.output.find(": none answered the polling; lay the stopwatch flat on the reader's "
                          "centre ... FAIL\n"),
        std::string::npos)
        << empty.output;

    auto laid = rig.layStopwatch({"--answers", "direct", "--generate", "5:12", "--old", "9"});
    ASSERT_TRUE(laid) << laid.error;
    const DoctorRun passing = doctor(root);
    EXPECT_EQ(passing.status, 0) << passing.output;
    EXPECT_NE(passing.output.find("Stopwatch serial: ab8967452301 ... OK\n"), std::string::npos)
        << passing.output;
    EXPECT_NE(passing.output.find("Runs waiting: 3 new ("), std::string::npos) << passing.output;
    EXPECT_NE(passing.output.find("A download would work.\n"), std::string::npos) << passing.output;
    auto lifted = rig.liftStopwatch();
    ASSERT_TRUE(lifted) << lifted.error;
    // The doctor changed nothing: no erase, no beep, no clock setting.
    EXPECT_NE(rig.simulatorOutput().find(" beeps=0 "), std::string::npos) << rig.simulatorOutput();
    EXPECT_NE(rig.simulatorOutput().find(" set-time=0 "), std::string::npos)
        << rig.simulatorOutput();
    EXPECT_NE(rig.simulatorOutput().find(" erase-run= "), std::string::npos)
        << rig.simulatorOutput();
}

}  // namespace
