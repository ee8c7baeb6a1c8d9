// Decoding of run data: headers, splits, lap times and the run statistics.
#include "run_decoder.h"

#include "run_times.h"

namespace lapdex {
namespace {

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kSplitSize = 4;

RunStart readStart(const std::uint8_t* header) {
    RunStart start;
    start.day = header[2];
    start.month = header[3];
    start.year = 2000 + header[4];
    start.second = header[5];
    start.minute = header[6];
    start.hour = header[7];
    return start;
}

RunTime readSplit(const std::uint8_t* entry, TimeFormat timeFormat) {
    RunTime split;
    split.hundredths = entry[0];
    split.seconds = entry[1];
    split.minutes = entry[2];
    split.hours = entry[3];
    if (timeFormat == TimeFormat::DecimalMinute) split.thousandths = toThousandths(split);
    return split;
}

// Fills laps, total, best lap and average from the n splits that follow a header (n >= 1).
RunRecord decodeRun(const std::uint8_t* header, std::size_t lapCount, TimeFormat timeFormat) {
    RunRecord record;
    record.start = readStart(header);
    record.timeFormat = timeFormat;
    record.lapCount = static_cast<int>(lapCount);
    record.laps.reserve(lapCount);
    const std::uint8_t* entry = header + kHeaderSize;
    RunTime previous;
    for (std::size_t i = 0; i < lapCount; ++i, entry += kSplitSize) {
        LapEntry lap;
        lap.number = static_cast<int>(i + 1);
        lap.split = readSplit(entry, timeFormat);
        lap.lap = lapTime(previous, lap.split, timeFormat);
        if (i == 0 || isFaster(lap.lap, record.bestLap, timeFormat)) {
            record.bestLapNumber = lap.number;
            record.bestLap = lap.lap;
        }
        previous = lap.split;
        record.laps.push_back(std::move(lap));
    }
    record.total = previous;
    record.averageLap = averageLapTime(record.total, static_cast<std::uint32_t>(lapCount), timeFormat);
    return record;
}

}  // namespace

TimeFormat timeFormatFromProductType(std::uint8_t productType) {
    return productType <= 1 ? TimeFormat::DecimalMinute : TimeFormat::Clock;
}

std::size_t decodeRunData(std::span<const std::uint8_t> runData, TimeFormat timeFormat,
                          const RunConsumer& consumer) {
    std::size_t handed = 0;
    std::size_t offset = 0;
    while (offset + kHeaderSize <= runData.size()) {
        const std::uint8_t* header = runData.data() + offset;
        const std::size_t lapCount = header[12] | (static_cast<std::size_t>(header[13]) << 8);
        const std::size_t end = offset + kHeaderSize + kSplitSize * lapCount;
        if (end > runData.size()) break;
        if (lapCount > 0) {
            consumer(decodeRun(header, lapCount, timeFormat));
            ++handed;
        }
        offset = end;
    }
    return handed;
}

}  // namespace lapdex
