// Counts in k7x-tool's English output: "1 run", "2 runs", "0 runs".
#pragma once

#include <string>

namespace k7x {

inline std::string counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace k7x
