// Writing runs as a TCX document.
#include "tcx_export.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>

#include "export_times.h"

namespace lapdex {
namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<TrainingCenterDatabase"
    " xmlns=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xsi:schemaLocation=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2"
    " http://www.garmin.com/xmlschemas/TrainingCenterDatabasev2.xsd\">\n"
    "  <Activities>\n";
constexpr const char* kTail = "  </Activities>\n</TrainingCenterDatabase>\n";

// "YYYY-MM-DDTHH:MM:SS" as the fields of a local time; nullopt when the text is not of that form.
std::optional<std::tm> localStart(const std::string& iso) {
    std::tm t{};
    char sep = 0;
    if (std::sscanf(iso.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d", &t.tm_year, &t.tm_mon, &t.tm_mday,
                    &sep, &t.tm_hour, &t.tm_min, &t.tm_sec) != 7 ||
        sep != 'T') {
        return std::nullopt;
    }
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    t.tm_isdst = -1;
    return t;
}

// xsd:dateTime in UTC of `seconds` since the epoch plus `hundredths` and `millis`.
std::string utcText(std::int64_t seconds, std::int64_t hundredths, int millis) {
    const std::int64_t totalMs = seconds * 1000 + hundredths * 10 + millis;
    const std::time_t whole = static_cast<std::time_t>(totalMs / 1000);
    std::tm utc{};
    ::gmtime_r(&whole, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    std::string out = text;
    if (totalMs % 1000 != 0) {
        std::snprintf(text, sizeof text, ".%03d", static_cast<int>(totalMs % 1000));
        out += text;
    }
    return out + "Z";
}

// The Creator's unit id: the serial's low 32 bits (the schema's UnitId is an unsignedInt).
unsigned long unitIdOf(const std::string& serialText) {
    const std::string low =
        serialText.size() > 8 ? serialText.substr(serialText.size() - 8) : serialText;
    char* end = nullptr;
    const unsigned long id = std::strtoul(low.c_str(), &end, 16);
    return end && *end == '\0' ? id : 0;
}

void appendLap(std::string& out, const LapDetails& lap, std::int64_t startSeconds,
               std::int64_t lapStartCs) {
    out += "      <Lap StartTime=\"" + utcText(startSeconds, lapStartCs, 0) + "\">\n";
    out += "        <TotalTimeSeconds>" + exportSeconds(lap.lapCs < 0 ? 0 : lap.lapCs) +
           "</TotalTimeSeconds>\n";
    out += "        <DistanceMeters>0</DistanceMeters>\n";
    out += "        <Calories>0</Calories>\n";
    out += "        <Intensity>Active</Intensity>\n";
    out += "        <TriggerMethod>Manual</TriggerMethod>\n";
    if (!lap.memo.empty()) out += "        <Notes>" + xmlText(lap.memo) + "</Notes>\n";
    out += "      </Lap>\n";
}

void appendCreator(std::string& out, const ExportRun& run) {
    out += "      <Creator xsi:type=\"Device_t\">\n";
    out += "        <Name>K7X Stopwatch " + xmlText(run.serialText) + "</Name>\n";
    out += "        <UnitId>" + std::to_string(unitIdOf(run.serialText)) + "</UnitId>\n";
    out += "        <ProductID>0</ProductID>\n";
    out +=
        "        <Version>\n          <VersionMajor>1</VersionMajor>\n"
        "          <VersionMinor>0</VersionMinor>\n        </Version>\n";
    out += "      </Creator>\n";
}

}  // namespace

std::optional<std::int64_t> systemLocalToUtc(const std::tm& local) {
    std::tm copy = local;
    const std::time_t t = std::mktime(&copy);
    if (t == static_cast<std::time_t>(-1)) return std::nullopt;
    return static_cast<std::int64_t>(t);
}

std::string tcxDocument(const std::vector<ExportRun>& runs, const LocalToUtc& toUtc) {
    std::string out = kHead;
    std::set<std::string> ids;
    for (const ExportRun& r : runs) {
        const std::optional<std::tm> local = localStart(r.run.start);
        const std::optional<std::int64_t> seconds = local ? toUtc(*local) : std::nullopt;
        if (!seconds || r.run.laps.empty()) continue;  // an Activity needs an Id and a Lap
        std::string id;
        for (int millis = 0; millis < 1000; ++millis) {
            id = utcText(*seconds, 0, millis);
            if (ids.insert(id).second) break;
        }
        out += "    <Activity Sport=\"Other\">\n      <Id>" + id + "</Id>\n";
        std::int64_t lapStartCs = 0;
        for (const LapDetails& lap : r.run.laps) {
            appendLap(out, lap, *seconds, lapStartCs);
            if (lap.splitCs >= 0) lapStartCs = lap.splitCs;
        }
        // TCX has no athlete element: the notes a training log shows name the athlete first.
        const std::string notes = r.run.memo.empty()  ? r.tabName
                                  : r.tabName.empty() ? r.run.memo
                                                      : r.tabName + "\n" + r.run.memo;
        if (!notes.empty()) out += "      <Notes>" + xmlText(notes) + "</Notes>\n";
        appendCreator(out, r);
        out += "    </Activity>\n";
    }
    return out + kTail;
}

std::string tcxRefusal(const ExportRun& run, const LocalToUtc& toUtc) {
    const std::optional<std::tm> local = localStart(run.run.start);
    if (!local || !toUtc(*local)) return "no start time for a TCX activity";
    return run.run.laps.empty() ? "no laps for a TCX activity" : "";
}

std::string tcxFileNameOf(const ExportRun& run) {
    std::string name = run.relativePath.substr(run.relativePath.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name + ".tcx";
}

std::string xmlText(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                if (u < 0x20 && c != '\t' && c != '\n') break;  // not allowed in XML 1.0
                out += c;
        }
    }
    return out;
}

}  // namespace lapdex
