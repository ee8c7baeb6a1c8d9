#include "tab_model.h"

#include <algorithm>

namespace lapdex {

void TabModel::rebuild(const StopwatchRegistry& registry) {
    titles_.clear();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (registry.isInUse(slot)) titles_.push_back(registry.entry(slot).displayName);
    }
    if (titles_.empty()) titles_.emplace_back();
}

void TabModel::apply(const TabRequest& request) {
    if (request.kind == TabRequest::Kind::RenamePlaceholder && !titles_.empty()) {
        titles_[0] = request.name;
        return;
    }
    size_t at = std::min(static_cast<size_t>(std::max(request.position, 0)), titles_.size());
    titles_.insert(titles_.begin() + static_cast<std::ptrdiff_t>(at), request.name);
}

int TabModel::indexOf(std::string_view title) const {
    auto it = std::find(titles_.begin(), titles_.end(), title);
    return it == titles_.end() ? -1 : static_cast<int>(it - titles_.begin());
}

}  // namespace lapdex
