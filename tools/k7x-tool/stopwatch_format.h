// Text forms of the stopwatch's bytes for the tool's output.
#pragma once

#include <cstdint>
#include <string>

namespace k7x {

// "01 02 03".
[[nodiscard]] std::string hexBytes(const uint8_t* bytes, size_t count);
// The printable name in bytes 0 to 6 (up to the first zero byte).
[[nodiscard]] std::string productNameText(const uint8_t (&name)[8]);
// Seconds, minutes, hours, day, month, year - 2000 as "2024-05-01 07:30:00".
[[nodiscard]] std::string clockText(const uint8_t (&clock)[6]);
// A 16-bit little-endian number.
[[nodiscard]] unsigned littleEndian16(const uint8_t* bytes);

}  // namespace k7x
