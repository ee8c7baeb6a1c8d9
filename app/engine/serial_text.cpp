#include "serial_text.h"

#include <cstdio>

namespace lapdex {

std::string serialText(const uint8_t* serial6) {
    char text[13];
    for (int i = 0; i < 6; ++i) {
        std::snprintf(text + 2 * i, 3, "%02x", serial6[5 - i]);
    }
    return std::string(text, 12);
}

int batteryLevelFromRaw(uint16_t raw) {
    if (raw >= 2440) return 5;
    if (raw >= 2400) return 4;
    if (raw >= 2360) return 3;
    if (raw >= 2320) return 2;
    return 1;
}

}  // namespace lapdex
