// Helpers of the exported functions: the banner line, the exception firewall and the common
// way of forwarding a call to the open reader.
#pragma once

#include <cstdint>

#include "debug_log.h"
#include "library_state.h"

namespace rdcom32 {

// "<50 hyphens> <name> <50 hyphens>". Returns 1 when written.
int writeBanner(const char* exportName);

// Runs `body`; nothing thrown inside ever crosses the C interface (the result is then 0).
template <typename Body>
int32_t shielded(Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return 0;
    }
}

// The outcome of an export's own argument checks.
enum class ArgumentCheck { Accepted, Refused, OverMemory };

// True when `value` lies in 0..maximum (the width the operation takes).
[[nodiscard]] inline bool fitsRange(int32_t value, int32_t maximum) {
    return value >= 0 && value <= maximum;
}

// The forwarding course: banner; refusal (with "Over memory address" for the range check
// of the memory writes) or no open reader gives 0; otherwise the operation runs on the
// reader with the target IDm, and a 0 result adds `failureLine`.
template <typename Operation>
int32_t forward(const char* exportName, ArgumentCheck check, Operation operation,
                const char* failureLine = "Function failure") noexcept {
    return shielded([&]() -> int32_t {
        writeBanner(exportName);
        if (check == ArgumentCheck::OverMemory) {
            WriteLogLine("Over memory address");
            return 0;
        }
        LibraryState& state = libraryState();
        if (check != ArgumentCheck::Accepted || !state.readerOpen ||
            state.currentReader == nullptr || state.targetIdm == nullptr) {
            return 0;
        }
        const int32_t result = operation(*state.currentReader, state.targetIdm);
        if (result == 0) WriteLogLine(failureLine);
        return result;
    });
}

// Accepted when the pointer is given.
[[nodiscard]] inline ArgumentCheck given(const void* pointer) {
    return pointer != nullptr ? ArgumentCheck::Accepted : ArgumentCheck::Refused;
}

}  // namespace rdcom32
