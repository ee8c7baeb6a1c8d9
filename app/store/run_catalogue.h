// The run file catalogue: the runs of one day, the calendar's day marks and run deletion, found
// from the run file names in the selected stopwatch's folder (there is no index of its own).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "path_discard.h"
#include "run_file_reader.h"

namespace lapdex {

// A calendar date (Gregorian; month 1-12, day 1-31).
struct CalendarDate {
    int year = 2000;
    int month = 1;
    int day = 1;
};

// The calendar's displayed range, partly shown months at both ends included.
struct DisplayedRange {
    CalendarDate firstShown;
    CalendarDate lastShown;
    int monthCount = 0;  // months in the range; the day rules cover at most four
};

// The page state the catalogue reads and fills. The stopwatch page implements it; tests fake it.
// Called on the window thread only.
class CataloguePage {
  public:
    virtual ~CataloguePage() = default;
    // Folder of the selected stopwatch, see selectedStopwatchFolder().
    virtual std::string stopwatchFolder() const = 0;
    virtual int registeredCount() const = 0;
    // Full paths of the listed runs, in run list order; the page empties it before a listing.
    virtual std::vector<std::string>& runPaths() = 0;
    // Receives the cells of every listed run, with its 1-based position in the listing.
    virtual RunCellStore& cellStore() = 0;
    // True while the calendar shows single days (month view) and the main window exists.
    virtual bool showsMonthView() const = 0;
    virtual DisplayedRange displayedRange() const = 0;
    // One mask per displayed month: bit d - 1 set marks day d (shown bold).
    virtual void setDayStates(const std::vector<std::uint32_t>& masks) = 0;
};

enum class SearchMode {
    Existence,  // stop at the first readable run of the day
    Listing,    // hand every readable run to the run file reader and record its path
};

// One month of the displayed range and its days that can be marked.
struct MonthSpan {
    int year = 2000;
    int month = 1;
    int firstDay = 1;
    int lastDay = 31;
};

// `dataFolder` + "QTM-%02d" of `slotIndex` + 1, where `slotIndex` is findByName() of the selected
// tab's text; -1 (no such slot) gives the folder QTM-00, which no slot uses. No trailing '/'.
std::string selectedStopwatchFolder(const std::string& dataFolder, int slotIndex);

// "QTM" + yymmdd of `date` ("%y%m%d").
std::string dayPrefix(const CalendarDate& date);

// Days in a month of the Gregorian calendar.
int daysInMonth(int year, int month);

// The months of the displayed range (at most four) and their day ranges: the first month from the
// first shown day, the next two whole, a fourth up to the last shown day.
std::vector<MonthSpan> monthSpans(const DisplayedRange& range);

// Searches the selected stopwatch's folder for the runs of the day `prefix` ("QTMyymmdd"): names
// matching prefix + "*.csv" regardless of case that are regular files and contain,
// case-sensitively, prefix + "_" + hour 00-23 + minute 00-59. Listing mode reads each run into the
// page's cell store (ordinal from 1, counting runs read) and appends its path to runPaths(), in
// folder order. Returns true when a run was found (Existence) or listed (Listing).
bool findRunsOfDay(FileSystem& fs, CataloguePage& page, const std::string& prefix, SearchMode mode);

// Lists the runs of `selectedDate`. Returns true when at least one run was listed.
bool listRunsOfDay(FileSystem& fs, CataloguePage& page, const CalendarDate& selectedDate);

// Hands the page one mask per displayed month, computed from a single scan of the folder (the same
// masks as one existence search per day). All zero while no stopwatch is registered; nothing at all
// unless the calendar is in month view. Returns the masks handed over.
std::vector<std::uint32_t> computeDayMasks(FileSystem& fs, CataloguePage& page);

// The day masks by one existence search per day of the displayed range: the reference that
// computeDayMasks() must agree with. Does not hand them to the page.
std::vector<std::uint32_t> dayMasksByDaySearch(FileSystem& fs, CataloguePage& page);

// True when `path` is a regular file that another program does not hold exclusively, so it can be
// opened for reading.
bool isReadableRun(FileSystem& fs, const std::string& path);

// The same for an entry of a listing of `folder` (ending in '/'): its kind is taken from the
// listing.
bool isReadableListedRun(FileSystem& fs, const std::string& folder, const FolderEntry& entry);

// True when `name` contains, case-sensitively, `prefix` + "_" + hour 00-23 + minute 00-59: the day
// pattern prefix + "_([0-1][0-9]|2[0-3])([0-5][0-9])" searched anywhere in the name.
bool containsRunOfDay(std::string_view name, std::string_view prefix);
// A memo rewrite's "_bak.csv" copy (left behind when the program ended mid-rewrite): no run.
bool isMemoBackupName(std::string_view name);

// A run file's name that a day search can find, as the day it belongs to: "QTMyymmdd" (its first
// nine characters with "QTM" in upper case) when the name ends in ".csv" in any case, contains that
// prefix + "_" + hour + minute, and is no memo backup; "" otherwise. Every list of a folder's runs
// counts exactly these names.
std::string runDayKey(const std::string& name);

// One zero mask per displayed month.
std::vector<std::uint32_t> emptyDayMasks(const DisplayedRange& range);

// Deletes a run file: offers it to `discard` first (it keeps its attributes there), otherwise
// clears its read-only attribute and deletes it. A file in use by another program is refused
// before anything is touched. Window thread, worker paused.
FsStatus deleteRunFile(FileSystem& fs, const std::string& path, const PathDiscard& discard = {});

}  // namespace lapdex
