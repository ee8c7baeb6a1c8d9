// Model of a K7X stopwatch's FeliCa side: its memories, clock, runs and logs, and the
// stopwatch command set carried in block reads and writes on service 000B.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// Elapsed time from the start of a run to the end of one lap.
struct Split {
    uint8_t hours = 0;
    uint8_t minutes = 0;
    uint8_t seconds = 0;
    uint8_t hundredths = 0;
};

// One recorded run: start date and time on the stopwatch's clock and its splits.
struct SimRun {
    int year = 2024;  // 2000..2255
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::vector<Split> splits;
};

// Whether runs that no stopwatch can have recorded (a date that does not exist, a split
// earlier than the one before) are refused or taken as they stand.
enum class OddRuns { Refuse, Allow };

// Where and why a runs text was refused; `line` counts from 1.
struct RunsProblem {
    int line = 0;
    std::string reason;
};

// Parses runs written as readable text, one run per line: the start date and time, then the
// cumulative split times with two-digit minutes, seconds and hundredths:
//   "2024-05-01 07:30:00 00:01:10.50 00:02:15.20 00:03:20.00"
// Blank lines and lines starting with '#' are skipped. Returns nullopt on the first line that
// is malformed or (unless `odd` allows it) impossible, with `problem` saying which and why.
std::optional<std::vector<SimRun>> parseRuns(const std::string& text, OddRuns odd,
                                             RunsProblem& problem);
// The same, refusing odd runs, for callers that need no reason.
std::optional<std::vector<SimRun>> parseRuns(const std::string& text);

// Writes runs in the text form that parseRuns reads, one line per run.
std::string formatRuns(const std::vector<SimRun>& runs);

// Generates `count` plausible runs from a seed (same seed, same runs on every platform).
std::vector<SimRun> generateRuns(uint32_t seed, int count);

// The encoded run stream of runs[from..]: per run a 16-byte header and 4 bytes per split.
std::vector<uint8_t> encodeRuns(const std::vector<SimRun>& runs, size_t from = 0);

// The most bytes a stream can report: its length travels as a 16-bit number.
inline constexpr size_t kMaxStreamLength = 65535;

// Bytes of one run in the stream: its header and 4 bytes per split.
size_t encodedSize(const SimRun& run);
// How many of the leading runs fit into kMaxStreamLength bytes together.
size_t runsThatFit(const std::vector<SimRun>& runs);

class Stopwatch {
  public:
    Stopwatch();

    // Identity and memories; tests set them directly.
    std::array<uint8_t, 8> idm{0x03, 0xFE, 0x00, 0x24, 0x00, 0x00, 0x01, 0x02};
    std::array<uint8_t, 8> pmm{0x00, 0xF1, 0x00, 0x00, 0x00, 0x01, 0x43, 0x00};
    std::array<uint8_t, 3> firmVer{0x01, 0x02, 0x03};
    std::array<uint8_t, 6> serial{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB};
    std::array<uint8_t, 8> productName{'K', '7', 'X', '-', 'S', 'W', 0x00, 0x02};  // byte 7: type
    uint8_t battery = 5;                               // answer of GetBattery (A6)
    std::array<uint8_t, 6> clock{0, 0, 12, 1, 1, 24};  // s, min, h, day, month, year-2000
    std::array<uint8_t, 9> impact{};
    std::array<uint8_t, 7> account{};
    std::array<uint8_t, 146> plan{};
    std::array<uint8_t, 9> systemCfg{};
    std::array<uint8_t, 27> stwCfg{};
    std::array<uint8_t, 3> alarmCfg{};
    std::array<uint8_t, 256> plug{};  // raw battery value little-endian at address 4
    std::vector<uint8_t> ram;         // 65536 bytes
    std::vector<uint8_t> e2p;         // 65536 bytes

    // Runs: the first `downloadedRuns` of `runs` are old, the rest are new.
    std::vector<SimRun> runs;
    size_t downloadedRuns = 0;
    // Log streams, raw bytes; the first `downloadedLogBytes` are old.
    std::vector<uint8_t> logs;
    size_t downloadedLogBytes = 0;

    // Observations.
    int beepCount = 0;
    std::array<uint8_t, 2> lastBeep{};
    int demoCount = 0;
    uint8_t lastDemo = 0;
    int setTimeCount = 0;
    std::vector<uint8_t> eraseRunParams;  // every EraseRun parameter byte received
    std::vector<uint8_t> eraseLogParams;

    void setBatteryRaw(uint16_t raw);
    uint16_t batteryRaw() const;
    // Streams as the stopwatch transfers them, cut at kMaxStreamLength.
    std::vector<uint8_t> newRunBytes() const;
    std::vector<uint8_t> allRunBytes() const;
    std::vector<uint8_t> newLogBytes() const;
    std::vector<uint8_t> allLogBytes() const;

    // FeliCa Read Without Encryption on service 000B: `blockList` holds 3 bytes per
    // block. Fills 16 bytes per block into `out`. False for an unknown command code or
    // a request that does not fit into the blocks asked for.
    bool readBlocks(const uint8_t* blockList, int blocks, uint8_t* out);
    // FeliCa Write Without Encryption: `data` holds 16 bytes per block (command block).
    bool writeBlocks(const uint8_t* data, int blocks);

  private:
    bool readFixed(uint8_t code, int blocks, uint8_t* out) const;
    bool readRanged(const uint8_t* blockList, int blocks, uint8_t* out) const;
    bool writeFixed(const uint8_t* data, int blocks);
    bool writeMemory(const uint8_t* data, int blocks);
    void erase(uint8_t code, uint8_t parameter);
};

}  // namespace sim
