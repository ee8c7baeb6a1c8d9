// Builds run data bytes (16-byte headers and 4-byte splits) the way the stopwatch lays them out.
#pragma once

#include <cstdint>
#include <vector>

namespace lapdex::testing {

struct SplitBytes {
    std::uint8_t hours = 0;
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    std::uint8_t hundredths = 0;
};

struct HeaderBytes {
    std::uint8_t year = 24;  // minus 2000
    std::uint8_t month = 1;
    std::uint8_t day = 31;
    std::uint8_t hour = 9;
    std::uint8_t minute = 30;
    std::uint8_t second = 15;
};

// Appends one run; `lapCount` defaults to the number of splits but may claim more (truncated run).
inline void appendRun(std::vector<std::uint8_t>& data, const HeaderBytes& h,
                      const std::vector<SplitBytes>& splits, int lapCount = -1) {
    const auto n = static_cast<std::uint16_t>(lapCount < 0 ? splits.size() : lapCount);
    const std::uint8_t header[16] = {0xAA, 0xBB, h.day, h.month, h.year, h.second, h.minute, h.hour,
                                     1, 2, 3, 4, static_cast<std::uint8_t>(n & 0xFF),
                                     static_cast<std::uint8_t>(n >> 8), 5, 6};
    data.insert(data.end(), header, header + 16);
    for (const SplitBytes& s : splits) {
        data.insert(data.end(), {s.hundredths, s.seconds, s.minutes, s.hours});
    }
}

}  // namespace lapdex::testing
