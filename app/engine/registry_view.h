// A copy of what the window shows of the registry (tab titles, names, battery levels), so that
// painting and page listings never wait for the worker lock.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "stopwatch_registry.h"
#include "tab_model.h"

namespace lapdex {

class RegistryView {
  public:
    // Copies names, battery levels and tab titles. Call it with the worker lock held, after every
    // change of the registry or the tab model. Thread-safe.
    void publish(const StopwatchRegistry& registry, const TabModel& tabs);

    // Battery level (0 to 5) of the first slot in use named `name`, or -1 when none is.
    int batteryLevel(std::string_view name) const;
    // The first slot in use named `name`, or -1.
    int slotOf(std::string_view name) const;
    int registeredCount() const;
    // Tab titles in tab order; empty while nothing is registered.
    std::vector<std::string> tabTitles() const;

  private:
    struct Slot {
        bool inUse = false;
        std::string name;
        int batteryLevel = 0;
    };
    int find(std::string_view name) const;

    // Held only while copying in or out, never around anything else.
    mutable std::mutex lock_;
    std::vector<Slot> slots_;
    std::vector<std::string> titles_;
    int registered_ = 0;
};

}  // namespace lapdex
