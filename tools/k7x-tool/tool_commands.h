// The commands of k7x-tool. Each prints its result to stdout, its failure to stderr, and
// returns the process exit status (0 only on success).
#pragma once

#include "invocation.h"

namespace k7x {

[[nodiscard]] int runReaders();
[[nodiscard]] int runInfo(const Invocation& invocation);
[[nodiscard]] int runDump(const Invocation& invocation);

}  // namespace k7x
