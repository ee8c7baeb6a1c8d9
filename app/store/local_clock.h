// The local wall clock, behind an interface so tests can fix the time.
#pragma once

#include <ctime>

namespace lapdex {

class LocalClock {
public:
    virtual ~LocalClock() = default;
    // The current local time (broken down, as localtime_r gives it). Thread-safe.
    virtual std::tm localNow() const = 0;
};

// The machine's clock and time zone.
class SystemLocalClock : public LocalClock {
public:
    std::tm localNow() const override {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        ::localtime_r(&now, &local);
        return local;
    }
};

}  // namespace lapdex
