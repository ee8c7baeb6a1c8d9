// Rows and texts of the personal bests table.
#include "bests_model.h"

#include <set>

#include "roster_texts.h"
#include "run_texts.h"

namespace lapdex::ui {

void BestsModel::setBests(PersonalBests bests) {
    beginResetModel();
    bests_ = std::move(bests);
    std::set<int> counts;
    for (const auto& [laps, best] : bests_.fastestTotal) counts.insert(laps);
    for (const auto& [laps, best] : bests_.fastestLapOfCount) counts.insert(laps);
    lapCounts_.assign(counts.begin(), counts.end());
    endResetModel();
}

const BestTime* BestsModel::bestAt(int row, int column) const {
    const bool lap = column == kBestLap || column == kLapNumber || column == kLapRun;
    const std::map<int, BestTime>& bests = lap ? bests_.fastestLapOfCount : bests_.fastestTotal;
    const auto found = bests.find(lapCount(row));
    return found == bests.end() ? nullptr : &found->second;
}

std::optional<RunRow> BestsModel::runAt(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rowCount()) return std::nullopt;
    const BestTime* best = bestAt(index.row(), index.column());
    // The lap count's own cell opens the best total's run, or the best lap's when it has no total.
    if (!best && index.column() == kLapCount) best = bestAt(index.row(), kBestLap);
    if (!best) return std::nullopt;
    RunRow row;
    row.folderName = bests_.stopwatch.folderName;
    row.serialText = bests_.stopwatch.serialText;
    row.tabName = bests_.stopwatch.tabName;
    row.fileName = best->fileName;
    row.pc = bests_.stopwatch.pc;
    row.run.start = best->start;
    return row;
}

int BestsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lapCounts_.size());
}

int BestsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant BestsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::TextAlignmentRole) {
        const bool text = index.column() == kTotalRun || index.column() == kLapRun;
        return QVariant::fromValue(Qt::AlignVCenter | (text ? Qt::AlignLeft : Qt::AlignRight));
    }
    if (role != Qt::DisplayRole) return {};
    if (index.column() == kLapCount) return lapCount(index.row());
    const BestTime* best = bestAt(index.row(), index.column());
    if (!best) return QString();
    switch (index.column()) {
        case kBestTotal:
        case kBestLap:
            return runTimeText(best->cs, bests_.timeFormat);
        case kLapNumber:
            return best->lapNumber;
        default:
            return startText(best->start);
    }
}

void BestsModel::retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

QVariant BestsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return {};
    return ui::localized(roster_text::kBestsHeaders[section]);
}

}  // namespace lapdex::ui
