// History.csv: appending a contact and reading the history back.
#include "contact_history.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <mutex>

namespace lapdex {
namespace {

constexpr int kFieldCount = 9;

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\r' || c == '\n') c = ' ';
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

// Splits one line into fields, undoing quotes; false when a quote is left open.
bool splitCsv(std::string_view line, std::vector<std::string>& fields) {
    fields.assign(1, {});
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return !quoted;
}

bool toInt(const std::string& text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool parseRecord(const std::vector<std::string>& f, ContactRecord& r) {
    if (f.size() != kFieldCount || f[0].size() != 19 || f[1].empty()) return false;
    r.localTime = f[0];
    r.serialText = f[1];
    r.tabName = f[2];
    if (f[3] == "download")
        r.action = ContactAction::Download;
    else if (f[3] == "reload")
        r.action = ContactAction::Reload;
    else if (f[3] == "clear")
        r.action = ContactAction::Clear;
    else
        return false;
    r.result = f[8];
    return toInt(f[4], r.runsWritten) && toInt(f[5], r.runsFailed) && toInt(f[6], r.rawBattery) &&
           toInt(f[7], r.batteryLevel);
}

bool isTimeAt(std::string_view line, std::size_t at) {
    static constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd,";
    if (line.size() - at < kShape.size()) return false;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const char c = line[at + i];
        if (kShape[i] == 'd' ? (c < '0' || c > '9') : c != kShape[i]) return false;
    }
    return true;
}

// A line whose start was torn off by a crash and then had the next record appended to it: the
// record that begins later in the line, if one does.
bool recordAfterTornStart(std::string_view line, std::vector<std::string>& fields,
                          ContactRecord& record) {
    for (std::size_t at = 1; at < line.size(); ++at) {
        if (isTimeAt(line, at) && splitCsv(line.substr(at), fields) && parseRecord(fields, record))
            return true;
    }
    return false;
}

std::mutex& appendMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

bool ContactRecord::read() const {
    return result != kContactFailed;
}

const char* historyHeader() {
    return "local time,serial,tab name,action,runs written,runs failed,raw battery,battery "
           "level,result";
}

const char* actionText(ContactAction action) {
    switch (action) {
        case ContactAction::Reload:
            return "reload";
        case ContactAction::Clear:
            return "clear";
        default:
            return "download";
    }
}

std::string historyLine(const ContactRecord& r) {
    return r.localTime + "," + csvField(r.serialText) + "," + csvField(r.tabName) + "," +
           actionText(r.action) + "," + std::to_string(r.runsWritten) + "," +
           std::to_string(r.runsFailed) + "," + std::to_string(r.rawBattery) + "," +
           std::to_string(r.batteryLevel) + "," + csvField(r.result) + "\r\n";
}

FsStatus appendContact(const DataFolder& data, const ContactRecord& record) {
    const std::string path = data.path() + kHistoryFileName;
    std::lock_guard<std::mutex> lock(appendMutex());
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return {FsError::Io, errno};
    std::string text;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    char last = '\n';
    if (size == 0) {
        text = std::string(historyHeader()) + "\r\n";
    } else if (size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n') {
        // A line torn by a crash ends here: the new record starts on a line of its own.
        text = "\r\n";
    }
    text += historyLine(record);
    // One write per line: a reader, or a crash, sees whole lines only (a torn tail is skipped).
    const ssize_t written = ::write(fd, text.data(), text.size());
    const int error = errno;
    ::close(fd);
    if (written != static_cast<ssize_t>(text.size()))
        return {FsError::Io, written < 0 ? error : EIO};
    return FsStatus::success();
}

HistoryReading parseContactHistory(const std::string& bytes) {
    HistoryReading reading;
    std::vector<std::string> fields;
    int number = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (number == 1 && line == historyHeader()) continue;
        if (line.empty()) continue;
        ContactRecord record;
        if (splitCsv(line, fields) && parseRecord(fields, record)) {
            reading.records.push_back(std::move(record));
            continue;
        }
        reading.damagedLines.push_back(number);
        if (recordAfterTornStart(line, fields, record))
            reading.records.push_back(std::move(record));
    }
    return reading;
}

HistoryReading readContactHistory(const DataFolder& data) {
    const FsBytes bytes = data.fs().readFile(data.path() + kHistoryFileName);
    return bytes.ok() ? parseContactHistory(bytes.bytes) : HistoryReading{};
}

}  // namespace lapdex

namespace lapdex {

std::map<std::string, int> lastBatteryLevels(const HistoryReading& history) {
    std::map<std::string, int> levels;
    for (const ContactRecord& record : history.records)
        if (record.batteryLevel >= 1 && record.batteryLevel <= 5)
            levels[record.serialText] = record.batteryLevel;
    return levels;
}

}  // namespace lapdex
