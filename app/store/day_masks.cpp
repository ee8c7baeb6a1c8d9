// The calendar's day masks from one scan of the stopwatch's folder.
#include <cctype>

#include "run_catalogue.h"

namespace lapdex {
namespace {

constexpr std::size_t kPrefixLength = 9;  // "QTM" + yymmdd

// The only day prefix whose wildcard search ("QTMyymmdd*.csv", any case) can return `name`:
// its first nine characters in upper case, when they are "QTM" and six digits.
bool candidatePrefix(const std::string& name, std::string& prefix, int& yy, int& mm, int& dd) {
    if (name.size() < kPrefixLength + 4) return false;
    prefix.assign(name, 0, kPrefixLength);
    for (std::size_t i = 0; i < 3; ++i) prefix[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(prefix[i])));
    if (prefix.compare(0, 3, "QTM") != 0) return false;
    for (std::size_t i = 3; i < kPrefixLength; ++i) {
        if (prefix[i] < '0' || prefix[i] > '9') return false;
    }
    const std::string_view ext = std::string_view(name).substr(name.size() - 4);
    if (ext[0] != '.') return false;
    for (std::size_t i = 1; i < 4; ++i) {
        if (std::tolower(static_cast<unsigned char>(ext[i])) != "csv"[i - 1]) return false;
    }
    auto twoDigits = [&](std::size_t at) { return (prefix[at] - '0') * 10 + (prefix[at + 1] - '0'); };
    yy = twoDigits(3);
    mm = twoDigits(5);
    dd = twoDigits(7);
    return true;
}

}  // namespace

std::vector<std::uint32_t> computeDayMasks(FileSystem& fs, CataloguePage& page) {
    if (!page.showsMonthView()) return {};
    const DisplayedRange range = page.displayedRange();
    std::vector<std::uint32_t> masks = emptyDayMasks(range);
    if (page.registeredCount() > 0) {
        const std::vector<MonthSpan> spans = monthSpans(range);
        const std::string folder = withTrailingSlash(page.stopwatchFolder());
        FolderListing listing = fs.listFolder(folder);
        std::string prefix;
        int yy = 0, mm = 0, dd = 0;
        for (const FolderEntry& entry : listing.entries) {
            if (entry.kind != EntryKind::File || isMemoBackupName(entry.name) ||
                !candidatePrefix(entry.name, prefix, yy, mm, dd)) {
                continue;
            }
            for (std::size_t n = 0; n < spans.size(); ++n) {
                const MonthSpan& span = spans[n];
                if (span.year % 100 != yy || span.month != mm || dd < span.firstDay || dd > span.lastDay) continue;
                const std::uint32_t bit = 1U << (dd - 1);
                if ((masks[n] & bit) != 0 || !containsRunOfDay(entry.name, prefix)) continue;
                if (isReadableListedRun(fs, folder, entry)) masks[n] |= bit;
            }
        }
    }
    page.setDayStates(masks);
    return masks;
}

}  // namespace lapdex
