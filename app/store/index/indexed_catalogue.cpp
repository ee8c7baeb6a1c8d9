// Day marks and day listing from the run index.
#include "indexed_catalogue.h"

namespace lapdex {
namespace {

bool anyReadableRun(RunIndex& index, FileSystem& fs, const std::string& folder,
                    const std::string& dayKey) {
    const auto names = index.runsOfDay(folder, dayKey);
    if (!names) return false;
    for (const std::string& name : *names) {
        if (isReadableListedRun(fs, folder, FolderEntry{name, EntryKind::File})) return true;
    }
    return false;
}

}  // namespace

std::optional<std::vector<std::uint32_t>> indexedDayMasks(RunIndex& index, FileSystem& fs,
                                                          CataloguePage& page) {
    const DisplayedRange range = page.displayedRange();
    std::vector<std::uint32_t> masks = emptyDayMasks(range);
    if (page.registeredCount() == 0) return masks;
    const std::string folder = withTrailingSlash(page.stopwatchFolder());
    const std::vector<MonthSpan> spans = monthSpans(range);
    for (std::size_t n = 0; n < spans.size(); ++n) {
        const MonthSpan& span = spans[n];
        if (span.firstDay > span.lastDay) continue;
        const auto days =
            index.daysBetween(folder, dayPrefix({span.year, span.month, span.firstDay}),
                              dayPrefix({span.year, span.month, span.lastDay}));
        if (!days) return std::nullopt;
        for (const auto& [dayKey, first] : *days) {
            const int day = (dayKey[7] - '0') * 10 + (dayKey[8] - '0');
            // Whether another program holds a file now is no fact an index can keep: asked of the
            // day's first run, and of the others only when that one is held.
            if (isReadableListedRun(fs, folder, FolderEntry{first, EntryKind::File}) ||
                anyReadableRun(index, fs, folder, dayKey)) {
                masks[n] |= 1U << (day - 1);
            }
        }
    }
    return masks;
}

std::optional<bool> listIndexedRunsOfDay(RunIndex& index, FileSystem& fs, CataloguePage& page,
                                         const CalendarDate& date) {
    const std::string folder = withTrailingSlash(page.stopwatchFolder());
    const auto names = index.runsOfDay(folder, dayPrefix(date));
    if (!names) return std::nullopt;
    int listed = 0;
    for (const std::string& name : *names) {
        const std::string path = folder + name;
        if (readRunFile(fs, path, listed + 1, page.cellStore())) {
            ++listed;
            page.runPaths().push_back(path);
        }
    }
    return listed > 0;
}

std::vector<std::uint32_t> computeDayMasks(RunIndex* index, FileSystem& fs, CataloguePage& page) {
    if (index == nullptr) return computeDayMasks(fs, page);
    if (!page.showsMonthView()) return {};
    std::optional<std::vector<std::uint32_t>> masks = indexedDayMasks(*index, fs, page);
    if (!masks) return computeDayMasks(fs, page);
    page.setDayStates(*masks);
    return *masks;
}

bool listRunsOfDay(RunIndex* index, FileSystem& fs, CataloguePage& page, const CalendarDate& date) {
    if (index != nullptr) {
        if (const std::optional<bool> listed = listIndexedRunsOfDay(*index, fs, page, date))
            return *listed;
    }
    return listRunsOfDay(fs, page, date);
}

}  // namespace lapdex
