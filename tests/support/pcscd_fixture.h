// A private pcscd with one vpcd virtual reader (by default named "ACS ACR122U PICC
// Interface"; a test may name it as a Sony reader instead) and the stopwatch-sim program on it, for
// tests that go through the real PC/SC stack.
//
// pcscd always puts its socket in /run/pcscd, so the fixture starts it (as root) in a mount
// namespace of its own with a private folder bound over /run/pcscd, and with a vpcd port of
// its own: it runs beside the system's pcscd and beside other tests' fixtures. The clients find
// it through PCSCLITE_CSOCK_NAME, which pcsc-lite's client library reads once per process, so
// every fixture of one process uses that process's socket folder, one fixture at a time.
// Everything it writes stays in its own temporary folder; both processes are stopped by their
// own pids in the destructor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "child_process.h"
#include "fixture_result.h"

namespace testsupport {

class PcscdFixture {
  public:
    // A free pair of ports (vpcd's two slots) away from 0x8C7B, which the system's vpcd
    // configuration takes.
    static constexpr uint16_t kAnyPort = 0;
    static constexpr int kTimeoutMs = 15000;

    static constexpr const char* kAcsFriendlyName = "ACS ACR122U PICC Interface";
    static constexpr const char* kSonyFriendlyName = "Sony FeliCa Port/PaSoRi 3.0";

    // `friendlyName` is the reader's name in reader.conf; pcscd lists it with " 00 00".
    explicit PcscdFixture(uint16_t port = kAnyPort, std::string friendlyName = kAcsFriendlyName);
    ~PcscdFixture();
    PcscdFixture(const PcscdFixture&) = delete;
    PcscdFixture& operator=(const PcscdFixture&) = delete;

    // Writes the reader.conf folder, starts `pcscd -f -c DIR` and waits until it lists
    // the reader. Fails when pcscd, vpcd or stopwatch-sim is missing or this process's socket
    // folder is taken by another fixture; skips when namespaces are not allowed.
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
    // The socket this fixture's pcscd listens on; the process's clients are pointed at it.
    static std::string socketPath();

    // Why no private pcscd can run here, or "" when it can.
    static std::string whyNoPrivatePcscd();

  private:
    FixtureResult startPcscd();
    FixtureResult waitForReader();
    FixtureResult waitForCard(bool present);
    std::string tail(const std::string& path) const;

    uint16_t vpcdPort;
    std::string directory;
    std::string friendly;
    std::string reader;
    ChildProcess pcscd;
    ChildProcess simulator;
    bool counted = false;  // this fixture's pcscd counts as the process's live one
    int simulatorRuns = 0;
};

}  // namespace testsupport
