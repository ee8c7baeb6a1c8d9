// The team day table: one row per run of the day, one column per lap, then total, best and
// average; the fastest time of each lap column highlighted, the slowest marked, among the runs
// of the same lap count. A mark is a colour, a symbol before the time and a text for screen
// readers, so it never rests on colour alone.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QSortFilterProxyModel>
#include <map>
#include <vector>

#include "team_day.h"

namespace lapdex::ui {

// The symbols before the fastest and the slowest time of a column.
inline constexpr QChar kFastestSymbol{0x25B2};  // ▲
inline constexpr QChar kSlowestSymbol{0x25BC};  // ▼

// The symbol of a time's rank in its column (+1 fastest, -1 slowest); none for 0.
QChar markSymbol(int rank);

class TeamDayModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // The role that gives each cell's sort key: a time in hundredths (missing times after all
    // others), the tab name or the start.
    static constexpr int kSortRole = Qt::UserRole + 10;
    // The role that says how a time compares in its column: +1 fastest, -1 slowest, 0 neither.
    static constexpr int kRankRole = Qt::UserRole + 11;
    // The background of the fastest and the slowest time.
    static QColor fastestColour() { return {200, 240, 200}; }
    static QColor slowestColour() { return {250, 215, 210}; }
    enum FixedColumn : int { kTabName, kStart, kFirstLap };
    enum class Times { Laps, Splits };

    using QAbstractTableModel::QAbstractTableModel;

    void setDay(TeamDay day);
    const TeamDay& day() const { return day_; }
    void setTimes(Times times);
    Times times() const { return times_; }
    // The language changed: the headers and the marks' texts are told to the views again.
    void retranslate();
    // Columns after the laps.
    int totalColumn() const { return kFirstLap + day_.lapColumns; }
    int bestColumn() const { return totalColumn() + 1; }
    int averageColumn() const { return totalColumn() + 2; }
    // The "PC" column after the average, while shown; -1 otherwise.
    int pcColumn() const { return pcShown_ ? averageColumn() + 1 : -1; }
    // Shows the "PC" column (club folders are configured), naming this PC's runs `ownLabel`.
    void setPcColumn(bool shown, QString ownLabel);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    // The time in hundredths shown at (row, column), -1 for none.
    std::int64_t timeAt(int row, int column) const;
    int rankAt(int row, int column) const;
    void computeExtremes();

    TeamDay day_;
    bool severalDays_ = false;  // some run starts on another date than day_.date
    bool pcShown_ = false;
    QString ownPcLabel_;
    Times times_ = Times::Laps;
    // Runs are compared only with runs of the same lap count: per lap count, each lap column's
    // and the total's extremes.
    std::map<std::size_t, std::vector<ColumnExtremes>> extremes_;
    std::map<std::size_t, ColumnExtremes> totalExtremes_;
};

// The team day as the window shows it: sorted by kSortRole with missing times last in either
// order, so a sort by lap 8 lists first the runs that reached it; a marked time starts with its
// symbol and a space.
class TeamDaySortModel : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

}  // namespace lapdex::ui
