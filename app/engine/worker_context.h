// State of the download worker that lives for the whole program: its mode, the
// command in force, and the fixed exchange buffers that the flows fill.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "message_ids.h"
#include "worker_types.h"

namespace lapdex {

enum class TimeFormat;  // defined by the store's run record

struct WorkerContext {
    static constexpr size_t kRunDataSize = 65536;

    PollState pollState = PollState::Idle;
    MessageId lastMessage = 0;
    MessageId currentCommand = 0;
    CompletionKind completionKind = CompletionKind::NoData;

    std::string serialText;
    std::string lastSerial;

    // Exchange buffers, reused by every call; nothing is allocated per exchange.
    std::array<uint8_t, 16> scratch{};
    std::array<uint8_t, 8> pollIdm{};
    std::array<uint8_t, 8> pollPmm{};
    std::array<uint8_t, kRunDataSize> runData{};
    uint16_t runDataLength = 0;
    uint16_t rawBattery = 0;
    bool newStopwatch = false;
    uint8_t productType = 2;  // byte 7 of the product name record; selects the time format
};

}  // namespace lapdex
