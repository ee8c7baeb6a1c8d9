// The Roster window's table: one row per registered stopwatch, from the run index.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "run_index.h"
#include "stopwatch_groups.h"

namespace lapdex::ui {

class RosterModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column : int {
        kTabName,
        kSerial,
        kRuns,
        kFirstRun,
        kLastRun,
        kUsualLaps,
        kBestLap,
        kBestTotal,
        kLastContact,
        kBattery,
        kGroups,
        kPc,  // only while club folders are configured (see setPcColumn)
        kColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(std::vector<RosterEntry> entries);
    void setGroups(StopwatchGroups groups);
    // Shows the "PC" column (club folders are configured), naming this PC's stopwatches
    // `ownLabel`; without it the table has the columns before kPc only.
    void setPcColumn(bool shown, QString ownLabel);
    const StopwatchGroups& groups() const { return groups_; }
    // Tells the views that headers and texts are now in the language shown.
    void retranslate();
    const RosterEntry& entry(int row) const { return entries_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<RosterEntry> entries_;
    StopwatchGroups groups_;
    QString ownPcLabel_;
    bool pcShown_ = false;
};

}  // namespace lapdex::ui
