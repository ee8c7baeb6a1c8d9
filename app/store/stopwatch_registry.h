// The 100-slot stopwatch registry: which stopwatch (by serial text) lives in which slot, under
// which name.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace lapdex {

inline constexpr int kSlotCount = 100;
inline constexpr std::size_t kDisplayNameLimit = 20;  // characters kept of a loaded name

// One registry slot. Text is UTF-8.
struct StopwatchEntry {
    std::string serialText;   // 12 lower-case hex digits; "" when the slot is free
    std::string displayName;  // the tab's text
    int batteryLevel = 0;     // 0 = not read since start, 1 (lowest) to 5; never stored
};

// Plain data: no locks and no globals. The owner guards it (the window thread and the worker share
// it under the worker lock). Slot indexes run 0 to 99; the slot number is index + 1.
class StopwatchRegistry {
  public:
    // Precondition for every index argument: 0 <= index < kSlotCount (out-of-range reads as a free
    // slot).
    bool isInUse(int index) const;
    const StopwatchEntry& entry(int index) const;
    StopwatchEntry& entry(int index);

    // Lowest slot in use whose serial text equals `serialText` exactly, or -1.
    int findBySerial(std::string_view serialText) const;
    // Lowest slot in use whose display name equals `name` exactly, or -1. Free slots never match.
    int findByName(std::string_view name) const;
    // Number of slots in use.
    int registeredCount() const;
    // The slot a new stopwatch takes: 0 when none is registered; one past the highest slot in use
    // while the last slot is free; otherwise the lowest free slot. -1 when all 100 are in use.
    int chooseFreeSlot() const;
    // The same choice among the free slots that `usable` accepts: the slot chooseFreeSlot() names
    // when usable, else the next usable free slot after it (wrapping to slot 1); -1 when none is.
    int chooseFreeSlot(const std::function<bool(int)>& usable) const;

    void setBatteryLevel(int index, int level);

  private:
    std::array<StopwatchEntry, kSlotCount> slots_{};
};

bool isValidSlotIndex(int index);

}  // namespace lapdex
