// In-process stand-in for the PC/SC calls that the reader library makes. A test build
// links it instead of libpcsclite; tests script readers, cards and faults through
// `Standin` and read back the transcript of every exchange.
//
// The SCard functions it defines keep pcsc-lite's <winscard.h> signatures: SCardEstablishContext,
// SCardReleaseContext, SCardListReaders, SCardConnect, SCardDisconnect, SCardTransmit,
// SCardFreeMemory, SCardGetStatusChange (answers at once, never waits), plus the
// g_rgSCardT0Pci / T1Pci / RawPci constants.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "acs/acs_emulator.h"
#include "model/stopwatch.h"
#include "sony/sony_emulator.h"

namespace sim {

enum class ReaderEmulation { Acs, Sony };

// The name pcsc-lite gives a Sony PaSoRi on its first slot.
inline constexpr const char* kSonyReaderName = "Sony FeliCa Port/PaSoRi 3.0 00 00";
// The name pcsc-lite's CCID driver gives an ACR122U.
inline constexpr const char* kAcsReaderName = "ACS ACR122U PICC Interface 00 00";

struct StandinReader {
    std::string name;  // PC/SC name, e.g. "ACS ACR122U PICC Interface 00 00"
    ReaderEmulation emulation = ReaderEmulation::Acs;
    bool refuseConnect = false;  // SCardConnect fails with SCARD_E_SHARING_VIOLATION
    // How an ACS reader answers a direct transmit; a Sony reader ignores it.
    AcsAnswers acsAnswers = AcsAnswers::GetResponse;
};

struct Exchange {
    std::vector<uint8_t> command;
    std::vector<uint8_t> answer;
    long result = 0;  // SCardTransmit's return value (pcsc-lite's LONG is a long)
};

// The one stand-in of the process. Every SCard function holds the stand-in's recursive
// mutex while it runs, card state changes included. A test whose other thread may be
// inside an SCard call changes `card`, `readers` or the faults, and reads the
// observations, only while it holds `lock()` (or inside `locked`). reset() and layCard()
// take the lock themselves.
class Standin {
public:
    static Standin& instance();

    [[nodiscard]] std::unique_lock<std::recursive_mutex> lock();
    template <class F>
    auto locked(F f) {
        auto guard = lock();
        return f(*this);
    }

    // Back to one ACS reader without a card, no faults, empty transcript and counters.
    void reset();

    // Makes the one reader a Sony reader named `name` that the card lies on.
    void useSonyReader(const std::string& name = kSonyReaderName);
    // Makes the one reader an ACS reader named `name`, answering in the `answers` style,
    // that the card lies on.
    void useAcsReader(AcsAnswers answers, const std::string& name = kAcsReaderName);

    // Convenience: lays a default stopwatch (with `runs`) on the card reader and returns it.
    std::shared_ptr<Stopwatch> layCard(std::vector<SimRun> runs = {});

    std::vector<StandinReader> readers;
    // The card lying on the reader named `cardReader`, or null.
    std::shared_ptr<Stopwatch> card;
    // Empty: the first reader whose name contains "ACS" (reader 0 when none does).
    std::string cardReader;

    // Faults.
    bool failEstablish = false;  // SCARD_E_NO_SERVICE
    bool failList = false;       // SCARD_E_NO_SERVICE on every SCardListReaders
    int failListAt = 0;          // 1-based SCardListReaders call that fails, 0 = none
    int failTransmitAt = 0;      // 1-based exchange index that fails, 0 = none
    long failTransmitCode = 0x80100016L;  // SCARD_E_NOT_TRANSACTED, as pcsc-lite's LONG
    int liftCardAt = 0;          // the card is lifted before this exchange, 0 = never
    // Called with each answer before it is returned; may change it (malformed answers).
    // `index` is 1-based, as in failTransmitAt.
    std::function<void(int index, std::vector<uint8_t>& answer)> tamper;
    // Misbehaviour of every Sony reader's driver, counted since reset().
    SonyFaults sonyFaults;

    // Observations.
    std::vector<Exchange> transcript;
    int establishCount = 0;
    int releaseCount = 0;
    int listCount = 0;
    int connectCount = 0;
    int disconnectCount = 0;
    int openContexts() const { return establishCount - releaseCount; }
    // Every reader name that SCardConnect was asked for, in order.
    std::vector<std::string> connectedReaders;

private:
    Standin() { reset(); }
};

}  // namespace sim
