// The calendar's day masks from one scan of the stopwatch's folder.
#include <cctype>
#include <map>
#include <regex>

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

// Day patterns are few (one per displayed day at most); build each once.
const std::regex& patternFor(std::map<std::string, std::regex>& cache, const std::string& prefix) {
    auto it = cache.find(prefix);
    if (it == cache.end()) {
        it = cache.emplace(prefix, std::regex(prefix + "_([0-1][0-9]|2[0-3])([0-5][0-9])",
                                              std::regex::ECMAScript)).first;
    }
    return it->second;
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
        std::map<std::string, std::regex> patterns;
        std::string prefix;
        int yy = 0, mm = 0, dd = 0;
        for (const FolderEntry& entry : listing.entries) {
            if (entry.kind != EntryKind::File || !candidatePrefix(entry.name, prefix, yy, mm, dd)) continue;
            for (std::size_t n = 0; n < spans.size(); ++n) {
                const MonthSpan& span = spans[n];
                if (span.year % 100 != yy || span.month != mm || dd < span.firstDay || dd > span.lastDay) continue;
                const std::uint32_t bit = 1U << (dd - 1);
                if ((masks[n] & bit) != 0 || !std::regex_search(entry.name, patternFor(patterns, prefix))) continue;
                if (isReadableRun(fs, folder + entry.name)) masks[n] |= bit;
            }
        }
    }
    page.setDayStates(masks);
    return masks;
}

}  // namespace lapdex
