// Host-side cost of the reader library per PC/SC exchange, through the in-process stand-in.
//
// Each scenario runs an export against the stand-in, with the debug log off and on, and next
// to it the "floor": the very same command bytes replayed with bare SCardTransmit calls on the
// stand-in. The library's own cost per exchange is the difference divided by the exchanges.
#include <benchmark/benchmark.h>
#include <winscard.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "rdcom32.h"
#include "standin/pcsc_standin.h"

namespace {

using Bytes = std::vector<uint8_t>;

enum class Scenario { Battery, LogDownload };
enum class LogMode { Off, On };

std::string logFolder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "rdcom32-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern + "/";
    }();
    return folder;
}

// A stopwatch whose log stream fills a whole 65,535-byte download (342 chunks).
void layStopwatch() {
    sim::Standin& standin = sim::Standin::instance();
    standin.reset();
    auto card = standin.layCard();
    card->logs.assign(65535, 0x5A);
    card->downloadedLogBytes = 0;
}

std::vector<uint8_t>& runBuffer() {
    static std::vector<uint8_t> buffer(65535);
    return buffer;
}

void runScenario(Scenario scenario) {
    if (scenario == Scenario::Battery) {
        uint8_t battery = 0;
        if (RDCAA_GetBattery(&battery) != 1) std::abort();
    } else {
        if (RDCAA_GetLogData(runBuffer().data()) != 1) std::abort();
        // The erase after the download marks the stream old; make it whole again.
        sim::Standin::instance().card->downloadedLogBytes = 0;
    }
}

void openLibrary(LogMode mode) {
    layStopwatch();
    if (mode == LogMode::On && RDCAA_SetDllLogPath(logFolder().c_str()) != 1) std::abort();
    if (RDCAA_InitDll(nullptr) != 1 || RDCAA_OpenFelica() != 1) std::abort();
    runScenario(Scenario::Battery);  // the polling of the connection is done once
}

void libraryExchange(benchmark::State& state, Scenario scenario, LogMode mode) {
    openLibrary(mode);
    sim::Standin& standin = sim::Standin::instance();
    size_t exchanges = 0;
    for (auto _ : state) {
        standin.transcript.clear();
        runScenario(scenario);
        exchanges += standin.transcript.size();
    }
    RDCAA_ExitDll();
    state.counters["exchanges"] = benchmark::Counter(static_cast<double>(exchanges));
    state.counters["per_exchange"] = benchmark::Counter(
        static_cast<double>(exchanges), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

std::vector<Bytes> transcriptCommands() {
    std::vector<Bytes> commands;
    for (const sim::Exchange& exchange : sim::Standin::instance().transcript) {
        commands.push_back(exchange.command);
    }
    sim::Standin::instance().transcript.clear();
    return commands;
}

// The commands that a connection's first operation sends (with the polling), and those of
// one scenario after it, recorded once from the library itself.
void recordCommands(Scenario scenario, std::vector<Bytes>& preamble, std::vector<Bytes>& body) {
    openLibrary(LogMode::Off);
    preamble = transcriptCommands();
    runScenario(scenario);
    body = transcriptCommands();
    RDCAA_ExitDll();
}

// pcsc-lite may hand a different protocol back in the receive header: keep them apart.
void replay(SCARDHANDLE card, const SCARD_IO_REQUEST& io, const std::vector<Bytes>& commands) {
    uint8_t answer[512];
    SCARD_IO_REQUEST received = io;
    for (const Bytes& command : commands) {
        DWORD length = sizeof answer;
        if (SCardTransmit(card, &io, command.data(), static_cast<DWORD>(command.size()), &received,
                          answer, &length) != SCARD_S_SUCCESS) {
            std::abort();
        }
        benchmark::DoNotOptimize(answer);
    }
}

void bareTransmits(benchmark::State& state, Scenario scenario) {
    std::vector<Bytes> preamble;
    std::vector<Bytes> commands;
    recordCommands(scenario, preamble, commands);
    layStopwatch();
    SCARDCONTEXT context = 0;
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    if (SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context) != SCARD_S_SUCCESS ||
        SCardConnect(context, "ACS ACR122U PICC Interface 00 00", SCARD_SHARE_SHARED,
                     SCARD_PROTOCOL_T1, &card, &protocol) != SCARD_S_SUCCESS) {
        std::abort();
    }
    const SCARD_IO_REQUEST io{protocol, sizeof(SCARD_IO_REQUEST)};
    sim::Standin& standin = sim::Standin::instance();
    replay(card, io, preamble);
    for (auto _ : state) {
        standin.transcript.clear();
        replay(card, io, commands);
        if (scenario == Scenario::LogDownload) standin.card->downloadedLogBytes = 0;
    }
    SCardDisconnect(card, SCARD_LEAVE_CARD);
    SCardReleaseContext(context);
    const double exchanges = static_cast<double>(state.iterations() * commands.size());
    state.counters["exchanges"] = benchmark::Counter(exchanges);
    state.counters["per_exchange"] =
        benchmark::Counter(exchanges, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(bareTransmits, battery_floor, Scenario::Battery);
BENCHMARK_CAPTURE(libraryExchange, battery_log_off, Scenario::Battery, LogMode::Off);
BENCHMARK_CAPTURE(libraryExchange, battery_log_on, Scenario::Battery, LogMode::On);
BENCHMARK_CAPTURE(bareTransmits, download65535_floor, Scenario::LogDownload);
BENCHMARK_CAPTURE(libraryExchange, download65535_log_off, Scenario::LogDownload, LogMode::Off);
BENCHMARK_CAPTURE(libraryExchange, download65535_log_on, Scenario::LogDownload, LogMode::On);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(logFolder(), ignored);
    return 0;
}
