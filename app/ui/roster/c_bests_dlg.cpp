// The personal bests window.
#include "c_bests_dlg.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include "query_texts.h"
#include "roster_texts.h"

namespace lapdex::ui {

CBestsDlg::CBestsDlg(RunQueryWorker& queries, QWidget* parent)
    : QDialog(parent), queries_(queries), model_(new BestsModel(this)) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableView(this);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    status_ = new QLabel(this);
    layout->addWidget(status_);
    resize(720, 320);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& at) {
        if (const std::optional<RunRow> run = model_->runAt(at)) emit runActivated(*run);
    });
    retranslate();
}

void CBestsDlg::showStopwatch(const RunStopwatch& stopwatch) {
    if (stopwatch.folderName != stopwatch_.folderName || stopwatch.pc != stopwatch_.pc)
        model_->setBests({});
    stopwatch_ = stopwatch;
    retranslate();
    reload();
}

void CBestsDlg::reload() {
    const quint64 asked = ++generation_;
    state_ = State::Busy;
    showStatus();
    const std::string folder = stopwatch_.folderName;
    queries_.ask<SourceAnswer<std::vector<PersonalBests>>>(
        this, [folder](WindowRunSource& source) { return loadPersonalBests(source, folder); },
        [this, asked](SourceAnswer<std::vector<PersonalBests>> answer) {
            if (asked != generation_) return;
            // Each data folder with this folder name answers: the one of this stopwatch's PC.
            const PersonalBests* found = nullptr;
            if (answer.value)
                for (const PersonalBests& bests : *answer.value)
                    if (bests.stopwatch.pc == stopwatch_.pc && !found) found = &bests;
            const bool shown = found != nullptr;
            // A rename since it was asked shows in the title.
            if (shown) stopwatch_ = found->stopwatch;
            PersonalBests none;
            none.stopwatch = stopwatch_;
            model_->setBests(shown ? *found : none);
            table_->resizeColumnsToContents();
            state_ = shown ? State::Shown : State::CannotRead;
            retranslate();
        });
}

void CBestsDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    QDialog::changeEvent(event);
}

void CBestsDlg::retranslate() {
    QString name = QString::fromStdString(stopwatch_.tabName);
    // Two PCs may each have a stopwatch of this name: a club folder's is named with its PC.
    if (!stopwatch_.pc.empty())
        name += QStringLiteral(" (%1)").arg(QString::fromStdString(stopwatch_.pc));
    setWindowTitle(ui::localized(roster_text::kBestsTitle).arg(name));
    model_->retranslate();
    showStatus();
}

void CBestsDlg::showStatus() {
    switch (state_) {
        case State::CannotRead:
            return status_->setText(ui::localized(query_text::kCannotRead));
        case State::Busy:
            return status_->setText(ui::localized(query_text::kPreparing));
        case State::Shown:
            return status_->setText(ui::localized(roster_text::kLapCounts).arg(model_->rowCount()) +
                                    QStringLiteral("   ") + ui::localized(roster_text::kBestsHint));
    }
}

}  // namespace lapdex::ui
