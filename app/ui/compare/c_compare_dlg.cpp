// The comparison window and the series it draws.
#include "c_compare_dlg.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "compare_texts.h"
#include "run_texts.h"
#include "ui_text.h"

namespace lapdex::ui {

std::vector<CompareSeries> compareSeriesOf(const std::vector<ExportRun>& runs) {
    std::vector<CompareSeries> series;
    for (const ExportRun& run : runs) {
        CompareSeries s{
            QString::fromStdString(run.tabName) + QStringLiteral("  ") + startText(run.run.start),
            {}};
        for (const LapDetails& lap : run.run.laps) s.lapsCs.push_back(lap.lapCs);
        series.push_back(std::move(s));
    }
    return series;
}

CCompareDlg::CCompareDlg(QWidget* parent) : QDialog(parent), chart_(new CompareChart(this)) {
    retranslate();
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_);
    missed_ = new QLabel(this);
    missed_->setWordWrap(true);
    missed_->hide();
    layout->addWidget(missed_);
    resize(760, 420);
}

void CCompareDlg::compare(RunQueryWorker& queries, const std::vector<RunRef>& runs) {
    std::vector<RunRow> rows;
    for (const RunRef& ref : runs) {
        RunRow row;
        row.folderName = ref.folderName;
        row.fileName = ref.fileName;
        row.tabName = ref.tabName;
        row.run.start = ref.start;
        rows.push_back(std::move(row));
    }
    const quint64 asked = ++generation_;
    setSeries({});
    queries.ask<GatheredRuns>(
        this, [rows](WindowRunSource& source) { return gatherRuns(source, rows); },
        [this, asked](GatheredRuns gathered) {
            if (asked != generation_) return;
            if (!gathered.answered)
                gathered.missed.push_back({{}, MissedRun::Why::Unavailable, {}});
            setSeries(compareSeriesOf(gathered.runs));
            missedRuns_ = std::move(gathered.missed);
            showMissed();
        });
}

void CCompareDlg::showMissed() {
    missed_->setVisible(!missedRuns_.empty());
    if (missedRuns_.empty()) return missed_->clear();
    missed_->setText(ui::localized(compare_text::kNotDrawn) + u'\n' + missedRunsText(missedRuns_));
}

void CCompareDlg::retranslate() {
    setWindowTitle(ui::localized(compare_text::kTitle));
    chart_->setAccessibleName(ui::localized(compare_text::kChartName));
    if (missed_) showMissed();
}

void CCompareDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    QDialog::changeEvent(event);
}

void CCompareDlg::setSeries(std::vector<CompareSeries> series) {
    // A screen reader hears which runs the lines are.
    QStringList names;
    for (const CompareSeries& s : series) names << s.name;
    chart_->setAccessibleDescription(names.join(QStringLiteral(", ")));
    chart_->setSeries(std::move(series));
}

}  // namespace lapdex::ui
