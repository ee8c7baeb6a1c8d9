#include "stopwatch_format.h"

#include <cstdio>

namespace k7x {

std::string hexBytes(const uint8_t* bytes, size_t count) {
    std::string text;
    char digits[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += digits;
    }
    return text;
}

std::string productNameText(const uint8_t (&name)[8]) {
    std::string text;
    for (size_t i = 0; i < 7 && name[i] != 0; ++i) {
        text += name[i] >= 0x20 && name[i] < 0x7F ? static_cast<char>(name[i]) : '?';
    }
    return text;
}

std::string clockText(const uint8_t (&clock)[6]) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", 2000 + clock[5], clock[4],
                  clock[3], clock[2], clock[1], clock[0]);
    return text;
}

unsigned littleEndian16(const uint8_t* bytes) {
    return static_cast<unsigned>(bytes[0]) | static_cast<unsigned>(bytes[1]) << 8;
}

}  // namespace k7x
