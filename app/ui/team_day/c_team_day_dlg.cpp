// The team day window's controls, loading and following of downloads.
#include "c_team_day_dlg.h"

#include <QAction>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "compare_texts.h"
#include "engine/message_ids.h"
#include "message_event.h"
#include "print_texts.h"
#include "query_texts.h"
#include "team_day_texts.h"
#include "ui_text.h"

namespace lapdex::ui {

CTeamDayDlg::CTeamDayDlg(RunQueryWorker& queries, QWidget* parent)
    : QDialog(parent), queries_(queries) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    build();
    retranslate();
    resize(900, 420);
    reload();
}

void CTeamDayDlg::build() {
    model_ = new TeamDayModel(this);
    sorted_ = new TeamDaySortModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(TeamDayModel::kSortRole);
    table_ = new QTableView(this);
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(TeamDayModel::kStart, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setDefaultSectionSize(80);
    date_ = new QDateEdit(QDate::currentDate(), this);
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    laps_ = new QRadioButton(this);
    splits_ = new QRadioButton(this);
    laps_->setChecked(true);
    status_ = new QLabel(this);
    compare_ = new QPushButton(this);
    compare_->setEnabled(false);
    compare_->setAutoDefault(false);
    printButton_ = new QPushButton(this);
    printButton_->setAutoDefault(false);
    print_ = new QAction(this);
    print_->setShortcut(QKeySequence::Print);
    addAction(print_);
    dateLabel_ = new QLabel(this);
    dateLabel_->setBuddy(date_);
    auto* bar = new QHBoxLayout;
    bar->addWidget(dateLabel_);
    bar->addWidget(date_);
    bar->addSpacing(16);
    bar->addWidget(laps_);
    bar->addWidget(splits_);
    bar->addSpacing(16);
    bar->addWidget(compare_);
    bar->addWidget(printButton_);
    bar->addStretch();
    bar->addWidget(status_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(table_);
    connect(date_, &QDateEdit::dateChanged, this, [this] { reload(); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        compare_->setEnabled(comparable(table_->selectionModel()->selectedRows().size()));
    });
    connect(compare_, &QPushButton::clicked, this, &CTeamDayDlg::compareSelected);
    connect(printButton_, &QPushButton::clicked, this, &CTeamDayDlg::print);
    connect(print_, &QAction::triggered, this, &CTeamDayDlg::print);
    connect(laps_, &QRadioButton::toggled, this, [this](bool on) {
        model_->setTimes(on ? TeamDayModel::Times::Laps : TeamDayModel::Times::Splits);
    });
}

void CTeamDayDlg::retranslate() {
    setWindowTitle(ui::localized(team_day_text::kTitle));
    dateLabel_->setText(ui::localized(team_day_text::kDate));
    laps_->setText(ui::localized(team_day_text::kLaps));
    splits_->setText(ui::localized(team_day_text::kSplits));
    compare_->setText(ui::localized(compare_text::kCompareAction));
    printButton_->setText(ui::localized(team_day_text::kPrint));
    showStatus();
    model_->retranslate();
}

void CTeamDayDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    QDialog::changeEvent(event);
}

void CTeamDayDlg::showStatus() {
    status_->setToolTip(missedRunsText(missed_));
    switch (state_) {
        case State::CannotRead:
            status_->setText(ui::localized(query_text::kCannotRead));
            break;
        case State::Busy:
            status_->setText(ui::localized(query_text::kPreparing));
            break;
        case State::Shown:
            status_->setText(missed_.empty()
                                 ? ui::localized(team_day_text::kRunCount).arg(model_->rowCount())
                                 : ui::localized(query_text::kShownWithMissed)
                                       .arg(model_->rowCount())
                                       .arg(static_cast<qsizetype>(missed_.size())));
            break;
    }
}

void CTeamDayDlg::showDate(QDate date) {
    if (date == date_->date())
        reload();
    else
        date_->setDate(date);  // reloads
}

QDate CTeamDayDlg::date() const {
    return date_->date();
}

void CTeamDayDlg::reload() {
    const quint64 asked = ++generation_;
    const std::string date = date_->date().toString(Qt::ISODate).toStdString();
    // The day shown stays until the new one has come; the status line says it is being read.
    state_ = State::Busy;
    showStatus();
    queries_.ask<GatheredRuns>(
        this, [date](WindowRunSource& source) { return gatherDay(source, date); },
        [this, asked, date](GatheredRuns gathered) {
            if (asked == generation_) showDay(std::move(gathered), date);
        });
}

void CTeamDayDlg::showDay(GatheredRuns gathered, const std::string& date) {
    missed_ = std::move(gathered.missed);
    if (!gathered.answered) {
        model_->setDay(TeamDay{date, {}, 0});
        state_ = State::CannotRead;
        return showStatus();
    }
    model_->setDay(teamDayOf(gathered.runs, date));
    table_->resizeColumnsToContents();
    state_ = State::Shown;
    showStatus();
}

std::vector<RunRef> CTeamDayDlg::selectedRuns() const {
    QModelIndexList rows = table_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<RunRef> runs;
    for (const QModelIndex& row : rows) {
        const TeamDayRun& run =
            model_->day().runs[static_cast<std::size_t>(sorted_->mapToSource(row).row())];
        runs.push_back({run.folderName, run.fileName, run.tabName, run.start});
    }
    return runs;
}

void CTeamDayDlg::compareSelected() {
    const std::vector<RunRef> runs = selectedRuns();
    if (!comparable(runs.size())) return;
    if (!compareWindow_) compareWindow_ = new CCompareDlg(this);
    compareWindow_->compare(queries_, runs);
    compareWindow_->show();
    compareWindow_->raise();
}

Sheet CTeamDayDlg::sheet() const {
    const QString date = QString::fromStdString(model_->day().date).replace(u'-', u'/');
    return daySheet(ui::localized(print_text::kDayTitle).arg(date), model_->day());
}

void CTeamDayDlg::print() {
    // The day shown is printed, also while a newer one is being read; nothing before the first.
    if (model_->day().date.empty()) return;
    printSheet(this, sheet());
}

void CTeamDayDlg::followPage(QObject* page) {
    page->installEventFilter(this);
}

void CTeamDayDlg::runsDownloaded() {
    if (isVisible()) reload();
}

bool CTeamDayDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == MessageEvent::eventType() &&
        static_cast<MessageEvent*>(event)->id() == PAGE_DATA_CHANGED && isVisible()) {
        // After the page has taken the message: the index has the new files by then.
        QTimer::singleShot(0, this, [this] { reload(); });
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace lapdex::ui
