// Reading a time the user typed (a filter's bound): seconds or the forms the window shows.
#pragma once

#include <cstdint>
#include <string_view>

namespace lapdex {

struct [[nodiscard]] TimeEntry {
    enum class Outcome { Empty, Read, Unreadable };
    Outcome outcome = Outcome::Empty;
    std::int64_t hundredths = -1;  // when Read
    bool ok() const { return outcome == Outcome::Read; }
};

// Seconds ("75", "75.5"), "m:ss", "h:mm:ss", each with ".c" or ".cc", and the page's
// "hh:mm'ss\"cc". Full-width digits and marks count as their usual forms; spaces around are
// ignored. Minutes and seconds after the first field are below 60.
TimeEntry readTimeEntry(std::string_view text);

}  // namespace lapdex
