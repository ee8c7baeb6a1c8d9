// History.csv in the data folder: one line appended per contact with a stopwatch, never rewritten.
// UTF-8 with a header line; the fields are written as comma-separated values with quotes where
// needed.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "data_folder.h"

namespace lapdex {

inline constexpr const char* kHistoryFileName = "History.csv";

// What was done at a contact.
enum class ContactAction { Download, Reload, Clear };

struct ContactRecord {
    std::string localTime;  // "YYYY-MM-DD HH:MM:SS"
    std::string serialText;
    std::string tabName;  // UTF-8
    ContactAction action = ContactAction::Download;
    int runsWritten = 0;
    int runsFailed = 0;
    int rawBattery = 0;
    int batteryLevel = 0;  // 1 (lowest) to 5
    std::string result;    // "ok", "no data", "write failed" or kContactFailed

    // False for a contact that ended in a communication error: nothing was read for certain.
    bool read() const;
};

// The result of a contact that ended in a communication error after the stopwatch's serial had
// been read; its battery fields are 0.
inline constexpr const char* kContactFailed = "communication error";

// The header line, without its line end.
const char* historyHeader();
// "download", "reload" or "clear".
const char* actionText(ContactAction action);

// One line of the file for `record`, with its line end ("\r\n").
std::string historyLine(const ContactRecord& record);

// Appends `record` to data's History.csv in one write, creating the file with its header first.
// The file is opened for appending only, so no earlier line can be lost. Thread-safe per process.
FsStatus appendContact(const DataFolder& data, const ContactRecord& record);

struct HistoryReading {
    std::vector<ContactRecord> records;  // in file order
    std::vector<int> damagedLines;       // 1-based numbers of lines that were skipped
};

// Reads History.csv. A missing file gives nothing; a line that is not a record is skipped and its
// number reported.
HistoryReading readContactHistory(const DataFolder& data);

// The battery level read at each serial's last contact that read one (1 to 5), by serial text:
// what a stopwatch was last known to have until it is read again.
std::map<std::string, int> lastBatteryLevels(const HistoryReading& history);

// Parses the file's bytes (exposed for the tests).
HistoryReading parseContactHistory(const std::string& bytes);

}  // namespace lapdex
