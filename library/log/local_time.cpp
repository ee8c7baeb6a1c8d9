#include "local_time.h"

namespace rdcom32 {
namespace {

bool systemLocalTime(std::tm* out) {
    const std::time_t now = std::time(nullptr);
#if defined(_WIN32)
    return localtime_s(out, &now) == 0;
#else
    return localtime_r(&now, out) != nullptr;
#endif
}

LocalTimeSource installedSource = &systemLocalTime;

}  // namespace

bool currentLocalTime(std::tm* out) {
    return installedSource(out);
}

void setLocalTimeSource(LocalTimeSource source) {
    installedSource = source != nullptr ? source : &systemLocalTime;
}

}  // namespace rdcom32
