// The All runs window's table: one row per run found in the run index, sortable by any column.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "run_index.h"

namespace lapdex::ui {

class RunTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column : int {
        kPc,  // the PC whose data folder holds the run
        kTabName,
        kStart,
        kLapCount,
        kTotal,
        kBestLap,
        kAverageLap,
        kMemo,
        kColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    // Replaces every row, keeping the current sort.
    void setRows(std::vector<RunRow> rows);
    const RunRow& run(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    // What the "PC" column shows for this PC's own runs; "" shows "このPC" / "This PC".
    void setOwnPcLabel(const QString& label);
    const QString& ownPcLabel() const { return ownPcLabel_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;
    // Tells the views that the headers are now in the language shown.
    void retranslate();

  private:
    void sortRows();

    std::vector<RunRow> rows_;
    QString ownPcLabel_;
    int sortColumn_ = kStart;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace lapdex::ui
