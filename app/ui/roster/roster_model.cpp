// Rows and texts of the Roster table.
#include "roster_model.h"

#include <QColor>

#include "run_texts.h"

namespace lapdex::ui {
namespace {

const char* const kHeaders[RosterModel::kColumnCount] = {
    "ストップウオッチ", "シリアル番号", "走行数",         "最初の走行",     "最後の走行",
    "主なラップ数",     "ベストラップ", "ベストトータル", "最後の読み取り", "電池残量",
};

// "2/5（2024/05/11）", with " 低" for a low battery: the level and the day it was read.
QString batteryText(const RosterEntry& e) {
    if (e.batteryLevel == 0) return {};
    const QString day = QString::fromStdString(e.lastContact.substr(0, 10))
                            .replace(QLatin1Char('-'), QLatin1Char('/'));
    return QStringLiteral("%1/5%2（%3）")
        .arg(e.batteryLevel)
        .arg(e.batteryLow() ? QStringLiteral(" 低") : QString())
        .arg(day);
}

}  // namespace

void RosterModel::setEntries(std::vector<RosterEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

int RosterModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int RosterModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RosterModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const RosterEntry& e = entry(index.row());
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == kRuns ||
                            (index.column() >= kUsualLaps && index.column() <= kBestTotal);
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role == Qt::ForegroundRole && index.column() == kBattery && e.batteryLow())
        return QColor(Qt::red);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case kTabName:
            return QString::fromStdString(e.stopwatch.tabName);
        case kSerial:
            return QString::fromStdString(e.stopwatch.serialText);
        case kRuns:
            return e.runs;
        case kFirstRun:
            return startText(e.firstStart);
        case kLastRun:
            return startText(e.lastStart);
        case kUsualLaps:
            return e.runs > 0 ? QVariant(e.usualLapCount) : QVariant(QString());
        case kBestLap:
            return runTimeText(e.bestLapCs, e.timeFormat);
        case kBestTotal:
            return runTimeText(e.bestTotalCs, e.timeFormat);
        case kLastContact:
            return QString::fromStdString(e.lastContact)
                .replace(QLatin1Char('-'), QLatin1Char('/'));
        case kBattery:
            return batteryText(e);
        default:
            return {};
    }
}

QVariant RosterModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return {};
    return QString::fromUtf8(kHeaders[section]);
}

}  // namespace lapdex::ui
