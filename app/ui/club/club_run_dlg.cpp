// The read-only view of another PC's run.
#include "club_run_dlg.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "club_texts.h"
#include "copy_as_text.h"
#include "run_texts.h"

namespace lapdex::ui {

ClubRunDlg::ClubRunDlg(QWidget* parent) : QDialog(parent) {
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    keptOn_ = new QLabel(this);
    keptOn_->setWordWrap(true);
    layout->addWidget(keptOn_);
    memoName_ = new QLabel(this);
    layout->addWidget(memoName_);
    memo_ = new QPlainTextEdit(this);
    memo_->setReadOnly(true);
    memo_->setMaximumHeight(fontMetrics().height() * 4);
    memoName_->setBuddy(memo_);
    layout->addWidget(memo_);
    laps_ = new QTableWidget(0, 4, this);
    laps_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    laps_->setSelectionBehavior(QAbstractItemView::SelectRows);
    laps_->verticalHeader()->hide();
    laps_->horizontalHeader()->setStretchLastSection(true);
    installCopyAsText(laps_, CopyRows::All);
    layout->addWidget(laps_, 1);
    resize(520, 480);
}

void ClubRunDlg::showRun(RunQueryWorker& queries, const RunRow& run) {
    row_ = run;
    details_ = run.run;
    details_.laps.clear();
    problem_.clear();
    loading_ = true;
    laps_->setRowCount(0);
    applyTexts();
    const quint64 asked = ++generation_;
    queries.ask<RunRead>(
        this, [run](WindowRunSource& source) { return source.readRunOf(run); },
        [this, asked](RunRead read) {
            if (asked == generation_) showRead(std::move(read));
        });
}

void ClubRunDlg::showRead(RunRead read) {
    loading_ = false;
    if (read.ok())
        details_ = std::move(read.run);
    else
        problem_ = QString::fromStdString(read.reason);
    applyTexts();
}

void ClubRunDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) applyTexts();
    QDialog::changeEvent(event);
}

void ClubRunDlg::applyTexts() {
    const QString pc = QString::fromStdString(row_.pc);
    setWindowTitle(localized(club_text::kRunTitle)
                       .arg(QString::fromStdString(row_.tabName), startText(row_.run.start), pc));
    QString kept = localized(club_text::kKeptOn).arg(pc);
    if (!problem_.isEmpty()) kept += u'\n' + localized(club_text::kCannotRead).arg(problem_);
    keptOn_->setText(kept);
    memoName_->setText(localized(club_text::kRunMemo));
    memo_->setPlainText(QString::fromStdString(details_.memo));
    QStringList headers;
    for (const Text& header : club_text::kLapHeaders) headers << localized(header);
    laps_->setHorizontalHeaderLabels(headers);
    laps_->setRowCount(static_cast<int>(details_.laps.size()));
    for (int i = 0; i < laps_->rowCount(); ++i) {
        const LapDetails& lap = details_.laps[static_cast<std::size_t>(i)];
        const QString cells[4] = {
            QString::number(lap.number), runTimeText(lap.lapCs, details_.timeFormat),
            runTimeText(lap.splitCs, details_.timeFormat), QString::fromStdString(lap.memo)};
        for (int c = 0; c < 4; ++c) laps_->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
}

}  // namespace lapdex::ui
