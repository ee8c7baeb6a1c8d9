// A run file's cells gathered into the run index's entry for it.
#include "run_summary.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "run_file_reader.h"
#include "search_folding.h"

namespace lapdex {
namespace {

bool parseDigits(std::string_view text, std::int64_t& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

int parseInt(std::string_view text) {
    std::int64_t value = 0;
    return parseDigits(text, value) && value < 1000000 ? static_cast<int>(value) : 0;
}

// "2024/01/31   09:30:15" (any run of spaces between date and time) to "2024-01-31T09:30:15".
std::string isoStart(std::string_view text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%d/%d/%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6) return {};
    char iso[64];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02dT%02d:%02d:%02d", y, mo, d, h, mi, s);
    return iso;
}

class SummaryCells : public RunCellStore {
  public:
    explicit SummaryCells(RunDetails& run) : run_(run) {}
    void storeCell(int row, int column, const std::string& text, int) override {
        if (row == 0) return storeSummary(column, text);
        if (static_cast<std::size_t>(row) > run_.laps.size())
            run_.laps.resize(static_cast<std::size_t>(row));
        LapDetails& lap = run_.laps[static_cast<std::size_t>(row) - 1];
        switch (column) {
            case 0:
                lap.number = parseInt(text);
                break;
            case 1:
                lap.lapCs = runTimeHundredths(text);
                break;
            case 2:
                lap.splitCs = runTimeHundredths(text);
                break;
            case 3:
                lap.memo = text;
                break;
            default:
                break;
        }
    }

  private:
    void storeSummary(int column, const std::string& text) {
        switch (column) {
            case 0:
                run_.start = isoStart(text);
                break;
            case 1:
                run_.totalCs = runTimeHundredths(text);
                run_.timeFormat = text.find(':') == std::string::npos ? TimeFormat::DecimalMinute
                                                                      : TimeFormat::Clock;
                break;
            case 2:
                run_.lapCount = parseInt(text);
                break;
            case 3:
                run_.bestLapNumber = parseInt(text);
                break;
            case 4:
                run_.bestLapCs = runTimeHundredths(text);
                break;
            case 5:
                run_.averageLapCs = runTimeHundredths(text);
                break;
            case 6:
                run_.memo = text;
                break;
            default:
                break;
        }
    }
    RunDetails& run_;
};

}  // namespace

std::int64_t runTimeHundredths(std::string_view text) {
    const std::size_t point = text.rfind('.');
    if (point == std::string_view::npos) return -1;
    std::int64_t fraction = 0;
    const std::string_view fractionText = text.substr(point + 1);
    if (!parseDigits(fractionText, fraction)) return -1;
    const std::string_view whole = text.substr(0, point);
    if (whole.find(':') == std::string_view::npos) {
        std::int64_t minutes = 0;
        // Thousandths of a minute: 6 hundredths of a second each.
        if (fractionText.size() != 3 || !parseDigits(whole, minutes)) return -1;
        return (minutes * 1000 + fraction) * 6;
    }
    std::int64_t h = 0, m = 0, s = 0;
    const std::size_t c1 = whole.find(':');
    const std::size_t c2 = whole.find(':', c1 + 1);
    if (fractionText.size() != 2 || c2 == std::string_view::npos ||
        !parseDigits(whole.substr(0, c1), h) ||
        !parseDigits(whole.substr(c1 + 1, c2 - c1 - 1), m) ||
        !parseDigits(whole.substr(c2 + 1), s)) {
        return -1;
    }
    return ((h * 60 + m) * 60 + s) * 100 + fraction;
}

std::string secondsText(std::int64_t hundredths) {
    if (hundredths < 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(hundredths / 100),
                  static_cast<long long>(hundredths % 100));
    return text;
}

RunDetails summariseRunFile(std::string_view bytes) {
    RunDetails run;
    SummaryCells cells(run);
    readRunFileBytes(bytes, -1, cells);
    for (const LapDetails& lap : run.laps) {
        if (lap.lapCs > run.slowestLapCs) {
            run.slowestLapCs = lap.lapCs;
            run.slowestLapNumber = lap.number;
        }
    }
    return run;
}

std::string lapsText(const std::vector<LapDetails>& laps) {
    std::string text;
    for (const LapDetails& lap : laps) {
        text += std::to_string(lap.number) + ',' + std::to_string(lap.lapCs) + ',' +
                std::to_string(lap.splitCs) + ',';
        text += lap.memo;
        text += '\n';
    }
    return text;
}

std::vector<LapDetails> lapsFromText(std::string_view text) {
    std::vector<LapDetails> laps;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        LapDetails lap;
        std::int64_t fields[3] = {0, -1, -1};
        for (std::int64_t& field : fields) {
            const std::size_t comma = line.find(',');
            if (comma == std::string_view::npos) break;
            const std::string_view digits = line.substr(0, comma);
            std::int64_t value = -1;
            if (!digits.empty() && digits != "-1")
                std::from_chars(digits.data(), digits.data() + digits.size(), value);
            field = value;
            line.remove_prefix(comma + 1);
        }
        lap.number = static_cast<int>(fields[0]);
        lap.lapCs = fields[1];
        lap.splitCs = fields[2];
        lap.memo = std::string(line);
        laps.push_back(std::move(lap));
    }
    return laps;
}

std::string searchTextOf(const RunDetails& run) {
    std::string text = run.memo;
    for (const LapDetails& lap : run.laps) {
        if (lap.memo.empty()) continue;
        text += '\n';
        text += lap.memo;
    }
    return foldedForSearch(text);
}

}  // namespace lapdex
