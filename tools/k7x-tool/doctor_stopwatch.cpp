#include "doctor_stopwatch.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "engine/run_decoder.h"
#include "engine/serial_text.h"
#include "rdcom32.h"
#include "stopwatch_format.h"
#include "stopwatch_session.h"

namespace k7x {
namespace {

constexpr int kChunk = 192;
// Beyond this the PC and the stopwatch disagree enough for a coach to notice.
constexpr long kClockToleranceSeconds = 60;

std::string onReader(const StopwatchSession& session) {
    return "Stopwatch on \"" + session.readerName() + "\"";
}

CheckLine failed(const char* what) {
    return {CheckStatus::Fail, std::string("Stopwatch: ") + what +
                                   " failed; keep the stopwatch still on the reader and run "
                                   "k7x-tool doctor again (--log DIR keeps the library's log)"};
}

CheckLine batteryCheck() {
    uint8_t raw[2] = {};
    if (RDCAA_ReadPlug(4, 2, raw) != 1) return failed("reading the battery value");
    const int level = lapdex::batteryLevelFromRaw(littleEndian16(raw));
    const std::string text = "Stopwatch battery: level " + std::to_string(level) + " of 5 (raw " +
                             std::to_string(littleEndian16(raw)) + ")";
    if (level <= 1) return {CheckStatus::Warn, text + "; replace the battery soon"};
    return {CheckStatus::Ok, text};
}

// Seconds by which the stopwatch's clock is ahead of the PC's (negative: behind).
bool clockDifference(const uint8_t (&clock)[6], long& seconds) {
    std::tm watch{};
    watch.tm_sec = clock[0];
    watch.tm_min = clock[1];
    watch.tm_hour = clock[2];
    watch.tm_mday = clock[3];
    watch.tm_mon = clock[4] - 1;
    watch.tm_year = 100 + clock[5];
    watch.tm_isdst = -1;
    const std::time_t stopwatchTime = std::mktime(&watch);
    if (stopwatchTime == static_cast<std::time_t>(-1)) return false;
    seconds = static_cast<long>(std::difftime(stopwatchTime, std::time(nullptr)));
    return true;
}

CheckLine clockCheck() {
    uint8_t clock[6] = {};
    if (RDCAA_GetTime(clock) != 1) return failed("reading the clock");
    long seconds = 0;
    if (!clockDifference(clock, seconds)) {
        return {CheckStatus::Warn, "Stopwatch clock: " + clockText(clock) +
                                       " is no valid time; Lapdex sets it at the next download "
                                       "when PCTIME is ON"};
    }
    const std::string text = "Stopwatch clock: " + clockText(clock) + ", " +
                             std::to_string(std::labs(seconds)) + " s " +
                             (seconds > 0   ? "ahead of"
                              : seconds < 0 ? "behind"
                                            : "equal to") +
                             " the PC's clock";
    if (std::labs(seconds) > kClockToleranceSeconds) {
        return {CheckStatus::Warn,
                text + "; Lapdex sets it at the next download when PCTIME is ON"};
    }
    return {CheckStatus::Ok, text};
}

// Counts the new runs from ranged reads of their bytes (no erase follows a ranged read).
CheckLine runsCheck() {
    uint8_t info[4] = {};
    if (RDCAA_GetRunInfo(info) != 1) return failed("reading the run information");
    const unsigned newBytes = littleEndian16(info);
    std::vector<uint8_t> data(newBytes);
    for (unsigned offset = 0; offset < newBytes; offset += kChunk) {
        const int length = static_cast<int>(std::min<unsigned>(kChunk, newBytes - offset));
        if (RDCAA_GetRunNewB(data.data() + offset, static_cast<int32_t>(offset), length) != 1) {
            return failed("reading the new runs");
        }
    }
    const size_t runs =
        lapdex::decodeRunData(data, lapdex::TimeFormat::Clock, [](lapdex::RunRecord&&) {});
    return {CheckStatus::Ok,
            "Runs waiting: " + std::to_string(runs) + " new (" + std::to_string(newBytes) +
                " bytes; " + std::to_string(littleEndian16(info + 2)) + " bytes of runs in all)"};
}

}  // namespace

CheckLines checkStopwatch(const std::string& logDirectory) {
    StopwatchSession session(logDirectory);
    const SessionError error = session.open();
    if (error == SessionError::NoStopwatch) {
        return {{CheckStatus::Fail, onReader(session) + ": none answered the polling; lay the "
                                                        "stopwatch flat on the reader's centre"}};
    }
    if (error != SessionError::None) {
        return {{CheckStatus::Fail, "Stopwatch: " + describe(error, session.readerName())}};
    }
    CheckLines lines{{CheckStatus::Ok, onReader(session) + ": answered the polling"}};
    uint8_t serial[6] = {};
    if (RDCAA_GetSerial(serial) != 1) {
        lines.push_back(failed("reading the serial number"));
        return lines;
    }
    lines.push_back({CheckStatus::Ok, "Stopwatch serial: " + lapdex::serialText(serial)});
    lines.push_back(batteryCheck());
    lines.push_back(clockCheck());
    lines.push_back(runsCheck());
    return lines;
}

}  // namespace k7x
