// Command-line options of stopwatch-sim and the stopwatch they describe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/stopwatch.h"

namespace sim {

inline constexpr uint16_t kDefaultVpcdPort = 0x8C7B;

struct SimOptions {
    uint16_t port = kDefaultVpcdPort;
    std::string runsFile;              // --runs FILE: runs as readable text
    std::optional<uint32_t> seed;      // --generate SEED:COUNT
    int generateCount = 0;
    int oldRuns = 0;                   // --old N: the first N runs were downloaded before
    std::optional<std::vector<uint8_t>> serial;  // --serial HEX, byte 0 first
    std::optional<std::vector<uint8_t>> idm;     // --idm HEX
    std::optional<uint16_t> batteryRaw;          // --battery RAW
    std::optional<uint8_t> productType;          // --product-type N
    bool transcript = false;           // --transcript: print every APDU and answer
    long liftAfter = 0;                // --lift-after N: leave the reader after N APDUs
    int connectTimeoutMs = 10000;      // --connect-timeout MS
    bool help = false;
};

// Parses argv[1..]; on failure returns nullopt and puts the reason into `error`.
std::optional<SimOptions> parseSimOptions(int argc, char** argv, std::string& error);

// Builds the stopwatch that the options describe (reads the runs file). False and
// `error` set when the runs cannot be read.
bool buildStopwatch(const SimOptions& options, Stopwatch& stopwatch, std::string& error);

extern const char* const kSimUsage;

}  // namespace sim
