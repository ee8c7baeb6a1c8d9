// A private pcscd with one vpcd virtual reader (by default named "ACS ACR122U PICC
// Interface"; a test may name it as a Sony reader instead) and the stopwatch-sim program on it, for tests that go through the real PC/SC stack.
//
// pcscd always listens on /run/pcscd/pcscd.comm, so one runs per machine: tests using
// this fixture carry the CTest property RESOURCE_LOCK pcscd, and start() refuses to run
// beside a pcscd that it did not start. Everything it writes stays in its own temporary
// folder; both processes are stopped by their own pids in the destructor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "child_process.h"

namespace testsupport {

// Outcome of a fixture step; `error` says what went wrong, for the test's message.
struct [[nodiscard]] FixtureResult {
    bool ok = true;
    std::string error;
    explicit operator bool() const { return ok; }
    static FixtureResult failure(std::string text) { return FixtureResult{false, std::move(text)}; }
};

class PcscdFixture {
public:
    static constexpr uint16_t kDefaultPort = 0x8C7B;
    static constexpr int kTimeoutMs = 15000;

    static constexpr const char* kAcsFriendlyName = "ACS ACR122U PICC Interface";
    static constexpr const char* kSonyFriendlyName = "Sony FeliCa Port/PaSoRi 3.0";

    // `friendlyName` is the reader's name in reader.conf; pcscd lists it with " 00 00".
    explicit PcscdFixture(uint16_t port = kDefaultPort, std::string friendlyName = kAcsFriendlyName);
    ~PcscdFixture();
    PcscdFixture(const PcscdFixture&) = delete;
    PcscdFixture& operator=(const PcscdFixture&) = delete;

    // Writes the reader.conf folder, starts `pcscd -f -c DIR` and waits until it lists
    // the reader. Fails when another pcscd runs or when pcscd, vpcd or stopwatch-sim is missing.
    FixtureResult start();
    // Starts stopwatch-sim with `arguments` (its port and the reader's name are added) and waits
    // until pcscd sees the card on the reader.
    FixtureResult layStopwatch(const std::vector<std::string>& arguments);
    // Stops stopwatch-sim (SIGTERM: it prints its state line) and waits until the reader is empty.
    FixtureResult liftStopwatch();
    // Waits until stopwatch-sim has left on its own (--lift-after) and the reader is empty.
    FixtureResult waitStopwatchGone();

    // Everything stopwatch-sim printed so far (its transcript and, once stopped, its state line).
    std::string simulatorOutput() const;
    std::string pcscdLog() const;
    // e.g. "ACS ACR122U PICC Interface 00 00"
    const std::string& readerName() const { return reader; }
    const std::string& folder() const { return directory; }
    uint16_t port() const { return vpcdPort; }
    int pcscdPid() const { return pcscd.pid(); }

    // Describes a pcscd this process did not start (pid, pid file or live socket), or "".
    static std::string foreignPcscd();

private:
    FixtureResult waitForReader();
    FixtureResult waitForCard(bool present);
    std::string tail(const std::string& path) const;

    uint16_t vpcdPort;
    std::string directory;
    std::string friendly;
    std::string reader;
    ChildProcess pcscd;
    ChildProcess simulator;
    int simulatorRuns = 0;
};

}  // namespace testsupport
