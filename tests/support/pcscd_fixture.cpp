// The private pcscd + vpcd + stopwatch-sim rig of the end-to-end tests and benchmarks.
#include "pcscd_fixture.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <winscard.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

#ifndef STOPWATCH_SIM_PATH
#error "STOPWATCH_SIM_PATH must name the stopwatch-sim program"
#endif

namespace fs = std::filesystem;

namespace testsupport {
namespace {

constexpr const char* kDriver = "/usr/lib/pcsc/drivers/serial/libifdvpcd.so";
constexpr const char* kRunFolder = "/run/pcscd";
constexpr const char* kSocket = "/run/pcscd/pcscd.comm";
constexpr const char* kPidFile = "/run/pcscd/pcscd.pid";

using Clock = std::chrono::steady_clock;

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A live pcscd process other than a zombie waiting for its parent.
std::string pcscdProcess() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (readFile(entry.path() / "comm") != "pcscd\n") continue;
        std::string stat = readFile(entry.path() / "stat");
        size_t close = stat.rfind(')');
        if (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z') continue;
        return "a pcscd (pid " + name + ") is already running";
    }
    return "";
}

bool socketAnswers() {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", kSocket);
    bool answered = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return answered;
}

std::string pcscdProgram() {
    for (const char* path : {"/usr/sbin/pcscd", "/sbin/pcscd", "/usr/bin/pcscd"}) {
        if (access(path, X_OK) == 0) return path;
    }
    return "pcscd";
}

}  // namespace

PcscdFixture::PcscdFixture(uint16_t port, std::string friendlyName)
    : vpcdPort(port), friendly(std::move(friendlyName)), reader(friendly + " 00 00") {
    std::string pattern = (fs::temp_directory_path() / "lapdex-pcscd-XXXXXX").string();
    if (mkdtemp(pattern.data())) directory = pattern;
}

PcscdFixture::~PcscdFixture() {
    simulator.stop();
    pcscd.stop();
    std::error_code ec;
    if (!directory.empty()) fs::remove_all(directory, ec);
}

std::string PcscdFixture::foreignPcscd() {
    std::string process = pcscdProcess();
    if (!process.empty()) return process;
    std::string pid = readFile(kPidFile);
    if (!pid.empty() && kill(std::atoi(pid.c_str()), 0) == 0) return std::string(kPidFile) + " names a live pcscd (pid " + pid + ")";
    if (socketAnswers()) return std::string("something answers on ") + kSocket;
    return "";
}

FixtureResult PcscdFixture::start() {
    if (directory.empty()) return FixtureResult::failure("cannot create a temporary folder");
    std::string foreign = foreignPcscd();
    if (!foreign.empty()) {
        return FixtureResult::failure(foreign + ": stop it first; this test needs its own pcscd on " + kSocket);
    }
    if (access(kDriver, R_OK) != 0) return FixtureResult::failure(std::string("vpcd driver missing: ") + kDriver + " (install vsmartcard-vpcd)");
    if (access(STOPWATCH_SIM_PATH, X_OK) != 0) return FixtureResult::failure(std::string("stopwatch-sim missing: ") + STOPWATCH_SIM_PATH);
    std::error_code ec;
    fs::create_directories(kRunFolder, ec);
    fs::create_directories(directory + "/reader.conf.d", ec);
    char port[16];
    std::snprintf(port, sizeof port, "0x%04X", vpcdPort);
    std::ofstream conf(directory + "/reader.conf.d/vpcd");
    conf << "FRIENDLYNAME \"" << friendly << "\"\n"
         << "DEVICENAME /dev/null:" << port << "\n"
         << "LIBPATH " << kDriver << "\n"
         << "CHANNELID " << port << "\n";
    conf.close();
    unsetenv("PCSCLITE_CSOCK_NAME");  // the daemon ignores it; the client must not follow it elsewhere
    std::string error;
    if (!pcscd.start({pcscdProgram(), "-f", "-c", directory + "/reader.conf.d"}, directory + "/pcscd.log", error)) {
        return FixtureResult::failure(error + " (install pcscd)");
    }
    return waitForReader();
}

FixtureResult PcscdFixture::waitForReader() {
    auto deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
    while (Clock::now() < deadline) {
        if (!pcscd.running()) return FixtureResult::failure("pcscd ended early:\n" + tail(directory + "/pcscd.log"));
        SCARDCONTEXT context = 0;
        if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) == SCARD_S_SUCCESS) {
            char names[4096];
            DWORD length = sizeof names;
            bool listed = SCardListReaders(context, nullptr, names, &length) == SCARD_S_SUCCESS;
            SCardReleaseContext(context);
            for (const char* name = names; listed && *name; name += std::strlen(name) + 1) {
                if (reader == name) return FixtureResult{};
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return FixtureResult::failure("pcscd did not list \"" + reader + "\" in time:\n" + tail(directory + "/pcscd.log"));
}

FixtureResult PcscdFixture::layStopwatch(const std::vector<std::string>& arguments) {
    if (simulator.running()) return FixtureResult::failure("a stopwatch already lies on the reader");
    // The simulator is told the reader's name, which chooses its emulation unless the test
    // names one with --reader.
    std::vector<std::string> argv{STOPWATCH_SIM_PATH, "--port", std::to_string(vpcdPort),
                                  "--reader-name", friendly};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::string error;
    ++simulatorRuns;
    if (!simulator.start(argv, directory + "/stopwatch-sim-" + std::to_string(simulatorRuns) + ".log", error)) {
        return FixtureResult::failure(error);
    }
    return waitForCard(true);
}

FixtureResult PcscdFixture::liftStopwatch() {
    simulator.stop();
    return waitForCard(false);
}

FixtureResult PcscdFixture::waitStopwatchGone() {
    if (!simulator.waitExit(kTimeoutMs)) return FixtureResult::failure("stopwatch-sim did not leave");
    return waitForCard(false);
}

// Waits with SCardGetStatusChange: pcscd looks for the card every 0.4 s by itself.
FixtureResult PcscdFixture::waitForCard(bool present) {
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS) {
        return FixtureResult::failure("pcscd does not answer");
    }
    SCARD_READERSTATE state{};
    state.szReader = reader.c_str();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    auto deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
    bool reached = false;
    while (!reached && Clock::now() < deadline) {
        if (present && !simulator.running()) break;
        LONG result = SCardGetStatusChange(context, 200, &state, 1);
        if (result == SCARD_S_SUCCESS) {
            reached = ((state.dwEventState & SCARD_STATE_PRESENT) != 0) == present;
            state.dwCurrentState = state.dwEventState & ~SCARD_STATE_CHANGED;
        } else if (result != SCARD_E_TIMEOUT) {
            break;
        }
    }
    SCardReleaseContext(context);
    if (reached) return FixtureResult{};
    return FixtureResult::failure(std::string(present ? "the stopwatch did not appear" : "the stopwatch did not leave") +
                                  " on \"" + reader + "\"; stopwatch-sim said:\n" + simulatorOutput());
}

std::string PcscdFixture::simulatorOutput() const {
    return readFile(directory + "/stopwatch-sim-" + std::to_string(simulatorRuns) + ".log");
}

std::string PcscdFixture::pcscdLog() const { return readFile(directory + "/pcscd.log"); }

std::string PcscdFixture::tail(const std::string& path) const {
    std::string text = readFile(path);
    return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

}  // namespace testsupport
