// The personal bests table of one stopwatch: one row per lap count with its best total and best
// lap, each with the start of the run that holds it.
#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <vector>

#include "personal_bests.h"

namespace lapdex::ui {

class BestsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column : int {
        kLapCount,
        kBestTotal,
        kTotalRun,
        kBestLap,
        kLapNumber,
        kLapRun,
        kColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setBests(PersonalBests bests);
    const PersonalBests& bests() const { return bests_; }
    // The lap count of each row, ascending.
    int lapCount(int row) const { return lapCounts_[static_cast<std::size_t>(row)]; }
    // The run behind a cell: the best total's for the lap count and total columns, the best lap's
    // for the lap columns; nullopt where the row has no such best.
    std::optional<RunRow> runAt(const QModelIndex& index) const;
    // Tells the views that headers are now in the language shown.
    void retranslate();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    // The best of `column`'s kind at `row`, nullptr when there is none.
    const BestTime* bestAt(int row, int column) const;

    PersonalBests bests_;
    std::vector<int> lapCounts_;
};

}  // namespace lapdex::ui
