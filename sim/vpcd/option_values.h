// The value forms of stopwatch-sim's options: decimal numbers, hex numbers and hex bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// A decimal number from `low` to `high`; "0100" is one hundred, never octal.
std::optional<long> parseDecimal(const std::string& text, long low, long high);
// Hex digits only (no 0x), from `low` to `high`.
std::optional<long> parseHexNumber(const std::string& text, long low, long high);
// Exactly `bytes` bytes as 2 * `bytes` hex digits, byte 0 first.
std::optional<std::vector<uint8_t>> parseHexBytes(const std::string& text, size_t bytes);

}  // namespace sim
