// Time and date texts of the exports.
#include "export_times.h"

#include <cstdio>

#include "run_summary.h"

namespace lapdex {

std::string exportSeconds(std::int64_t hundredths) {
    return secondsText(hundredths);
}

std::string exportDisplayTime(std::int64_t hundredths, TimeFormat format) {
    if (hundredths < 0) return {};
    char text[64];
    const long long cs = hundredths;
    if (format == TimeFormat::DecimalMinute) {
        const long long thousandths = cs / 6;
        std::snprintf(text, sizeof text, "%03lld'%03lld", thousandths / 1000, thousandths % 1000);
    } else {
        std::snprintf(text, sizeof text, "%02lld:%02lld'%02lld\"%02lld", cs / 360000,
                      cs / 6000 % 60, cs / 100 % 60, cs % 100);
    }
    return text;
}

std::string exportStartText(const std::string& isoStart) {
    std::string text = isoStart;
    if (text.size() > 10 && text[10] == 'T') text[10] = ' ';
    return text;
}

std::string isoDateTimeText(const std::string& localTime) {
    std::string text = localTime;
    if (text.size() > 10 && text[10] == ' ') text[10] = 'T';
    return text;
}

}  // namespace lapdex
