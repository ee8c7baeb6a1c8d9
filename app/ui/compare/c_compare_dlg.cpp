// The comparison window, the series it draws and the table of their times.
#include "c_compare_dlg.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

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
    layout->addWidget(chart_, 3);
    // The numbers behind the lines: a column per run, a row per lap, then the totals.
    table_ = new QTableWidget(this);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(table_, 2);
    missed_ = new QLabel(this);
    missed_->setWordWrap(true);
    missed_->hide();
    layout->addWidget(missed_);
    resize(760, 620);
}

void CCompareDlg::compare(RunQueryWorker& queries, const std::vector<RunRef>& runs) {
    std::vector<RunRow> rows;
    for (const RunRef& ref : runs) {
        RunRow row;
        row.folderName = ref.folderName;
        row.fileName = ref.fileName;
        row.tabName = ref.tabName;
        row.run.start = ref.start;
        row.pc = ref.pc;
        rows.push_back(std::move(row));
    }
    const quint64 asked = ++generation_;
    setSeries({});
    runs_.clear();
    fillTable();
    queries.ask<GatheredRuns>(
        this, [rows](WindowRunSource& source) { return gatherRuns(source, rows); },
        [this, asked](GatheredRuns gathered) {
            if (asked != generation_) return;
            if (!gathered.answered)
                gathered.missed.push_back({{}, MissedRun::Why::Unavailable, {}});
            setSeries(compareSeriesOf(gathered.runs));
            runs_ = std::move(gathered.runs);
            fillTable();
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
    if (table_) table_->setAccessibleName(ui::localized(compare_text::kTableName));
    if (missed_) showMissed();
    if (table_) fillTable();
}

void CCompareDlg::fillTable() {
    std::size_t laps = 0;
    for (const ExportRun& run : runs_) laps = std::max(laps, run.run.laps.size());
    table_->clear();
    table_->setColumnCount(static_cast<int>(runs_.size()));
    table_->setRowCount(runs_.empty() ? 0 : static_cast<int>(laps) + 1);
    QStringList rows;
    for (std::size_t lap = 1; lap <= laps; ++lap)
        rows << ui::localized(compare_text::kLapRow).arg(lap);
    rows << ui::localized(compare_text::kTotalRow);
    table_->setVerticalHeaderLabels(rows);
    for (int column = 0; column < table_->columnCount(); ++column) {
        const RunDetails& run = runs_[static_cast<std::size_t>(column)].run;
        table_->setHorizontalHeaderItem(
            column, new QTableWidgetItem(compareSeriesOf({runs_[std::size_t(column)]})[0].name));
        auto put = [&](int row, std::int64_t cs) {
            auto* item = new QTableWidgetItem(runTimeText(cs, run.timeFormat));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, item);
        };
        for (std::size_t lap = 0; lap < run.laps.size(); ++lap)
            put(static_cast<int>(lap), run.laps[lap].lapCs);
        put(static_cast<int>(laps), run.totalCs);
    }
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
