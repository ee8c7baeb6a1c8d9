// Runs as readable text, generated from a seed, and encoded as the stopwatch stores them.
#include <cstdio>
#include <sstream>

#include "model/stopwatch.h"

namespace sim {
namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kSplitSize = 4;

bool inRange(int value, int low, int high) {
    return value >= low && value <= high;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads exactly the digits of `text` from `at` up to `end` as a decimal number; false when a
// character is not a digit or when the count of digits is outside [minDigits, maxDigits].
bool digits(const std::string& text, size_t at, size_t end, size_t minDigits, size_t maxDigits,
            int& value) {
    if (end == std::string::npos || end < at || end - at < minDigits || end - at > maxDigits)
        return false;
    value = 0;
    for (size_t i = at; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "HH:MM:SS.CC": hours one to three digits (a long run may exceed 23, up to 255), the rest
// exactly two, so that "10.5" is never taken for 10.05 s.
std::optional<Split> parseSplit(const std::string& word, std::string& reason) {
    const size_t colon1 = word.find(':');
    const size_t colon2 = colon1 == std::string::npos ? colon1 : word.find(':', colon1 + 1);
    const size_t dot = colon2 == std::string::npos ? colon2 : word.find('.', colon2 + 1);
    int h = 0, m = 0, s = 0, c = 0;
    if (!digits(word, 0, colon1, 1, 3, h) || !digits(word, colon1 + 1, colon2, 2, 2, m) ||
        !digits(word, colon2 + 1, dot, 2, 2, s) || !digits(word, dot + 1, word.size(), 2, 2, c)) {
        reason =
            "split \"" + word + "\" is not HH:MM:SS.CC (two-digit minutes, seconds and hundredths)";
        return std::nullopt;
    }
    if (h > 255 || m > 59 || s > 59) {
        reason = "split \"" + word +
                 "\" is out of range (hours up to 255, minutes and seconds up to 59)";
        return std::nullopt;
    }
    return Split{static_cast<uint8_t>(h), static_cast<uint8_t>(m), static_cast<uint8_t>(s),
                 static_cast<uint8_t>(c)};
}

uint32_t hundredthsOf(const Split& split) {
    return ((split.hours * 60u + split.minutes) * 60u + split.seconds) * 100u + split.hundredths;
}

bool parseStart(const std::string& date, const std::string& time, SimRun& run,
                std::string& reason) {
    if (!digits(date, 0, 4, 4, 4, run.year) || date.size() != 10 || date[4] != '-' ||
        date[7] != '-' || !digits(date, 5, 7, 2, 2, run.month) ||
        !digits(date, 8, 10, 2, 2, run.day)) {
        reason = "date \"" + date + "\" is not YYYY-MM-DD";
        return false;
    }
    if (time.size() != 8 || time[2] != ':' || time[5] != ':' ||
        !digits(time, 0, 2, 2, 2, run.hour) || !digits(time, 3, 5, 2, 2, run.minute) ||
        !digits(time, 6, 8, 2, 2, run.second)) {
        reason = "time \"" + time + "\" is not HH:MM:SS";
        return false;
    }
    if (!inRange(run.year, 2000, 2255) || !inRange(run.month, 1, 12) || !inRange(run.day, 1, 31) ||
        !inRange(run.hour, 0, 23) || !inRange(run.minute, 0, 59) || !inRange(run.second, 0, 59)) {
        reason = "start " + date + " " + time + " is out of range (years 2000 to 2255)";
        return false;
    }
    return true;
}

// Dates and splits that a stopwatch cannot have recorded.
bool checkPossible(const SimRun& run, std::string& reason) {
    if (run.day > daysInMonth(run.year, run.month)) {
        char date[40];  // room for any int, so -O3 sees no truncation
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", run.year, run.month, run.day);
        reason = std::string("date ") + date + " does not exist";
        return false;
    }
    for (size_t i = 1; i < run.splits.size(); ++i) {
        if (hundredthsOf(run.splits[i]) < hundredthsOf(run.splits[i - 1])) {
            reason = "split " + std::to_string(i + 1) + " is earlier than split " +
                     std::to_string(i) + " (splits are cumulative times from the start)";
            return false;
        }
    }
    return true;
}

std::optional<SimRun> parseLine(const std::string& line, OddRuns odd, std::string& reason) {
    std::istringstream words(line);
    std::string date, time, word;
    SimRun run;
    if (!(words >> date >> time)) {
        reason = "a run needs a date, a time and at least one split";
        return std::nullopt;
    }
    if (!parseStart(date, time, run, reason)) return std::nullopt;
    while (words >> word) {
        auto split = parseSplit(word, reason);
        if (!split) return std::nullopt;
        run.splits.push_back(*split);
    }
    if (run.splits.empty() || run.splits.size() > 0xFFFF) {
        reason = run.splits.empty() ? "a run needs at least one split" : "more than 65,535 splits";
        return std::nullopt;
    }
    if (odd == OddRuns::Refuse && !checkPossible(run, reason)) return std::nullopt;
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
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<uint32_t>(high - low + 1));
    }

  private:
    uint32_t state;
};

Split splitFromHundredths(uint32_t total) {
    return Split{static_cast<uint8_t>(total / 360000), static_cast<uint8_t>(total / 6000 % 60),
                 static_cast<uint8_t>(total / 100 % 60), static_cast<uint8_t>(total % 100)};
}

}  // namespace

std::optional<std::vector<SimRun>> parseRuns(const std::string& text, OddRuns odd,
                                             RunsProblem& problem) {
    std::vector<SimRun> runs;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        auto run = parseLine(line, odd, problem.reason);
        if (!run) {
            problem.line = number;
            return std::nullopt;
        }
        runs.push_back(std::move(*run));
    }
    return runs;
}

std::optional<std::vector<SimRun>> parseRuns(const std::string& text) {
    RunsProblem ignored;
    return parseRuns(text, OddRuns::Refuse, ignored);
}

size_t encodedSize(const SimRun& run) {
    return kHeaderSize + kSplitSize * run.splits.size();
}

size_t runsThatFit(const std::vector<SimRun>& runs) {
    size_t bytes = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        bytes += encodedSize(runs[i]);
        if (bytes > kMaxStreamLength) return i;
    }
    return runs.size();
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
    for (size_t i = from; i < runs.size(); ++i) size += encodedSize(runs[i]);
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
