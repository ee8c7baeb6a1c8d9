#include "stopwatch_registry.h"

namespace lapdex {

bool isValidSlotIndex(int index) {
    return index >= 0 && index < kSlotCount;
}

bool StopwatchRegistry::isInUse(int index) const {
    return isValidSlotIndex(index) && !slots_[static_cast<std::size_t>(index)].serialText.empty();
}

const StopwatchEntry& StopwatchRegistry::entry(int index) const {
    static const StopwatchEntry kFree{};
    return isValidSlotIndex(index) ? slots_[static_cast<std::size_t>(index)] : kFree;
}

StopwatchEntry& StopwatchRegistry::entry(int index) {
    return slots_.at(static_cast<std::size_t>(index));
}

int StopwatchRegistry::findBySerial(std::string_view serialText) const {
    for (int i = 0; i < kSlotCount; ++i) {
        if (isInUse(i) && slots_[static_cast<std::size_t>(i)].serialText == serialText) return i;
    }
    return -1;
}

int StopwatchRegistry::findByName(std::string_view name) const {
    for (int i = 0; i < kSlotCount; ++i) {
        if (isInUse(i) && slots_[static_cast<std::size_t>(i)].displayName == name) return i;
    }
    return -1;
}

int StopwatchRegistry::registeredCount() const {
    int count = 0;
    for (int i = 0; i < kSlotCount; ++i) count += isInUse(i) ? 1 : 0;
    return count;
}

int StopwatchRegistry::chooseFreeSlot() const {
    if (registeredCount() == 0) return 0;
    if (!isInUse(kSlotCount - 1)) {
        int highest = kSlotCount - 1;
        while (!isInUse(highest)) --highest;
        return highest + 1;
    }
    for (int i = 0; i < kSlotCount; ++i) {
        if (!isInUse(i)) return i;
    }
    return -1;
}

int StopwatchRegistry::chooseFreeSlot(const std::function<bool(int)>& usable) const {
    const int first = chooseFreeSlot();
    if (first < 0) return -1;
    for (int step = 0; step < kSlotCount; ++step) {
        const int slot = (first + step) % kSlotCount;
        if (!isInUse(slot) && (!usable || usable(slot))) return slot;
    }
    return -1;
}

void StopwatchRegistry::setBatteryLevel(int index, int level) {
    if (isValidSlotIndex(index)) slots_[static_cast<std::size_t>(index)].batteryLevel = level;
}

}  // namespace lapdex
