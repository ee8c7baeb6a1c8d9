// In-process stand-in for the PC/SC calls that the reader library makes. A test build
// links it instead of libpcsclite; tests script readers, cards and faults through
// `Standin` and read back the transcript of every exchange.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/stopwatch.h"

namespace sim {

enum class ReaderEmulation { Acs, Sony };

struct StandinReader {
    std::string name;  // PC/SC name, e.g. "ACS ACR122U PICC Interface 00 00"
    ReaderEmulation emulation = ReaderEmulation::Acs;
    bool refuseConnect = false;
};

struct Exchange {
    std::vector<uint8_t> command;
    std::vector<uint8_t> answer;
    int32_t result = 0;  // SCardTransmit's return value
};

class Standin {
public:
    static Standin& instance();

    // Back to one ACS reader without a card, no faults, empty transcript and counters.
    void reset();

    std::vector<StandinReader> readers;
    // The card lying on the first reader, or null.
    std::shared_ptr<Stopwatch> card;

    // Faults.
    bool failEstablish = false;
    bool failList = false;
    int failTransmitAt = 0;      // 1-based exchange index that fails, 0 = none
    int32_t failTransmitCode = 0x80100016;  // SCARD_E_NOT_TRANSACTED
    int liftCardAt = 0;          // the card is lifted before this exchange, 0 = never
    // Called with each answer before it is returned; may change it (malformed answers).
    std::function<void(int index, std::vector<uint8_t>& answer)> tamper;

    // Observations.
    std::vector<Exchange> transcript;
    int establishCount = 0;
    int releaseCount = 0;
    int connectCount = 0;
    int disconnectCount = 0;
    int openContexts() const { return establishCount - releaseCount; }
};

}  // namespace sim
