// Name matching and trailing-separator rules shared by every file-system caller.
#include "file_system.h"

#include <cctype>

namespace lapdex {

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    // Greedy match with one back-tracking point: linear in practice, no recursion.
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string withoutTrailingSlash(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    return std::string(folder);
}

std::string withTrailingSlash(std::string_view folder) {
    std::string result = withoutTrailingSlash(folder);
    if (result.empty()) return "./";
    if (result != "/") result += '/';
    return result;
}

}  // namespace lapdex
