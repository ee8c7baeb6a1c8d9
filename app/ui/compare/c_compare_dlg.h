// The comparison window: two to eight runs' laps as lines in one chart, with a legend naming each
// run by tab and start.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "compare_chart.h"
#include "run_index.h"

namespace lapdex::ui {

// One run to compare, as the index names it.
struct RunRef {
    std::string folderName;  // "QTM-01"
    std::string fileName;
    std::string tabName;  // UTF-8
    std::string start;    // "YYYY-MM-DDTHH:MM:SS"
};

// The series of `runs` with their laps from the index, in the given order; a run the index does
// not know (or cannot answer for now) is left out.
std::vector<CompareSeries> compareSeriesOf(RunIndex& index, const std::vector<RunRef>& runs);

// Whether `count` selected runs can be compared (two to eight).
inline bool comparable(std::size_t count) {
    return count >= 2 && count <= CompareChart::kMaxSeries;
}

class CCompareDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CCompareDlg(QWidget* parent);

    void setSeries(std::vector<CompareSeries> series);
    CompareChart* chart() const { return chart_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void retranslate();

    CompareChart* chart_;
};

}  // namespace lapdex::ui
