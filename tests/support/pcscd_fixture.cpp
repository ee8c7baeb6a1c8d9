// The private pcscd + vpcd + stopwatch-sim rig of the end-to-end tests and benchmarks.
#include "pcscd_fixture.h"

#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
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
// vpcd's own configuration takes 0x8C7B and 0x8C7C; the fixtures' ports lie above.
constexpr uint16_t kFirstPort = 0x9000;
constexpr uint16_t kPortPairs = 0x3000;

using Clock = std::chrono::steady_clock;

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The folder bound over /run/pcscd for this process's fixtures: pcsc-lite's client library
// reads PCSCLITE_CSOCK_NAME once per process, so it never changes while the process lives.
class ProcessSocketFolder {
  public:
    ProcessSocketFolder() {
        std::string pattern = (fs::temp_directory_path() / "lapdex-pcscd-run-XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~ProcessSocketFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
    std::string path;
};

ProcessSocketFolder& socketFolder() {
    static ProcessSocketFolder folder;
    return folder;
}

int liveFixtures = 0;

bool portFree(uint16_t port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);  // vpcd listens on every interface
    address.sin_port = htons(port);
    bool free = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return free;
}

// A pair P, P+1 that nothing listens on, starting at a place that differs from process to
// process, so fixtures started at the same moment rarely try the same pair.
uint16_t freePortPair() {
    const unsigned start = static_cast<unsigned>(getpid()) * 7919u;
    for (unsigned i = 0; i < kPortPairs; ++i) {
        auto port = static_cast<uint16_t>(kFirstPort + 2 * ((start + i) % (kPortPairs / 2)));
        if (portFree(port) && portFree(static_cast<uint16_t>(port + 1))) return port;
    }
    return 0;
}

// True when this process may make a mount namespace: tried in a child that ends at once.
bool mountNamespaceAllowed() {
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) _exit(unshare(CLONE_NEWNS) == 0 ? 0 : 1);
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string pcscdProgram() {
    for (const char* path : {"/usr/sbin/pcscd", "/sbin/pcscd", "/usr/bin/pcscd"}) {
        if (access(path, X_OK) == 0) return path;
    }
    return "pcscd";
}

}  // namespace

PcscdFixture::PcscdFixture(uint16_t port, std::string friendlyName)
    : vpcdPort(port == kAnyPort ? freePortPair() : port),
      friendly(std::move(friendlyName)),
      reader(friendly + " 00 00") {
    std::string pattern = (fs::temp_directory_path() / "lapdex-pcscd-XXXXXX").string();
    if (mkdtemp(pattern.data())) directory = pattern;
}

PcscdFixture::~PcscdFixture() {
    simulator.stop();
    if (counted) --liveFixtures;
    pcscd.stop();
    std::error_code ec;
    if (!directory.empty()) fs::remove_all(directory, ec);
}

std::string PcscdFixture::socketPath() {
    return socketFolder().path + "/pcscd.comm";
}

std::string PcscdFixture::whyNoPrivatePcscd() {
    if (geteuid() != 0) {
        return "not root: a pcscd of the test's own runs in a mount namespace over /run/pcscd, "
               "which only root may make";
    }
    if (!mountNamespaceAllowed())
        return "this machine does not allow mount namespaces (unshare --mount fails)";
    return "";
}

FixtureResult PcscdFixture::start() {
    if (directory.empty() || socketFolder().path.empty())
        return FixtureResult::failure("cannot create a temporary folder");
    if (const std::string why = whyNoPrivatePcscd(); !why.empty()) return FixtureResult::skip(why);
    if (liveFixtures > 0)
        return FixtureResult::failure("another fixture of this process runs its pcscd");
    if (vpcdPort == kAnyPort) return FixtureResult::failure("no free pair of ports for vpcd");
    if (access(kDriver, R_OK) != 0)
        return FixtureResult::failure(std::string("vpcd driver missing: ") + kDriver +
                                      " (install vsmartcard-vpcd)");
    if (access(STOPWATCH_SIM_PATH, X_OK) != 0)
        return FixtureResult::failure(std::string("stopwatch-sim missing: ") + STOPWATCH_SIM_PATH);
    std::error_code ec;
    fs::create_directories(kRunFolder, ec);  // the mount point; the system's pcscd makes it too
    fs::create_directories(directory + "/reader.conf.d", ec);
    char port[16];
    std::snprintf(port, sizeof port, "0x%04X", vpcdPort);
    std::ofstream conf(directory + "/reader.conf.d/vpcd");
    conf << "FRIENDLYNAME \"" << friendly << "\"\n"
         << "DEVICENAME /dev/null:" << port << "\n"
         << "LIBPATH " << kDriver << "\n"
         << "CHANNELID " << port << "\n";
    conf.close();
    return startPcscd();
}

// pcscd in a mount namespace of its own, where the process's socket folder is /run/pcscd:
// unshare and sh exec into pcscd, so the child's pid is pcscd's.
FixtureResult PcscdFixture::startPcscd() {
    for (const char* name : {"/pcscd.comm", "/pcscd.pid"}) {
        std::error_code ec;
        fs::remove(socketFolder().path + name, ec);  // left by this process's previous fixture
    }
    setenv("PCSCLITE_CSOCK_NAME", socketPath().c_str(), 1);
    const std::vector<std::string> argv{
        "unshare",
        "--mount",
        "--propagation",
        "private",
        "sh",
        "-c",
        "mount --bind \"$1\" /run/pcscd && exec \"$2\" -f -c \"$3\"",
        "sh",
        socketFolder().path,
        pcscdProgram(),
        directory + "/reader.conf.d"};
    std::string error;
    if (!pcscd.start(argv, directory + "/pcscd.log", error))
        return FixtureResult::failure(error + " (install pcscd)");
    ++liveFixtures;
    counted = true;
    return waitForReader();
}

FixtureResult PcscdFixture::waitForReader() {
    auto deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
    while (Clock::now() < deadline) {
        if (!pcscd.running())
            return FixtureResult::failure("pcscd ended early:\n" + tail(directory + "/pcscd.log"));
        SCARDCONTEXT context = 0;
        if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) ==
            SCARD_S_SUCCESS) {
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
    return FixtureResult::failure("pcscd did not list \"" + reader + "\" in time:\n" +
                                  tail(directory + "/pcscd.log"));
}

FixtureResult PcscdFixture::layStopwatch(const std::vector<std::string>& arguments) {
    if (simulator.running())
        return FixtureResult::failure("a stopwatch already lies on the reader");
    // The simulator is told the reader's name, which chooses its emulation unless the test
    // names one with --reader.
    std::vector<std::string> argv{STOPWATCH_SIM_PATH, "--port", std::to_string(vpcdPort),
                                  "--reader-name", friendly};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::string error;
    ++simulatorRuns;
    if (!simulator.start(
            argv, directory + "/stopwatch-sim-" + std::to_string(simulatorRuns) + ".log", error)) {
        return FixtureResult::failure(error);
    }
    return waitForCard(true);
}

FixtureResult PcscdFixture::liftStopwatch() {
    simulator.stop();
    return waitForCard(false);
}

FixtureResult PcscdFixture::waitStopwatchGone() {
    if (!simulator.waitExit(kTimeoutMs))
        return FixtureResult::failure("stopwatch-sim did not leave");
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
    return FixtureResult::failure(
        std::string(present ? "the stopwatch did not appear" : "the stopwatch did not leave") +
        " on \"" + reader + "\"; stopwatch-sim said:\n" + simulatorOutput());
}

std::string PcscdFixture::simulatorOutput() const {
    return readFile(directory + "/stopwatch-sim-" + std::to_string(simulatorRuns) + ".log");
}

std::string PcscdFixture::pcscdLog() const {
    return readFile(directory + "/pcscd.log");
}

std::string PcscdFixture::tail(const std::string& path) const {
    std::string text = readFile(path);
    return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

}  // namespace testsupport
