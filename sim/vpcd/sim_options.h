// Command-line options of stopwatch-sim and the stopwatch they describe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "acs/acs_emulator.h"
#include "model/stopwatch.h"
#include "sony/sony_emulator.h"

namespace sim {

inline constexpr uint16_t kDefaultVpcdPort = 0x8C7B;

// Which reader's driver the simulator answers as.
enum class SimReader { Acs, Sony };

struct SimOptions {
    uint16_t port = kDefaultVpcdPort;
    std::string runsFile;          // --runs FILE: runs as readable text
    std::optional<uint32_t> seed;  // --generate SEED:COUNT
    int generateCount = 0;
    int oldRuns = 0;            // --old N: the first N runs were downloaded before
    bool allowOddRuns = false;  // --allow-odd-runs: impossible runs and overfull memory
    std::optional<std::vector<uint8_t>> serial;    // --serial HEX, byte 0 first
    std::optional<std::vector<uint8_t>> idm;       // --idm HEX
    std::optional<uint16_t> batteryRaw;            // --battery RAW
    std::optional<uint8_t> productType;            // --product-type N
    SimReader reader = SimReader::Acs;             // --reader acs|sony
    bool readerGiven = false;                      // --reader was on the command line
    AcsAnswers answers = AcsAnswers::GetResponse;  // --answers direct|get-response
    std::string readerName;                        // --reader-name NAME (FRIENDLYNAME)
    std::vector<SonyFault> sonyFaults;             // --sony-fault KIND:N:SW or KIND:N:cutC
    bool transcript = false;                       // --transcript: print every APDU and answer
    long liftAfter = 0;                            // --lift-after N: leave the reader after N APDUs
    int connectTimeoutMs = 10000;                  // --connect-timeout MS
    bool help = false;                             // --help: print simHelp() and exit
    bool version = false;                          // --version
};

// Parses argv[1..]; on failure returns nullopt and puts the reason into `error` (one line).
std::optional<SimOptions> parseSimOptions(int argc, char** argv, std::string& error);

// Builds the stopwatch that the options describe (reads the runs file). False and
// `error` set when the runs cannot be read, are impossible (FILE:LINE: reason) or do not
// fit into the stopwatch's memory (unless allowOddRuns), or when --old exceeds them.
bool buildStopwatch(const SimOptions& options, Stopwatch& stopwatch, std::string& error);

// "read:3:6a83": the third Read Binary is answered with 6A 83 alone; "pmm:0:6a81": every
// PMm query fails; "read:2:cut4": the second read answer lacks 4 bytes before 90 00.
// Kinds: select, idm, pmm, read, write. N counts from 1; 0 means every such command.
std::optional<SonyFault> parseSonyFault(const std::string& text);

// The --help text: usage, the options in groups, memory, lifting and exit status.
std::string simHelp();

// The text after the options in --help.
extern const char* const kSimFooter;

}  // namespace sim
