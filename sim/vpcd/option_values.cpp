// The value forms of stopwatch-sim's options: decimal numbers, hex numbers and hex bytes.
#include "vpcd/option_values.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace sim {

std::optional<long> parseDecimal(const std::string& text, long low, long high) {
    if (text.empty()) return std::nullopt;
    // Decimal always: "0100" is one hundred, not octal 64.
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<long> parseHexNumber(const std::string& text, long low, long high) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return std::nullopt;
    }
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 16);
    if (errno != 0 || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<std::vector<uint8_t>> parseHexBytes(const std::string& text, size_t bytes) {
    if (text.size() != 2 * bytes) return std::nullopt;
    std::vector<uint8_t> out;
    for (size_t i = 0; i < bytes; ++i) {
        auto byte = parseHexNumber(text.substr(2 * i, 2), 0, 255);
        if (!byte) return std::nullopt;
        out.push_back(static_cast<uint8_t>(*byte));
    }
    return out;
}

}  // namespace sim
