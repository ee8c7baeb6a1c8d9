// Decoding of the stopwatch's run data (run headers followed by their splits) into RunRecords.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "run_record.h"

namespace lapdex {

// Time format of a stopwatch from byte 7 of its product name record: 0 and 1 give DecimalMinute,
// every other value Clock.
TimeFormat timeFormatFromProductType(std::uint8_t productType);

// Receives one decoded run. The record is the consumer's to keep (moved in).
using RunConsumer = std::function<void(RunRecord&&)>;

// Walks `runData` (a concatenation of 16-byte run headers, each followed by 4 bytes per lap) and
// hands every complete run to `consumer`, in buffer order, on the calling thread. A run whose
// splits reach beyond the end of `runData` ends the walk: it and everything after it are ignored.
// A run with a lap count of 0 is skipped (it has no total) and the walk goes on after its header.
// Returns the number of runs handed over. Thread-safe: keeps no state.
std::size_t decodeRunData(std::span<const std::uint8_t> runData, TimeFormat timeFormat,
                          const RunConsumer& consumer);

}  // namespace lapdex
