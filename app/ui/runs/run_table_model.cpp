// Rows, texts and sorting of the All runs table.
#include "run_table_model.h"

#include <algorithm>
#include <tuple>

#include "club_settings.h"
#include "club_texts.h"
#include "run_texts.h"

namespace lapdex::ui {
namespace {

// Unread times (-1) sort after every time.
std::int64_t timeKey(std::int64_t hundredths) {
    return hundredths < 0 ? INT64_MAX : hundredths;
}

bool less(const RunRow& a, const RunRow& b, int column) {
    const auto tieBreak = [&] {
        return std::tie(a.run.start, a.folderName, a.fileName, a.pc) <
               std::tie(b.run.start, b.folderName, b.fileName, b.pc);
    };
    switch (column) {
        case RunTableModel::kPc:
            // This PC's own runs ("") come first.
            return a.pc != b.pc ? a.pc < b.pc : tieBreak();
        case RunTableModel::kTabName:
            return a.tabName != b.tabName ? a.tabName < b.tabName : tieBreak();
        case RunTableModel::kLapCount:
            return a.run.lapCount != b.run.lapCount ? a.run.lapCount < b.run.lapCount : tieBreak();
        case RunTableModel::kTotal:
            return a.run.totalCs != b.run.totalCs ? timeKey(a.run.totalCs) < timeKey(b.run.totalCs)
                                                  : tieBreak();
        case RunTableModel::kBestLap:
            return a.run.bestLapCs != b.run.bestLapCs
                       ? timeKey(a.run.bestLapCs) < timeKey(b.run.bestLapCs)
                       : tieBreak();
        case RunTableModel::kAverageLap:
            return a.run.averageLapCs != b.run.averageLapCs
                       ? timeKey(a.run.averageLapCs) < timeKey(b.run.averageLapCs)
                       : tieBreak();
        case RunTableModel::kMemo:
            return a.run.memo != b.run.memo ? a.run.memo < b.run.memo : tieBreak();
        default:
            return tieBreak();
    }
}

}  // namespace

void RunTableModel::setRows(std::vector<RunRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    sortRows();
    endResetModel();
}

int RunTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RunTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RunTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const RunRow& row = run(index.row());
    if (role == Qt::TextAlignmentRole) {
        const bool number =
            index.column() != kTabName && index.column() != kMemo && index.column() != kPc;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole) return {};
    const TimeFormat format = row.run.timeFormat;
    switch (index.column()) {
        case kPc:
            return pcText(row.pc,
                          ownPcLabel_.isEmpty() ? localized(club_text::kThisPc) : ownPcLabel_);
        case kTabName:
            return QString::fromStdString(row.tabName);
        case kStart:
            return startText(row.run.start);
        case kLapCount:
            return row.run.lapCount;
        case kTotal:
            return runTimeText(row.run.totalCs, format);
        case kBestLap:
            return runTimeText(row.run.bestLapCs, format);
        case kAverageLap:
            return runTimeText(row.run.averageLapCs, format);
        case kMemo:
            return QString::fromStdString(row.run.memo);
        default:
            return {};
    }
}

QVariant RunTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return {};
    if (section == kPc) return ui::localized(club_text::kPcColumn);
    return ui::localized(run_text::kHeaders[section - kTabName]);
}

void RunTableModel::setOwnPcLabel(const QString& label) {
    if (label == ownPcLabel_) return;
    ownPcLabel_ = label;
    if (!rows_.empty()) emit dataChanged(index(0, kPc), index(rowCount() - 1, kPc));
}

void RunTableModel::retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void RunTableModel::sort(int column, Qt::SortOrder order) {
    beginResetModel();
    sortColumn_ = column;
    sortOrder_ = order;
    sortRows();
    endResetModel();
}

void RunTableModel::sortRows() {
    const int column = sortColumn_;
    if (sortOrder_ == Qt::AscendingOrder) {
        std::stable_sort(rows_.begin(), rows_.end(),
                         [column](const auto& a, const auto& b) { return less(a, b, column); });
    } else {
        std::stable_sort(rows_.begin(), rows_.end(),
                         [column](const auto& a, const auto& b) { return less(b, a, column); });
    }
}

}  // namespace lapdex::ui
