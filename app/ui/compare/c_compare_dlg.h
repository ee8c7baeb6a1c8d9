// The comparison window: two to eight runs' laps as lines in one chart, with a legend naming each
// run by tab and start, and below it a table of each run's lap times and total.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "compare_chart.h"
#include "run_gathering.h"
#include "run_query_worker.h"

class QLabel;
class QTableWidget;

namespace lapdex::ui {

// One run to compare, as the index names it.
struct RunRef {
    std::string folderName;  // "QTM-01"
    std::string fileName;
    std::string tabName;  // UTF-8
    std::string start;    // "YYYY-MM-DDTHH:MM:SS"
    std::string pc;       // "" this PC's data folder; else the club folder's label
};

// The series of `runs`, in their order, each named by tab and start.
std::vector<CompareSeries> compareSeriesOf(const std::vector<ExportRun>& runs);

// Whether `count` selected runs can be compared (two to eight).
inline bool comparable(std::size_t count) {
    return count >= 2 && count <= CompareChart::kMaxSeries;
}

class CCompareDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CCompareDlg(QWidget* parent);

    void setSeries(std::vector<CompareSeries> series);
    // Reads `runs` with their laps on the query worker and draws them when read; the runs that
    // could not be read are named under the chart. `queries` must outlive the window.
    void compare(RunQueryWorker& queries, const std::vector<RunRef>& runs);
    CompareChart* chart() const { return chart_; }
    // A column per run drawn, a row per lap and a last row of totals, as the page writes times.
    QTableWidget* table() const { return table_; }
    // Under the chart: which of the runs asked for are not drawn, and why; empty when all are.
    QLabel* missedNote() const { return missed_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void retranslate();
    void showMissed();
    void fillTable();

    CompareChart* chart_;
    QTableWidget* table_ = nullptr;
    std::vector<ExportRun> runs_;  // the runs drawn, with their laps
    QLabel* missed_ = nullptr;
    std::vector<MissedRun> missedRuns_;
    quint64 generation_ = 0;
};

}  // namespace lapdex::ui
