// Day marks and day listing from the run index.
#include "indexed_catalogue.h"

namespace lapdex {

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
        const auto runs =
            index.runsBetween(folder, dayPrefix({span.year, span.month, span.firstDay}),
                              dayPrefix({span.year, span.month, span.lastDay}));
        if (!runs) return std::nullopt;
        for (const auto& [dayKey, name] : *runs) {
            const int day = (dayKey[7] - '0') * 10 + (dayKey[8] - '0');
            const std::uint32_t bit = 1U << (day - 1);
            if ((masks[n] & bit) != 0) continue;
            // Whether another program holds the file now is no fact an index can keep.
            if (isReadableListedRun(fs, folder, FolderEntry{name, EntryKind::File}))
                masks[n] |= bit;
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
