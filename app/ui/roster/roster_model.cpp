// Rows and texts of the Roster table.
#include "roster_model.h"

#include <QColor>

#include "club_settings.h"
#include "club_texts.h"
#include "roster_texts.h"
#include "run_texts.h"

namespace lapdex::ui {
namespace {

// "2/5（2024/05/11）" with a mark for a low battery: the level and the day it was read.
QString batteryText(const RosterEntry& e) {
    if (e.batteryLevel == 0) return {};
    const QString day = QString::fromStdString(e.lastContact.substr(0, 10))
                            .replace(QLatin1Char('-'), QLatin1Char('/'));
    return ui::localized(roster_text::kBattery)
        .arg(e.batteryLevel)
        .arg(e.batteryLow() ? ui::localized(roster_text::kBatteryLow) : QString())
        .arg(day);
}

}  // namespace

void RosterModel::setEntries(std::vector<RosterEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

void RosterModel::setGroups(StopwatchGroups groups) {
    groups_ = std::move(groups);
    // Only the groups' column changes: the view keeps its selection.
    if (!entries_.empty()) emit dataChanged(index(0, kGroups), index(rowCount() - 1, kGroups));
}

void RosterModel::setPcColumn(bool shown, QString ownLabel) {
    const bool relabelled = ownLabel != ownPcLabel_;
    ownPcLabel_ = std::move(ownLabel);
    if (shown != pcShown_) {
        beginResetModel();
        pcShown_ = shown;
        endResetModel();
    } else if (relabelled && pcShown_ && !entries_.empty()) {
        emit dataChanged(index(0, kPc), index(rowCount() - 1, kPc));
    }
}

int RosterModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int RosterModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : pcShown_ ? kColumnCount : kPc;
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
    if (role == Qt::ToolTipRole && e.runs > 0 &&
        (index.column() == kBestLap || index.column() == kBestTotal))
        return ui::localized(roster_text::kUsualBest).arg(e.usualLapCount);
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
        case kPc:
            return pcText(e.stopwatch.pc, ownPcLabel_);
        case kGroups: {
            QStringList names;
            if (auto found = groups_.bySerial.find(e.stopwatch.serialText);
                found != groups_.bySerial.end())
                for (const std::string& name : found->second) names << QString::fromStdString(name);
            return names.join(QStringLiteral(", "));
        }
        default:
            return {};
    }
}

void RosterModel::retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    // The battery column's low mark is a text too.
    if (!entries_.empty()) emit dataChanged(index(0, kBattery), index(rowCount() - 1, kBattery));
}

QVariant RosterModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return {};
    return ui::localized(section == kPc ? club_text::kPcColumn : roster_text::kHeaders[section]);
}

}  // namespace lapdex::ui
