#include "page_cells.h"

#include "display_time.h"
#include "run_summary.h"

namespace lapdex::ui {

void PageCellStore::storeCell(int row, int column, const std::string& text, int ordinal) {
    const QString value = QString::fromStdString(text);
    if (row == 0 && column == 0) {
        if (ordinal != -1) content_.runLines.append(value);
        return;
    }
    if (ordinal != -1 && ordinal != selectedRun_ + 1) return;
    if (row == 0) storeSummary(column, value);
    else storeLap(row, column, value);
}

void PageCellStore::storeSummary(int column, const QString& text) {
    switch (column) {
    case 1: content_.texts[kTotalTime] = displayTime(text); break;
    case 2: content_.texts[kLapCount] = text; break;
    case 3: content_.texts[kBestLapNumber] = text; break;
    case 4: content_.texts[kBestLapTime] = displayTime(text); break;
    case 5: content_.texts[kAverageLapTime] = displayTime(text); break;
    case 6:
        content_.texts[kMemo] = text.left(kRunMemoShown);
        content_.runLoaded = true;
        break;
    default: break;
    }
}

void PageCellStore::storeLap(int row, int column, const QString& text) {
    const std::size_t index = static_cast<std::size_t>(row - 1);
    auto& laps = content_.laps;
    if (column == 0) {
        // A lap line inserts its row; rows arrive in order, so this appends.
        const std::size_t at = std::min(index, laps.size());
        laps.insert(laps.begin() + static_cast<std::ptrdiff_t>(at), LapRow{text, {}, {}, {}});
        return;
    }
    if (index >= laps.size()) return;
    switch (column) {
    case 1:
        laps[index].lap = displayTime(text);
        laps[index].lapCs = runTimeHundredths(text.toStdString());
        break;
    case 2: laps[index].split = displayTime(text); break;
    case 3: laps[index].memo = text.left(kLapMemoShown); break;
    default: break;
    }
}

}  // namespace lapdex::ui
