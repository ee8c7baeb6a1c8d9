// stopwatch-sim: a simulated K7X stopwatch lying on vpcd's virtual reader, answering as an
// ACS ACR122U or as a Sony reader's driver.
// Connecting to vpcd lays it on the reader; closing the connection lifts it.
#include <csignal>
#include <cstdio>
#include <string>

#include "acs/acs_emulator.h"
#include "lapdex_version.h"
#include "sony/sony_emulator.h"
#include "vpcd/reader_options.h"
#include "vpcd/sim_options.h"
#include "vpcd/vpcd_link.h"

namespace {

std::atomic<bool> stopRequested{false};

// The reader emulation that answers vpcd's APDUs.
class Reader {
  public:
    Reader(sim::Stopwatch& sw, const sim::SimOptions& options)
        : sony(options.reader == sim::SimReader::Sony),
          acs(&sw, options.answers),
          sonyEmulator(&sw, &faults) {
        faults.list = options.sonyFaults;
    }
    void powerOn() {
        acs.powerOn();
        sonyEmulator.powerOn();
    }
    std::vector<uint8_t> transmit(const std::vector<uint8_t>& apdu) {
        return sony ? sonyEmulator.transmit(apdu) : acs.transmit(apdu);
    }

  private:
    bool sony;
    sim::SonyFaults faults;
    sim::AcsEmulator acs;
    sim::SonyEmulator sonyEmulator;
};

void onSignal(int) {
    stopRequested = true;
}

// No SA_RESTART: the link polls in short steps and looks at the flag between them.
void installSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

std::string hex(const uint8_t* data, size_t length) {
    std::string text;
    char byte[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", data[i]);
        text += byte;
    }
    return text;
}

template <class C>
std::string hex(const C& bytes) {
    return hex(bytes.data(), bytes.size());
}

// What the stopwatch went through, for tests that look at the simulator's side.
void printState(const sim::Stopwatch& sw, long apdus) {
    std::printf(
        "state: apdus=%ld beeps=%d last-beep=%s set-time=%d clock=%s erase-run=%s erase-log=%s "
        "new-bytes=%zu all-bytes=%zu serial=%s\n",
        apdus, sw.beepCount, hex(sw.lastBeep).c_str(), sw.setTimeCount, hex(sw.clock).c_str(),
        hex(sw.eraseRunParams).c_str(), hex(sw.eraseLogParams).c_str(), sw.newRunBytes().size(),
        sw.allRunBytes().size(), hex(sw.serial).c_str());
    std::fflush(stdout);
}

// One-byte messages from vpcd: 00 power off, 01 power on, 02 reset, 04 get ATR.
sim::LinkResult control(uint8_t code, Reader& reader, sim::VpcdLink& link, bool transcript) {
    static const char* const kNames[] = {"power off", "power on", "reset"};
    if (code == 0x04) {
        return link.send(
            std::vector<uint8_t>(std::begin(sim::kFelicaAtr), std::end(sim::kFelicaAtr)));
    }
    if (code <= 0x02) {
        reader.powerOn();
        if (transcript) std::printf("%s\n", kNames[code]);
    }
    return sim::LinkResult::Ok;
}

int serve(sim::VpcdLink& link, sim::Stopwatch& sw, const sim::SimOptions& options) {
    Reader reader(sw, options);
    std::vector<uint8_t> message;
    long apdus = 0;
    int status = 0;
    for (;;) {
        sim::LinkResult result = link.receive(message);
        if (result == sim::LinkResult::Closed || result == sim::LinkResult::Stopped) break;
        if (result == sim::LinkResult::Failed) {
            std::fprintf(stderr, "stopwatch-sim: connection lost: %s\n", link.lastError.c_str());
            status = 1;
            break;
        }
        if (message.size() == 1) {
            result = control(message[0], reader, link, options.transcript);
        } else if (!message.empty()) {
            std::vector<uint8_t> answer = reader.transmit(message);
            if (options.transcript)
                std::printf("> %s\n< %s\n", hex(message).c_str(), hex(answer).c_str());
            result = link.send(answer);
            ++apdus;
        }
        std::fflush(stdout);
        if (result != sim::LinkResult::Ok) {
            std::fprintf(stderr, "stopwatch-sim: cannot answer vpcd: %s\n", link.lastError.c_str());
            status = 1;
            break;
        }
        if (options.liftAfter > 0 && apdus >= options.liftAfter) {
            std::printf("lifted after %ld APDUs\n", apdus);
            break;
        }
    }
    link.close();
    printState(sw, apdus);
    return status;
}

}  // namespace

constexpr int kFirstMessageMs = 5000;

int main(int argc, char** argv) {
    std::string error;
    auto options = sim::parseSimOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "stopwatch-sim: %s (see stopwatch-sim --help)\n", error.c_str());
        return 2;
    }
    if (options->help || options->version) {
        std::fputs(options->help ? sim::simHelp().c_str() : "stopwatch-sim " LAPDEX_VERSION "\n",
                   stdout);
        return 0;
    }
    sim::Stopwatch stopwatch;
    if (!sim::buildStopwatch(*options, stopwatch, error)) {
        std::fprintf(stderr, "stopwatch-sim: %s\n", error.c_str());
        return 2;
    }
    installSignals();
    sim::VpcdLink link(stopRequested);
    sim::LinkResult connected = link.connect(options->port, options->connectTimeoutMs);
    if (connected == sim::LinkResult::Stopped) return 0;
    if (connected != sim::LinkResult::Ok) {
        std::fprintf(stderr, "stopwatch-sim: cannot reach vpcd at 127.0.0.1:%u: %s\n",
                     options->port, link.lastError.c_str());
        return 1;
    }
    // vpcd asks a card on its reader for the ATR at once and then every 0.4 s; a card on a port
    // whose reader already holds one is accepted by the kernel but never spoken to.
    if (link.awaitFirstMessage(kFirstMessageMs) == sim::LinkResult::Failed) {
        std::fprintf(stderr,
                     "stopwatch-sim: vpcd at 127.0.0.1:%u said nothing for %d s: another stopwatch "
                     "lies on that "
                     "reader; give this one a port of its own (--port)\n",
                     options->port, kFirstMessageMs / 1000);
        return 1;
    }
    const char* style = options->reader == sim::SimReader::Sony       ? "Sony"
                        : options->answers == sim::AcsAnswers::Direct ? "ACS, direct answers"
                                                                      : "ACS, 61 Le + Get Response";
    std::printf(
        "stopwatch-sim: on the reader%s%s%s (%s) at 127.0.0.1:%u, %zu runs (%zu new bytes, %zu "
        "bytes in all)\n",
        options->readerName.empty() ? "" : " \"", options->readerName.c_str(),
        options->readerName.empty() ? "" : "\"", style, options->port, stopwatch.runs.size(),
        stopwatch.newRunBytes().size(), stopwatch.allRunBytes().size());
    std::fflush(stdout);
    return serve(link, stopwatch, *options);
}
