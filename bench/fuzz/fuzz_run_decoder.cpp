// Fuzzes run data decoding: any bytes, both time formats; records must be consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "run_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65535) return 0;
    for (lapdex::TimeFormat format : {lapdex::TimeFormat::Clock, lapdex::TimeFormat::DecimalMinute}) {
        lapdex::decodeRunData(std::span(data, size), format, [](lapdex::RunRecord&& run) {
            if (run.laps.empty() || static_cast<int>(run.laps.size()) != run.lapCount) std::abort();
            if (run.bestLapNumber < 1 || run.bestLapNumber > run.lapCount) std::abort();
        });
    }
    return 0;
}
