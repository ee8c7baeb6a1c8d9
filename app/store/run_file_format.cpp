// Run file names, time texts and the line layout.
#include "run_file_format.h"

#include <cstdio>

namespace lapdex {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kNote1 =
    "【注意1】本ファイルはデータ保護のため、読み取り専用となっております。";
constexpr const char* kNote2 = "【注意2】データ加工される場合は、別名で保存の上、作業して下さい。";
constexpr const char* kClockNote3 =
    "【注意3】1/10秒表示を1/100秒表示に切り替える場合は、セルの書式設定から表示形式を選択し、"
    "ユーザー定義の種類を「hh:mm:ss.00」にして下さい。";
constexpr const char* kSummaryHeader =
    "\"日付\",\"トータルタイム\",\"ラップ数\",\"ベストラップNo\",\"ベストラップタイム\","
    "\"平均ラップタイム\",\"メモ\"";
constexpr const char* kLapHeader = "\"ラップNo\",\"ラップ\",\"スプリット\",\"メモ\"";

// Empty memo: the line ends with the comma before it. Set memo: the quoted form after that comma.
void appendMemo(std::string& line, const std::string& memo) {
    line += ',';
    if (!memo.empty()) line += quoteMemo(memo);
}

std::string summaryLine(const RunRecord& record) {
    const TimeFormat format = record.timeFormat;
    std::string line = formatRunStart(record.start);
    line += ',' + formatRunTime(record.total, format);
    line += ',' + std::to_string(record.lapCount);
    line += ',' + std::to_string(record.bestLapNumber);
    line += ',' + formatRunTime(record.bestLap, format);
    line += ',' + formatRunTime(record.averageLap, format);
    appendMemo(line, record.memo);
    return line;
}

std::string lapLine(const LapEntry& lap, TimeFormat format) {
    std::string line = std::to_string(lap.number);
    line += ',' + formatRunTime(lap.lap, format);
    line += ',' + formatRunTime(lap.split, format);
    appendMemo(line, lap.memo);
    return line;
}

}  // namespace

std::string runFileName(const RunStart& start, const std::string& serialText) {
    char text[96];
    std::snprintf(text, sizeof text, "QTM%02d%02d%02d_%02d%02d%02d_", start.year % 100, start.month,
                  start.day, start.hour, start.minute, start.second);
    return text + serialText + ".csv";
}

std::string serialOfRunFileName(std::string_view name) {
    auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    constexpr std::size_t kSerialLength = 12;
    if (name.size() < 7) return "";
    std::string tail(name.substr(name.size() - 4));
    for (char& c : tail) c = lower(c);
    if (tail != ".csv" || lower(name[0]) != 'q' || lower(name[1]) != 't' || lower(name[2]) != 'm')
        return "";
    std::string_view body = name.substr(3, name.size() - 7);
    const std::size_t first = body.find('_');
    const std::size_t second = first == std::string_view::npos ? first : body.find('_', first + 1);
    if (second == std::string_view::npos || !digits(body.substr(0, first)) ||
        !digits(body.substr(first + 1, second - first - 1))) {
        return "";
    }
    std::string serial(body.substr(second + 1));
    if (serial.size() != kSerialLength) return "";
    for (char& c : serial) {
        c = lower(c);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return "";
    }
    return serial;
}

std::string formatRunTime(const RunTime& time, TimeFormat timeFormat) {
    char text[64];
    if (timeFormat == TimeFormat::DecimalMinute) {
        std::snprintf(text, sizeof text, "%03u.%03u", time.thousandths / 1000,
                      time.thousandths % 1000);
    } else {
        std::snprintf(text, sizeof text, "%02u:%02u:%02u.%02u", time.hours, time.minutes,
                      time.seconds, time.hundredths);
    }
    return text;
}

std::string formatRunStart(const RunStart& start) {
    char text[96];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d   %02d:%02d:%02d", start.year, start.month,
                  start.day, start.hour, start.minute, start.second);
    return text;
}

std::string quoteMemo(const std::string& memo) {
    std::string quoted = "\"";
    for (char c : memo) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    quoted += '"';
    return quoted;
}

std::string runFileText(const RunRecord& record) {
    std::string text;
    text.reserve(400 + 40 * record.laps.size());
    for (const char* line : {kNote1, kNote2}) text.append(line).append(kCrLf);
    if (record.timeFormat == TimeFormat::Clock) text += kClockNote3;
    text.append(kCrLf).append(kCrLf);
    text.append(kSummaryHeader).append(kCrLf);
    text.append(summaryLine(record)).append(kCrLf).append(kCrLf);
    text.append(kLapHeader).append(kCrLf);
    for (const LapEntry& lap : record.laps)
        text.append(lapLine(lap, record.timeFormat)).append(kCrLf);
    return text;
}

}  // namespace lapdex
