// The tab bar's order as the engine sees it: tab index -> title. The window mirrors it;
// the worker reads and extends it under the worker lock, never touching a widget.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "configuration.h"
#include "stopwatch_registry.h"

namespace lapdex {

class TabModel {
public:
    // One tab per slot in use, in ascending slot order; a single untitled placeholder tab
    // when no stopwatch is registered.
    void rebuild(const StopwatchRegistry& registry);
    // Carries out a registration's tab request.
    void apply(const TabRequest& request);
    // Index of the first tab titled `title`, or -1.
    int indexOf(std::string_view title) const;

    const std::vector<std::string>& titles() const { return titles_; }
    std::vector<std::string>& titles() { return titles_; }

private:
    std::vector<std::string> titles_{std::string()};
};

}  // namespace lapdex
