// The library's one source of local wall-clock time, replaceable so tests can fix the clock.
#pragma once

#include <ctime>

namespace rdcom32 {

// Fills `out` with the current local time. Returns false when the platform gives none.
using LocalTimeSource = bool (*)(std::tm* out);

// The current local time through the installed source (the system clock by default).
[[nodiscard]] bool currentLocalTime(std::tm* out);

// Installs a source; null restores the system clock. Not thread-safe, like the library.
void setLocalTimeSource(LocalTimeSource source);

}  // namespace rdcom32
