// The library-wide state of RDCOM32: the reader object, whether it is open, and the target
// IDm and PMm store. One set per process, unlocked; one thread uses the library at a time.
#pragma once

#include <cstdint>

#include "card_reader.h"

namespace rdcom32 {

struct LibraryState {
    CardReader* currentReader = nullptr;  // owned; lives as long as one connection
    bool readerOpen = false;
    uint8_t* targetIdm = nullptr;  // 8 bytes, from RDCAA_InitDll to RDCAA_ExitDll
    uint8_t* pmmStore = nullptr;   // 8 bytes, likewise
};

// Deliberately trivially destructible: a host that never calls RDCAA_ExitDll must not have
// PC/SC calls made from static destructors at exit.
[[nodiscard]] LibraryState& libraryState();

// The default target IDm of the stopwatch's chip.
inline constexpr uint8_t kDefaultIdm[kIdmSize] = {0x03, 0xFE, 0x00, 0x24, 0x00, 0x00, 0x01, 0x02};

// Destroys the reader object, if any (its destructor releases the PC/SC context).
void destroyReader(LibraryState& state);

}  // namespace rdcom32
