// Hidden bookkeeping of the PC/SC stand-in: open contexts, card handles and the
// emulators behind them. Shared by the Standin control object and the SCard functions.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "acs/acs_emulator.h"
#include "sony/sony_emulator.h"

namespace sim::standin {

struct Connection {
    size_t readerIndex = 0;
    AcsEmulator emulator;
    SonyEmulator sony;
};

struct State {
    std::recursive_mutex mutex;
    long nextHandle = 0x1000;
    std::set<long> contexts;
    std::map<long, Connection> connections;
    std::set<const void*> allocations;  // SCARD_AUTOALLOCATE buffers not yet freed
};

State& state();

// Index of the reader that the card lies on, or -1 when there is no card.
int cardReaderIndex();

}  // namespace sim::standin
