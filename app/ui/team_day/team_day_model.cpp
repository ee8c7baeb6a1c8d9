// The team day table's cells, highlights and sort keys.
#include "team_day_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>
#include <limits>

#include "club_settings.h"
#include "club_texts.h"
#include "run_texts.h"
#include "team_day_texts.h"
#include "ui_text.h"

namespace lapdex::ui {

QChar markSymbol(int rank) {
    return rank > 0 ? kFastestSymbol : rank < 0 ? kSlowestSymbol : QChar();
}

void TeamDayModel::setDay(TeamDay day) {
    beginResetModel();
    day_ = std::move(day);
    severalDays_ = std::any_of(day_.runs.begin(), day_.runs.end(), [this](const TeamDayRun& r) {
        return r.start.compare(0, 10, day_.date) != 0;
    });
    computeExtremes();
    endResetModel();
}

void TeamDayModel::setPcColumn(bool shown, QString ownLabel) {
    const bool relabelled = ownLabel != ownPcLabel_;
    ownPcLabel_ = std::move(ownLabel);
    if (shown != pcShown_) {
        beginResetModel();
        pcShown_ = shown;
        endResetModel();
    } else if (relabelled && pcShown_ && rowCount() > 0) {
        // Only the column's texts change: the view keeps its selection and sort.
        emit dataChanged(index(0, pcColumn()), index(rowCount() - 1, pcColumn()));
    }
}

void TeamDayModel::setTimes(Times times) {
    if (times == times_) return;
    beginResetModel();
    times_ = times;
    computeExtremes();
    endResetModel();
}

void TeamDayModel::computeExtremes() {
    extremes_.clear();
    const bool splits = times_ == Times::Splits;
    // A 4-lap repetition and a 10-lap one are different work: their laps are not compared.
    std::map<std::size_t, TeamDay> byLapCount;
    for (const TeamDayRun& run : day_.runs) byLapCount[run.lapsCs.size()].runs.push_back(run);
    totalExtremes_.clear();
    for (const auto& [laps, group] : byLapCount) {
        std::vector<ColumnExtremes>& columns = extremes_[laps];
        for (int lap = 0; lap < static_cast<int>(laps); ++lap)
            columns.push_back(lapColumnExtremes(group, lap, splits));
        totalExtremes_[laps] = totalColumnExtremes(group);
    }
}

void TeamDayModel::retranslate() {
    const int columns = columnCount();
    if (columns == 0) return;
    emit headerDataChanged(Qt::Horizontal, 0, columns - 1);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columns - 1),
                         {Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

int TeamDayModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(day_.runs.size());
}

int TeamDayModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (pcShown_ ? pcColumn() : averageColumn()) + 1;
}

std::int64_t TeamDayModel::timeAt(int row, int column) const {
    const TeamDayRun& run = day_.runs[static_cast<std::size_t>(row)];
    if (column == totalColumn()) return run.totalCs;
    if (column == bestColumn()) return run.bestLapCs;
    if (column == averageColumn()) return run.averageLapCs;
    const std::size_t lap = static_cast<std::size_t>(column - kFirstLap);
    const std::vector<std::int64_t>& times = times_ == Times::Splits ? run.splitsCs : run.lapsCs;
    return lap < times.size() ? times[lap] : -1;
}

int TeamDayModel::rankAt(int row, int column) const {
    if (column < kFirstLap || column > totalColumn()) return 0;
    const std::int64_t time = timeAt(row, column);
    if (time < 0) return 0;
    const std::size_t laps = day_.runs[static_cast<std::size_t>(row)].lapsCs.size();
    const ColumnExtremes& e =
        column == totalColumn() ? totalExtremes_.at(laps)
                                : extremes_.at(laps)[static_cast<std::size_t>(column - kFirstLap)];
    // A column of one time (or of equal times) has nothing to compare: no marks.
    if (e.fastestCs == e.slowestCs) return 0;
    if (time == e.fastestCs) return 1;
    if (time == e.slowestCs) return -1;
    return 0;
}

QVariant TeamDayModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TeamDayRun& run = day_.runs[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    if (column == kTabName) {
        if (role == Qt::DisplayRole || role == kSortRole)
            return QString::fromStdString(run.tabName);
        return {};
    }
    if (column == pcColumn()) {
        if (role == Qt::DisplayRole || role == kSortRole) return pcText(run.pc, ownPcLabel_);
        return {};
    }
    if (column == kStart) {
        if (role == kSortRole) return QString::fromStdString(run.start);
        // Runs of several days (a chosen set on a sheet) show their dates too.
        if (role == Qt::DisplayRole)
            return severalDays_ ? startText(run.start) : QString::fromStdString(run.start).mid(11);
        return {};
    }
    const std::int64_t time = timeAt(index.row(), column);
    switch (role) {
        case Qt::DisplayRole:
            return runTimeText(time, run.timeFormat);
        case kSortRole:
            return static_cast<qlonglong>(time < 0 ? std::numeric_limits<qlonglong>::max() : time);
        case kRankRole:
            return rankAt(index.row(), column);
        case Qt::TextAlignmentRole:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::BackgroundRole: {
            const int rank = rankAt(index.row(), column);
            if (rank > 0) return QBrush(fastestColour());
            if (rank < 0) return QBrush(slowestColour());
            return {};
        }
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole: {
            const int rank = rankAt(index.row(), column);
            if (rank > 0) return ui::localized(team_day_text::kFastestMark);
            if (rank < 0) return ui::localized(team_day_text::kSlowestMark);
            return {};
        }
        default:
            return {};
    }
}

QVariant TeamDaySortModel::data(const QModelIndex& index, int role) const {
    const QVariant shown = QSortFilterProxyModel::data(index, role);
    if (role != Qt::DisplayRole) return shown;
    const QChar symbol = markSymbol(index.data(TeamDayModel::kRankRole).toInt());
    if (symbol.isNull()) return shown;
    return symbol + QStringLiteral(" ") + shown.toString();
}

bool TeamDaySortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    constexpr qlonglong kMissing = std::numeric_limits<qlonglong>::max();
    const QVariant l = left.data(TeamDayModel::kSortRole);
    const QVariant r = right.data(TeamDayModel::kSortRole);
    const bool leftMissing = l.typeId() == QMetaType::LongLong && l.toLongLong() == kMissing;
    const bool rightMissing = r.typeId() == QMetaType::LongLong && r.toLongLong() == kMissing;
    // The view reverses the order for a descending sort: a missing time must then count as less.
    if (leftMissing != rightMissing)
        return sortOrder() == Qt::DescendingOrder ? leftMissing : rightMissing;
    return QSortFilterProxyModel::lessThan(left, right);
}

QVariant TeamDayModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == kTabName) return ui::localized(team_day_text::kTabName);
    if (section == kStart) return ui::localized(team_day_text::kStart);
    if (section == totalColumn()) return ui::localized(team_day_text::kTotal);
    if (section == bestColumn()) return ui::localized(team_day_text::kBest);
    if (section == averageColumn()) return ui::localized(team_day_text::kAverage);
    if (section == pcColumn()) return ui::localized(club_text::kPcColumn);
    return ui::localized(team_day_text::kLap).arg(section - kFirstLap + 1);
}

}  // namespace lapdex::ui
