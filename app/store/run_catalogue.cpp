// The run file catalogue: day search, day listing, day masks and run deletion.
#include "run_catalogue.h"

#include <algorithm>
#include <cstdio>

#include "run_file_writer.h"

namespace lapdex {
namespace {

bool isDigitIn(char c, char low, char high) {
    return c >= low && c <= high;
}

// "_" + hour 00-23 + minute 00-59 at the start of `rest`.
bool startsWithRunTime(std::string_view rest) {
    if (rest.size() < 5 || rest[0] != '_') return false;
    const bool hour = (isDigitIn(rest[1], '0', '1') && isDigitIn(rest[2], '0', '9')) ||
                      (rest[1] == '2' && isDigitIn(rest[2], '0', '3'));
    return hour && isDigitIn(rest[3], '0', '5') && isDigitIn(rest[4], '0', '9');
}

}  // namespace

// The memo rewrite's "_bak.csv" copy, left behind when the program ended in the middle of a
// rewrite, holds a run's text too; it is no run of its own.
bool isMemoBackupName(std::string_view name) {
    constexpr std::string_view kSuffix = "_bak.csv";
    return name.size() >= kSuffix.size() &&
           wildcardMatch(kSuffix, name.substr(name.size() - kSuffix.size()));
}

bool containsRunOfDay(std::string_view name, std::string_view prefix) {
    if (prefix.empty()) return false;
    for (std::size_t at = name.find(prefix); at != std::string_view::npos;
         at = name.find(prefix, at + 1)) {
        if (startsWithRunTime(name.substr(at + prefix.size()))) return true;
    }
    return false;
}

std::string runDayKey(const std::string& name) {
    if (name.size() < 13 || isMemoBackupName(name)) return {};
    std::string key = name.substr(0, 9);
    for (std::size_t i = 0; i < 3; ++i) key[i] = static_cast<char>(key[i] & ~0x20);
    if (key.compare(0, 3, "QTM") != 0) return {};
    for (std::size_t i = 3; i < 9; ++i) {
        if (key[i] < '0' || key[i] > '9') return {};
    }
    if (!wildcardMatch("*.csv", name) || !containsRunOfDay(name, key)) return {};
    return key;
}

bool isReadableRun(FileSystem& fs, const std::string& path) {
    return fs.kindOf(path) == EntryKind::File && !fs.isLockedExclusively(path);
}

bool isReadableListedRun(FileSystem& fs, const std::string& folder, const FolderEntry& entry) {
    return entry.kind == EntryKind::File && !fs.isLockedExclusively(folder + entry.name);
}

std::vector<std::uint32_t> emptyDayMasks(const DisplayedRange& range) {
    return std::vector<std::uint32_t>(static_cast<std::size_t>(std::max(range.monthCount, 0)), 0);
}

std::string selectedStopwatchFolder(const std::string& dataFolder, int slotIndex) {
    return withTrailingSlash(dataFolder) + stopwatchFolderName(slotIndex);
}

std::string dayPrefix(const CalendarDate& date) {
    char text[48];
    std::snprintf(text, sizeof text, "QTM%02d%02d%02d", ((date.year % 100) + 100) % 100, date.month,
                  date.day);
    return text;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::vector<MonthSpan> monthSpans(const DisplayedRange& range) {
    std::vector<MonthSpan> spans;
    const int count = std::min(range.monthCount, 4);
    for (int n = 0; n < count; ++n) {
        MonthSpan span;
        if (n == 3) {
            span = {range.lastShown.year, range.lastShown.month, 1, range.lastShown.day};
        } else {
            span.year = range.firstShown.year;
            span.month = range.firstShown.month + n;
            if (span.month > 12) {
                span.month -= 12;
                ++span.year;
            }
            span.firstDay = n == 0 ? range.firstShown.day : 1;
            span.lastDay = daysInMonth(span.year, span.month);
        }
        // Masks hold 32 days; a calendar that reports odd days cannot push a shift out of range.
        span.firstDay = std::max(span.firstDay, 1);
        span.lastDay = std::min(span.lastDay, 31);
        spans.push_back(span);
    }
    return spans;
}

bool findRunsOfDay(FileSystem& fs, CataloguePage& page, const std::string& prefix,
                   SearchMode mode) {
    const std::string folder = withTrailingSlash(page.stopwatchFolder());
    FolderListing found = fs.findMatching(folder, prefix + "*.csv");
    if (!found.ok() || found.entries.empty()) return false;
    int listed = 0;
    for (const FolderEntry& entry : found.entries) {
        if (entry.kind != EntryKind::File || !containsRunOfDay(entry.name, prefix)) continue;
        if (isMemoBackupName(entry.name)) continue;
        if (mode == SearchMode::Existence) {
            if (isReadableListedRun(fs, folder, entry)) return true;
            continue;
        }
        const std::string path = folder + entry.name;
        if (readRunFile(fs, path, listed + 1, page.cellStore())) {
            ++listed;
            page.runPaths().push_back(path);
        }
    }
    return listed > 0;
}

bool listRunsOfDay(FileSystem& fs, CataloguePage& page, const CalendarDate& selectedDate) {
    return findRunsOfDay(fs, page, dayPrefix(selectedDate), SearchMode::Listing);
}

std::vector<std::uint32_t> dayMasksByDaySearch(FileSystem& fs, CataloguePage& page) {
    const DisplayedRange range = page.displayedRange();
    std::vector<std::uint32_t> masks = emptyDayMasks(range);
    if (page.registeredCount() == 0) return masks;
    const std::vector<MonthSpan> spans = monthSpans(range);
    for (std::size_t n = 0; n < spans.size(); ++n) {
        for (int day = spans[n].firstDay; day <= spans[n].lastDay; ++day) {
            const std::string prefix = dayPrefix({spans[n].year, spans[n].month, day});
            if (findRunsOfDay(fs, page, prefix, SearchMode::Existence)) masks[n] |= 1U << (day - 1);
        }
    }
    return masks;
}

FsStatus deleteRunFile(FileSystem& fs, const std::string& path, const PathDiscard& discard) {
    const EntryKind kind = fs.kindOf(path);
    if (kind == EntryKind::File && fs.isInUse(path)) return {FsError::InUse, 0};
    if (kind == EntryKind::File && discard && discard(path)) return FsStatus::success();
    if (fs.isReadOnly(path)) {
        if (FsStatus cleared = fs.setReadOnlyAttribute(path, ReadOnly::Off); !cleared.ok())
            return cleared;
    }
    return fs.deleteFile(path);
}

}  // namespace lapdex
