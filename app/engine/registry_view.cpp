#include "registry_view.h"

namespace lapdex {

void RegistryView::publish(const StopwatchRegistry& registry, const TabModel& tabs) {
    std::vector<Slot> slots(kSlotCount);
    for (int i = 0; i < kSlotCount; ++i) {
        const StopwatchEntry& e = registry.entry(i);
        slots[static_cast<std::size_t>(i)] = {registry.isInUse(i), e.displayName, e.batteryLevel};
    }
    const int registered = registry.registeredCount();
    std::lock_guard<std::mutex> guard(lock_);
    slots_ = std::move(slots);
    titles_ = registered == 0 ? std::vector<std::string>{} : tabs.titles();
    registered_ = registered;
}

int RegistryView::find(std::string_view name) const {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].inUse && slots_[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

int RegistryView::batteryLevel(std::string_view name) const {
    std::lock_guard<std::mutex> guard(lock_);
    const int slot = find(name);
    return slot < 0 ? -1 : slots_[static_cast<std::size_t>(slot)].batteryLevel;
}

int RegistryView::slotOf(std::string_view name) const {
    std::lock_guard<std::mutex> guard(lock_);
    return find(name);
}

int RegistryView::registeredCount() const {
    std::lock_guard<std::mutex> guard(lock_);
    return registered_;
}

std::vector<std::string> RegistryView::tabTitles() const {
    std::lock_guard<std::mutex> guard(lock_);
    return titles_;
}

}  // namespace lapdex
