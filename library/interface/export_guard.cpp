#include "export_guard.h"

#include <cstdio>

namespace rdcom32 {

int writeBanner(const char* exportName) {
    if (!logWriting()) return 0;
    static constexpr const char* kRule = "--------------------------------------------------";
    char line[192];
    std::snprintf(line, sizeof line, "%s %s %s", kRule, exportName, kRule);
    return WriteLogLine(line);
}

}  // namespace rdcom32
