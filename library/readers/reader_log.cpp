#include "reader_log.h"

#include <cstdio>

#include "debug_log.h"

namespace rdcom32 {
namespace {

constexpr size_t kLineCapacity = 192;

}  // namespace

void writeOperationLine(const char* reader, const char* operation) {
    if (!logWriting()) return;
    char line[kLineCapacity];
    std::snprintf(line, sizeof line, "%s/%s", reader, operation);
    WriteLogLine(line);
}

void writeStepLine(const char* reader, const char* operation, const char* step, const char* phrase,
                   const char* suffix) {
    if (!logWriting()) return;
    char line[kLineCapacity];
    std::snprintf(line, sizeof line, "%s/%s/%s: %s%s", reader, operation, step, phrase, suffix);
    WriteLogLine(line);
}

}  // namespace rdcom32
