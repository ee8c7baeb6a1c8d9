// Runs as readable text, generated from a seed, and encoded as the stopwatch stores them.
#include <cstdio>
#include <sstream>

#include "model/stopwatch.h"

namespace sim {
namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kSplitSize = 4;

bool inRange(int value, int low, int high) { return value >= low && value <= high; }

// "HH:MM:SS.CC"; hours may exceed 23 (a long run), up to 255.
std::optional<Split> parseSplit(const std::string& word) {
    int h = 0, m = 0, s = 0, c = 0;
    char tail = 0;
    if (std::sscanf(word.c_str(), "%d:%d:%d.%d%c", &h, &m, &s, &c, &tail) != 4) return std::nullopt;
    if (!inRange(h, 0, 255) || !inRange(m, 0, 59) || !inRange(s, 0, 59) || !inRange(c, 0, 99)) {
        return std::nullopt;
    }
    return Split{static_cast<uint8_t>(h), static_cast<uint8_t>(m), static_cast<uint8_t>(s),
                 static_cast<uint8_t>(c)};
}

std::optional<SimRun> parseLine(const std::string& line) {
    std::istringstream words(line);
    std::string date, time, word;
    if (!(words >> date >> time)) return std::nullopt;
    SimRun run;
    char tail = 0;
    if (std::sscanf(date.c_str(), "%d-%d-%d%c", &run.year, &run.month, &run.day, &tail) != 3 ||
        std::sscanf(time.c_str(), "%d:%d:%d%c", &run.hour, &run.minute, &run.second, &tail) != 3) {
        return std::nullopt;
    }
    if (!inRange(run.year, 2000, 2255) || !inRange(run.month, 1, 12) || !inRange(run.day, 1, 31) ||
        !inRange(run.hour, 0, 23) || !inRange(run.minute, 0, 59) || !inRange(run.second, 0, 59)) {
        return std::nullopt;
    }
    while (words >> word) {
        auto split = parseSplit(word);
        if (!split) return std::nullopt;
        run.splits.push_back(*split);
    }
    if (run.splits.empty() || run.splits.size() > 0xFFFF) return std::nullopt;
    return run;
}

// A small deterministic generator, so a seed gives the same runs with every library.
class Xorshift {
public:
    explicit Xorshift(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int between(int low, int high) { return low + static_cast<int>(next() % static_cast<uint32_t>(high - low + 1)); }

private:
    uint32_t state;
};

Split splitFromHundredths(uint32_t total) {
    return Split{static_cast<uint8_t>(total / 360000), static_cast<uint8_t>(total / 6000 % 60),
                 static_cast<uint8_t>(total / 100 % 60), static_cast<uint8_t>(total % 100)};
}

}  // namespace

std::optional<std::vector<SimRun>> parseRuns(const std::string& text) {
    std::vector<SimRun> runs;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        auto run = parseLine(line);
        if (!run) return std::nullopt;
        runs.push_back(std::move(*run));
    }
    return runs;
}

std::string formatRuns(const std::vector<SimRun>& runs) {
    std::string text;
    char buffer[32];
    for (const SimRun& run : runs) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", run.year, run.month,
                      run.day, run.hour, run.minute, run.second);
        text += buffer;
        for (const Split& s : run.splits) {
            std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d.%02d", s.hours, s.minutes,
                          s.seconds, s.hundredths);
            text += buffer;
        }
        text += '\n';
    }
    return text;
}

// Runs on successive days of 2024, a few to a few dozen laps of 40 to 120 seconds.
std::vector<SimRun> generateRuns(uint32_t seed, int count) {
    Xorshift random(seed);
    std::vector<SimRun> runs;
    for (int i = 0; i < count; ++i) {
        SimRun run;
        run.year = 2024;
        run.month = 1 + (i / 28) % 12;
        run.day = 1 + i % 28;
        run.hour = random.between(5, 20);
        run.minute = random.between(0, 59);
        run.second = random.between(0, 59);
        int laps = random.between(1, 40);
        uint32_t elapsed = 0;
        for (int lap = 0; lap < laps; ++lap) {
            elapsed += static_cast<uint32_t>(random.between(4000, 12000));
            run.splits.push_back(splitFromHundredths(elapsed));
        }
        runs.push_back(std::move(run));
    }
    return runs;
}

std::vector<uint8_t> encodeRuns(const std::vector<SimRun>& runs, size_t from) {
    size_t size = 0;
    for (size_t i = from; i < runs.size(); ++i) size += kHeaderSize + kSplitSize * runs[i].splits.size();
    // Sized once and written in place: the stopwatch encodes on every chunk read.
    std::vector<uint8_t> bytes(size, 0);
    uint8_t* out = bytes.data();
    for (size_t i = from; i < runs.size(); ++i) {
        const SimRun& run = runs[i];
        out[2] = static_cast<uint8_t>(run.day);
        out[3] = static_cast<uint8_t>(run.month);
        out[4] = static_cast<uint8_t>(run.year - 2000);
        out[5] = static_cast<uint8_t>(run.second);
        out[6] = static_cast<uint8_t>(run.minute);
        out[7] = static_cast<uint8_t>(run.hour);
        out[12] = static_cast<uint8_t>(run.splits.size() & 0xFF);
        out[13] = static_cast<uint8_t>(run.splits.size() >> 8);
        out += kHeaderSize;
        for (const Split& split : run.splits) {
            out[0] = split.hundredths;
            out[1] = split.seconds;
            out[2] = split.minutes;
            out[3] = split.hours;
            out += kSplitSize;
        }
    }
    return bytes;
}

}  // namespace sim
