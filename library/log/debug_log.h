// The library's debug log "rdcaa_debug.log": process-wide state, its switches and writers.
//
// Off at load. Lines are 8-bit text ending in CR LF on every platform: ASCII, except the
// four Japanese banners of the log-out switch, which are written as Shift_JIS bytes. Every
// writer flushes after its line(s). Not thread-safe: one thread uses the library at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rdcom32 {

// The file name appended to the directory the host names.
inline constexpr const char* kLogFileName = "rdcaa_debug.log";
// Size of the buffer that holds directory plus file name, terminator included.
inline constexpr size_t kLogPathCapacity = 2048;

// One line: time stamp, ": ", text. Returns 1 when written, 0 when the log is off.
int WriteLogLine(const char* text);
// Two lines: label and "%02X " per byte (or "No Data" for null bytes), then
// "Total Length: %d Byte(s)" with count. Both carry one time stamp. Returns 1 or 0.
int WriteLogDump(const char* label, const uint8_t* bytes, size_t count);
// One line: label and value as signed decimal. Returns 1 or 0.
int WriteLogNumber(const char* label, int32_t value);

// Points the log at directory + "rdcaa_debug.log" (no separator is added) and opens it
// for appending. Returns 1 when open; 0 when the directory is missing, is not a
// directory, is too long, or the file cannot be opened (the log is then off).
int openLogIn(const char* directory);
// Writes the two start (on == 1) or end (otherwise) banners; the end form then closes the
// log. Returns 1 when the second banner was written.
int writeLogOutBanners(uint8_t on);
// Flushes and closes the file; nothing is written until the log is opened again.
void closeLog();
// True while lines reach the file.
[[nodiscard]] bool logWriting();
// The directory plus file name last set (empty before the first openLogIn).
[[nodiscard]] const char* logPath();

}  // namespace rdcom32
