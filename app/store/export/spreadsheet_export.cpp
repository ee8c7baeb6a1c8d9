// runs.csv and laps.csv.
#include "spreadsheet_export.h"

#include "csv_text.h"
#include "export_times.h"

namespace lapdex {
namespace {

std::string numberOrEmpty(int value, bool known) {
    return known ? std::to_string(value) : std::string();
}

}  // namespace

std::string runsCsv(const std::vector<ExportRun>& runs) {
    std::string text(kUtf8ByteOrderMark);
    text += csvLine({"タブ名", "シリアル番号", "開始日時", "ラップ数", "トータルタイム(秒)",
                     "ベストラップ(秒)", "ベストラップNo", "平均ラップ(秒)", "メモ", "ファイル",
                     "トータルタイム", "ベストラップタイム", "平均ラップタイム"});
    for (const ExportRun& r : runs) {
        const IndexedRun& run = r.run;
        text += csvLine({
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
        });
    }
    return text;
}

std::string lapsCsv(const std::vector<ExportRun>& runs) {
    std::string text(kUtf8ByteOrderMark);
    text += csvLine({"タブ名", "シリアル番号", "開始日時", "ラップNo", "ラップ(秒)",
                     "スプリット(秒)", "ラップメモ", "ラップ", "スプリット"});
    for (const ExportRun& r : runs) {
        const std::string tab = csvTextField(r.tabName);
        const std::string serial = csvTextField(r.serialText);
        const std::string start = csvTextField(exportStartText(r.run.start));
        for (const IndexedLap& lap : r.run.laps) {
            text += csvLine({tab, serial, start, std::to_string(lap.number),
                             csvNumberField(exportSeconds(lap.lapCs)),
                             csvNumberField(exportSeconds(lap.splitCs)), csvTextField(lap.memo),
                             csvTextField(exportDisplayTime(lap.lapCs, r.run.timeFormat)),
                             csvTextField(exportDisplayTime(lap.splitCs, r.run.timeFormat))});
        }
    }
    return text;
}

}  // namespace lapdex
