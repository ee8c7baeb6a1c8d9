// The page's lap chart: fed from the lap rows, its selection kept the same as the lap list's.
#include <QTreeWidget>

#include "c_user_dialog.h"
#include "lap_chart.h"

namespace lapdex::ui {

QWidget* CUserDialog::stripBelow() {
    return chart_;
}

void CUserDialog::attachChart() {
    chart_ = new LapChart();
    chart_->setFont(font());
    connect(lapList_, &QTreeWidget::currentItemChanged, chart_, [this](QTreeWidgetItem* item) {
        chart_->setSelectedBar(item ? lapList_->indexOfTopLevelItem(item) : -1);
    });
    connect(chart_, &LapChart::barSelected, this, [this](int index) {
        QTreeWidgetItem* item = lapList_->topLevelItem(index);
        if (!item) return;
        lapList_->setCurrentItem(item);
        lapList_->scrollToItem(item);
    });
}

void CUserDialog::renderChart() {
    if (!chart_) return;
    std::vector<ChartBar> bars;
    bars.reserve(content_.laps.size());
    for (const LapRow& lap : content_.laps) bars.push_back({lap.lapCs, lap.lap, lap.memo});
    chart_->setBars(std::move(bars));
    QTreeWidgetItem* current = lapList_->currentItem();
    chart_->setSelectedBar(current ? lapList_->indexOfTopLevelItem(current) : -1);
}

}  // namespace lapdex::ui
