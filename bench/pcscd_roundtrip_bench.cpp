// Wall time of a full 65,535-byte RDCAA_GetRunData through pcscd + vpcd + stopwatch-sim,
// next to the same sequence of APDUs sent as bare SCardTransmit round trips (the floor).
#include <winscard.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <vector>

#include "pcscd_fixture.h"
#include "rdcom32.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kRepetitions = 7;
constexpr size_t kTotal = 65535;
constexpr uint8_t kIdm[8] = {0x03, 0xFE, 0x00, 0x24, 0x00, 0x00, 0x01, 0x02};

// Direct transmit of InDataExchange for target 1 with a FeliCa `command` to our IDm,
// service 000B, then `body` (block count, block list, block data). Sized once and filled in place:
// a vector grown piece by piece trips g++ 12's -Warray-bounds at -O3.
Bytes felicaCommand(uint8_t command, const Bytes& body) {
    constexpr size_t kHead = 21;  // pseudo-APDU, InDataExchange, frame length, IDm, service
    Bytes apdu(kHead + body.size());
    const uint8_t head[] = {0xFF,
                            0x00,
                            0x00,
                            0x00,
                            static_cast<uint8_t>(apdu.size() - 5),
                            0xD4,
                            0x40,
                            0x01,
                            static_cast<uint8_t>(apdu.size() - 8),
                            command};
    auto at = std::copy(std::begin(head), std::end(head), apdu.begin());
    at = std::copy(std::begin(kIdm), std::end(kIdm), at);
    const uint8_t service[] = {0x01, 0x0B, 0x00};
    at = std::copy(std::begin(service), std::end(service), at);
    std::copy(body.begin(), body.end(), at);
    return apdu;
}

Bytes felicaRead(const Bytes& list, int blocks) {
    Bytes body(1 + static_cast<size_t>(3 * blocks), 0);
    body[0] = static_cast<uint8_t>(blocks);
    std::copy(list.begin(),
              list.begin() + static_cast<long>(std::min(list.size(), body.size() - 1)),
              body.begin() + 1);
    return felicaCommand(0x06, body);
}

Bytes eraseRun() {
    Bytes body(1 + 3 + 16, 0);
    body[0] = 0x01;  // one block, list element 00 00 00
    body[4] = 0xB3;
    body[5] = 0x01;
    return felicaCommand(0x08, body);
}

// The APDUs the library sends for one GetRunData on a fresh connection; each FeliCa
// command is followed by its Get Response (Le filled in from the answer at run time).
std::vector<Bytes> librarySequence() {
    std::vector<Bytes> sequence{
        {0xFF, 0x00, 0x00, 0x00, 0x06, 0xD4, 0x32, 0x02, 0x00, 0x0B, 0x0D},
        {0xFF, 0x00, 0x00, 0x00, 0x04, 0xD4, 0x32, 0x01, 0x01},
        {0xFF, 0x00, 0x00, 0x00, 0x09, 0xD4, 0x60, 0x01, 0x01, 0x20, 0x23, 0x11, 0x04, 0x10},
        felicaRead({0x00, 0xB0, 0x00}, 1),
        {0xFF, 0xC0, 0x00, 0x00, 0x00}};
    for (size_t offset = 0; offset < kTotal; offset += 192) {
        auto length = static_cast<uint8_t>(std::min<size_t>(192, kTotal - offset));
        int blocks = std::max(2, (length + 15) / 16);
        sequence.push_back(felicaRead({0x00, 0xB2, static_cast<uint8_t>(offset & 0xFF), 0x00,
                                       static_cast<uint8_t>(offset >> 8), length},
                                      blocks));
        sequence.push_back({0xFF, 0xC0, 0x00, 0x00, 0x00});
    }
    sequence.push_back(eraseRun());
    sequence.push_back({0xFF, 0xC0, 0x00, 0x00, 0x00});
    sequence.push_back({0xFF, 0x00, 0x00, 0x00, 0x04, 0xD4, 0x32, 0x01, 0x00});
    return sequence;
}

// Bare round trips: no checks beyond the result, no log, Le taken from the 61 Le answer.
double floorMs(const std::string& reader, std::vector<Bytes> sequence, bool& ok) {
    SCARDCONTEXT context = 0;
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    ok = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) == SCARD_S_SUCCESS &&
         SCardConnect(context, reader.c_str(), SCARD_SHARE_SHARED,
                      SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol) == SCARD_S_SUCCESS;
    uint8_t answer[512];
    auto start = Clock::now();
    for (size_t i = 0; ok && i < sequence.size(); ++i) {
        if (sequence[i][1] == 0xC0) sequence[i][4] = answer[1];
        SCARD_IO_REQUEST io{protocol, sizeof(SCARD_IO_REQUEST)};
        DWORD length = sizeof answer;
        LONG result = SCardTransmit(card, &io, sequence[i].data(),
                                    static_cast<DWORD>(sequence[i].size()), &io, answer, &length);
        ok = result == SCARD_S_SUCCESS && length >= 2;
        if (!ok)
            std::fprintf(stderr, "bare exchange %zu failed: %lX, %lu bytes\n", i,
                         static_cast<long>(result), static_cast<unsigned long>(length));
    }
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (card) SCardDisconnect(card, SCARD_LEAVE_CARD);
    if (context) SCardReleaseContext(context);
    return ms;
}

double libraryMs(std::vector<uint8_t>& buffer, bool& ok) {
    ok = RDCAA_OpenFelica() == 1;
    auto start = Clock::now();
    ok = ok && RDCAA_GetRunData(buffer.data()) == 1;
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    RDCAA_CloseFelica();
    return ms;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    testsupport::PcscdFixture rig;
    auto started = rig.start();
    if (started) started = rig.layStopwatch({"--generate", "9:1200", "--allow-odd-runs"});
    if (!started) {
        std::fprintf(stderr, "pcscd_roundtrip_bench: %s\n", started.error.c_str());
        return 1;
    }
    RDCAA_InitDll(nullptr);
    std::vector<uint8_t> buffer(kTotal);
    std::vector<Bytes> sequence = librarySequence();
    std::vector<double> library, floor;
    bool ok = true;
    for (int i = 0; i < kRepetitions && ok; ++i) {
        bool libraryOk = false, floorOk = false;
        library.push_back(libraryMs(buffer, libraryOk));
        floor.push_back(floorMs(rig.readerName(), sequence, floorOk));
        ok = libraryOk && floorOk;
        if (!ok)
            std::fprintf(stderr, "repetition %d: library %s, bare round trips %s\n", i + 1,
                         libraryOk ? "ok" : "failed", floorOk ? "ok" : "failed");
    }
    RDCAA_ExitDll();
    if (!ok) {
        std::fprintf(stderr, "pcscd_roundtrip_bench: an exchange failed\n");
        return 1;
    }
    double lib = median(library), bare = median(floor);
    std::printf("GetRunData of %zu bytes through pcscd + vpcd, median of %d:\n", kTotal,
                kRepetitions);
    std::printf("  RDCAA_GetRunData (log off): %8.1f ms (best %.1f)\n", lib,
                *std::min_element(library.begin(), library.end()));
    std::printf("  bare SCardTransmit x %zu:   %8.1f ms (best %.1f), %.1f us per round trip\n",
                sequence.size(), bare, *std::min_element(floor.begin(), floor.end()),
                1000.0 * bare / static_cast<double>(sequence.size()));
    std::printf("  library over the floor:     %+7.1f %%\n", 100.0 * (lib - bare) / bare);
    return 0;
}
