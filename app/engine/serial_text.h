// The stopwatch's registry key and battery level, derived from the bytes it reports.
#pragma once

#include <cstdint>
#include <string>

namespace lapdex {

// 6 serial bytes as 12 lower-case hex digits, byte 5 first.
std::string serialText(const uint8_t* serial6);

// Battery level 1 (lowest) to 5 from the raw plug-memory value.
int batteryLevelFromRaw(uint16_t raw);

}  // namespace lapdex
