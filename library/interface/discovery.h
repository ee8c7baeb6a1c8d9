// Reader discovery and connection: the first PC/SC reader that a reader kind serves.
#pragma once

#include <cstdint>

#include "library_state.h"

namespace rdcom32 {

// Establishes a context, lists the readers, creates the reader object for the first one
// that a reader kind serves and connects to it. 1 when connected (state Open); 0 otherwise,
// with the reader list freed and the context released exactly once (state Ready).
[[nodiscard]] int32_t discoverAndConnect(LibraryState& state);

}  // namespace rdcom32
