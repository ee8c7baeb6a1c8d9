// Typed times: fields split at ':' (or the page's ' and "), then checked and added up.
#include "time_entry.h"

#include <string>
#include <vector>

#include "search_folding.h"

namespace lapdex {
namespace {

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::int64_t number(std::string_view digits) {
    std::int64_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The hundredths of a fraction's digits (".5" is 50); -1 when there are more than two.
std::int64_t fractionHundredths(std::string_view digits) {
    if (digits.size() > 2 || !allDigits(digits)) return -1;
    return digits.size() == 1 ? number(digits) * 10 : number(digits);
}

}  // namespace

TimeEntry readTimeEntry(std::string_view text) {
    // NFKC makes full-width digits, colons and marks ASCII.
    std::string folded = foldedForSearch(trimmed(text));
    const std::string_view whole = trimmed(folded);
    if (whole.empty()) return {};
    const TimeEntry unreadable{TimeEntry::Outcome::Unreadable, -1};
    std::string normal(whole);
    // The page's form hh:mm'ss"cc reads as hh:mm:ss.cc.
    for (char& c : normal) {
        if (c == '\'') c = ':';
        if (c == '"') c = '.';
    }
    std::string_view rest = normal;
    std::int64_t cs = 0;
    if (const std::size_t dot = rest.find('.'); dot != std::string_view::npos) {
        cs = fractionHundredths(rest.substr(dot + 1));
        if (cs < 0) return unreadable;
        rest = rest.substr(0, dot);
    }
    std::vector<std::string_view> fields;
    for (std::size_t colon; (colon = rest.find(':')) != std::string_view::npos;) {
        fields.push_back(rest.substr(0, colon));
        rest.remove_prefix(colon + 1);
    }
    fields.push_back(rest);
    if (fields.size() > 3) return unreadable;
    std::int64_t seconds = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string_view f = fields[i];
        if (!allDigits(f) || (i > 0 && (f.size() > 2 || number(f) >= 60)) || f.size() > 9)
            return unreadable;
        seconds = seconds * 60 + number(f);
    }
    return {TimeEntry::Outcome::Read, seconds * 100 + cs};
}

}  // namespace lapdex
