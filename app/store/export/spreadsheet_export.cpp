// runs.csv and laps.csv.
#include "spreadsheet_export.h"

#include "csv_text.h"
#include "export_times.h"
#include "spreadsheet_texts.h"

namespace lapdex {
namespace {

std::string numberOrEmpty(int value, bool known) {
    return known ? std::to_string(value) : std::string();
}

std::vector<std::string> header(std::initializer_list<const texts::Text*> columns,
                                texts::Language language, bool pcColumn) {
    std::vector<std::string> fields;
    for (const texts::Text* column : columns) fields.push_back(csvTextField(column->in(language)));
    if (pcColumn) fields.push_back(csvTextField(spreadsheet_text::kPc.in(language)));
    return fields;
}

}  // namespace

std::string exportOwnPcLabel(const std::string& ownPcLabel, texts::Language language) {
    return ownPcLabel.empty() ? std::string(spreadsheet_text::kThisPc.in(language)) : ownPcLabel;
}

std::string runsCsv(const std::vector<ExportRun>& runs, texts::Language language,
                    const std::string& ownPcLabel) {
    using namespace spreadsheet_text;
    const bool pcColumn = hasClubRuns(runs);
    const std::string ownLabel = exportOwnPcLabel(ownPcLabel, language);
    std::string text(kUtf8ByteOrderMark);
    text +=
        csvLine(header({&kTabName, &kSerial, &kStart, &kLapCount, &kTotalSeconds, &kBestSeconds,
                        &kBestNumber, &kAverageSeconds, &kMemo, &kFile, &kTotal, &kBest, &kAverage},
                       language, pcColumn));
    for (const ExportRun& r : runs) {
        const RunDetails& run = r.run;
        std::vector<std::string> fields{
            csvTextField(r.tabName),
            csvTextField(r.serialText),
            csvTextField(exportStartText(run.start)),
            numberOrEmpty(run.lapCount, true),
            csvNumberField(exportSeconds(run.totalCs)),
            csvNumberField(exportSeconds(run.bestLapCs)),
            numberOrEmpty(run.bestLapNumber, run.bestLapNumber > 0),
            csvNumberField(exportSeconds(run.averageLapCs)),
            csvTextField(run.memo),
            csvTextField(r.relativePath),
            csvTextField(exportDisplayTime(run.totalCs, run.timeFormat)),
            csvTextField(exportDisplayTime(run.bestLapCs, run.timeFormat)),
            csvTextField(exportDisplayTime(run.averageLapCs, run.timeFormat)),
        };
        if (pcColumn) fields.push_back(csvTextField(exportPcText(r, ownLabel)));
        text += csvLine(fields);
    }
    return text;
}

std::string lapsCsv(const std::vector<ExportRun>& runs, texts::Language language,
                    const std::string& ownPcLabel) {
    using namespace spreadsheet_text;
    const bool pcColumn = hasClubRuns(runs);
    const std::string ownLabel = exportOwnPcLabel(ownPcLabel, language);
    std::string text(kUtf8ByteOrderMark);
    text += csvLine(header({&kTabName, &kSerial, &kStart, &kLapNumber, &kLapSeconds, &kSplitSeconds,
                            &kLapMemo, &kLap, &kSplit},
                           language, pcColumn));
    for (const ExportRun& r : runs) {
        const std::string tab = csvTextField(r.tabName);
        const std::string serial = csvTextField(r.serialText);
        const std::string start = csvTextField(exportStartText(r.run.start));
        for (const LapDetails& lap : r.run.laps) {
            std::vector<std::string> fields{
                tab,
                serial,
                start,
                std::to_string(lap.number),
                csvNumberField(exportSeconds(lap.lapCs)),
                csvNumberField(exportSeconds(lap.splitCs)),
                csvTextField(lap.memo),
                csvTextField(exportDisplayTime(lap.lapCs, r.run.timeFormat)),
                csvTextField(exportDisplayTime(lap.splitCs, r.run.timeFormat))};
            if (pcColumn) fields.push_back(csvTextField(exportPcText(r, ownLabel)));
            text += csvLine(fields);
        }
    }
    return text;
}

}  // namespace lapdex
