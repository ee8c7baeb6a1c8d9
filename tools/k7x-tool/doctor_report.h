// The lines of `k7x-tool doctor`: one per check, each ending in OK, WARN or FAIL.
#pragma once

#include <string>
#include <vector>

namespace k7x {

enum class CheckStatus { Ok, Warn, Fail };

struct CheckLine {
    CheckStatus status = CheckStatus::Ok;
    std::string text;  // what was found and, unless OK, what to do about it
};

using CheckLines = std::vector<CheckLine>;

// "<text> ... OK" (or WARN, FAIL).
[[nodiscard]] std::string formatCheck(const CheckLine& line);
// True when no line failed: a download would work.
[[nodiscard]] bool allPassed(const CheckLines& lines);

}  // namespace k7x
