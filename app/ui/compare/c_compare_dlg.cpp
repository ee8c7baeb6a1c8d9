// The comparison window and the series it draws.
#include "c_compare_dlg.h"

#include <QEvent>
#include <QVBoxLayout>

#include "compare_texts.h"
#include "run_texts.h"
#include "ui_text.h"

namespace lapdex::ui {

std::vector<CompareSeries> compareSeriesOf(RunIndex& index, const std::vector<RunRef>& runs) {
    std::vector<CompareSeries> series;
    for (const RunRef& ref : runs) {
        const std::optional<RunDetails> run = index.runWithLaps(ref.folderName, ref.fileName);
        if (!run) continue;
        CompareSeries s{
            QString::fromStdString(ref.tabName) + QStringLiteral("  ") + startText(ref.start), {}};
        for (const LapDetails& lap : run->laps) s.lapsCs.push_back(lap.lapCs);
        series.push_back(std::move(s));
    }
    return series;
}

CCompareDlg::CCompareDlg(QWidget* parent) : QDialog(parent), chart_(new CompareChart(this)) {
    retranslate();
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_);
    resize(760, 420);
}

void CCompareDlg::retranslate() {
    setWindowTitle(ui::localized(compare_text::kTitle));
}

void CCompareDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    QDialog::changeEvent(event);
}

void CCompareDlg::setSeries(std::vector<CompareSeries> series) {
    chart_->setSeries(std::move(series));
}

}  // namespace lapdex::ui
