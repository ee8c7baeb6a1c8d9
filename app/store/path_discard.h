// The hook through which a deletion first offers what it deletes to the desktop's trash.
#pragma once

#include <functional>
#include <string>

namespace lapdex {

// Moves `path` (a run file or a whole stopwatch folder) to where the user can get it back, such
// as the desktop's trash; true when nothing is left at `path`. False leaves it where it was, and
// the caller deletes it as it would without a trash. Called with the worker lock held; it never
// asks or tells the user. An empty function discards nothing.
using PathDiscard = std::function<bool(const std::string& path)>;

}  // namespace lapdex
