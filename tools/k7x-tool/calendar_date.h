// The one check of a date typed on k7x-tool's command line.
#pragma once

#include <string>

namespace k7x {

// True for "YYYY-MM-DD" naming a day of the Gregorian calendar: 2024-02-29, but not 2023-02-29,
// 2024-02-30, 2024-13-01 or 2024-1-5.
[[nodiscard]] bool isCalendarDate(const std::string& text);

}  // namespace k7x
