// The All runs window: filters, the table and opening a run.
#include "c_all_runs_dlg.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include "club_texts.h"
#include "copy_as_text.h"
#include "engine/message_ids.h"
#include "language_follower.h"
#include "message_event.h"
#include "query_texts.h"
#include "run_texts.h"
#include "time_entry.h"

namespace lapdex::ui {
namespace {

constexpr int kFirstScreen = 200;  // rows fetched before the window shows any
constexpr int kTypingPauseMs = 150;

// A typed bound in hundredths; -1 (no bound) for an empty or unreadable text, which the field
// itself marks.
std::int64_t hundredthsOf(const QLineEdit* field) {
    const TimeEntry entry = readTimeEntry(field->text().toStdString());
    return entry.ok() ? entry.hundredths : -1;
}

bool unreadable(const QLineEdit* field) {
    return readTimeEntry(field->text().toStdString()).outcome == TimeEntry::Outcome::Unreadable;
}

std::vector<std::string> wordsOf(const QString& text) {
    std::vector<std::string> words;
    for (const QString& word :
         text.split(QRegularExpression(QStringLiteral("[\\s\\x{3000}]+")), Qt::SkipEmptyParts))
        words.push_back(word.toStdString());
    return words;
}

}  // namespace

CAllRunsDlg::CAllRunsDlg(RunQueryWorker& queries, QWidget* parent)
    : QDialog(parent), queries_(queries), model_(new RunTableModel(this)) {
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    buildFilters(grid);
    layout->addLayout(grid);
    table_ = new QTableView(this);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    installCopyAsText(table_, CopyRows::Selected);
    addRunActions();
    table_->setSortingEnabled(true);
    table_->sortByColumn(RunTableModel::kStart, Qt::AscendingOrder);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    status_ = new QLabel(this);
    layout->addWidget(status_);
    applyTexts();
    followLanguage(this, [this] { nameControls(); });
    resize(860, 520);
    typing_.setSingleShot(true);
    typing_.setInterval(kTypingPauseMs);
    connect(&typing_, &QTimer::timeout, this, &CAllRunsDlg::refresh);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& at) {
        if (at.isValid()) emit runActivated(model_->run(at.row()));
    });
}

void CAllRunsDlg::buildFilters(QGridLayout* grid) {
    dateOn_ = new QCheckBox(this);
    from_ = new QDateEdit(QDate::currentDate().addMonths(-1), this);
    to_ = new QDateEdit(QDate::currentDate(), this);
    for (QDateEdit* date : {from_, to_}) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    }
    stopwatch_ = new QComboBox(this);
    pc_ = new QComboBox(this);
    words_ = new QLineEdit(this);
    laps_ = new QSpinBox(this);
    laps_->setRange(0, 999);
    minTotal_ = new QLineEdit(this);
    maxTotal_ = new QLineEdit(this);
    auto label = [this](QWidget* buddy) {
        auto* l = new QLabel(this);
        l->setBuddy(buddy);
        return l;
    };
    for (QLabel*& dash : dashes_) dash = new QLabel(this);
    stopwatchLabel_ = label(stopwatch_);
    pcLabel_ = label(pc_);
    memoLabel_ = label(words_);
    lapsLabel_ = label(laps_);
    totalLabel_ = label(minTotal_);
    grid->addWidget(dateOn_, 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(dashes_[0], 0, 2);
    grid->addWidget(to_, 0, 3);
    grid->addWidget(stopwatchLabel_, 0, 4);
    grid->addWidget(stopwatch_, 0, 5);
    grid->addWidget(memoLabel_, 1, 0);
    grid->addWidget(words_, 1, 1, 1, 3);
    grid->addWidget(lapsLabel_, 1, 4);
    grid->addWidget(laps_, 1, 5);
    grid->addWidget(pcLabel_, 2, 4);
    grid->addWidget(pc_, 2, 5);
    grid->addWidget(totalLabel_, 2, 0);
    grid->addWidget(minTotal_, 2, 1);
    grid->addWidget(dashes_[1], 2, 2);
    grid->addWidget(maxTotal_, 2, 3);
    const auto changed = [this] { filtersChanged(); };
    connect(dateOn_, &QCheckBox::toggled, this, changed);
    connect(from_, &QDateEdit::dateChanged, this, changed);
    connect(to_, &QDateEdit::dateChanged, this, changed);
    connect(stopwatch_, &QComboBox::currentIndexChanged, this, changed);
    connect(pc_, &QComboBox::currentIndexChanged, this, [this] {
        fillStopwatchChoice();
        filtersChanged();
    });
    connect(words_, &QLineEdit::textChanged, this, changed);
    connect(laps_, &QSpinBox::valueChanged, this, changed);
    connect(minTotal_, &QLineEdit::textChanged, this, changed);
    connect(maxTotal_, &QLineEdit::textChanged, this, changed);
}

void CAllRunsDlg::showEvent(QShowEvent* event) {
    fillStopwatches();
    refresh();
    QDialog::showEvent(event);
}

void CAllRunsDlg::hideEvent(QHideEvent* event) {
    // A hidden window searches for nobody: it searches again when shown.
    typing_.stop();
    QDialog::hideEvent(event);
}

void CAllRunsDlg::followPage(QObject* page) {
    page->installEventFilter(this);
}

bool CAllRunsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == MessageEvent::eventType() &&
        static_cast<MessageEvent*>(event)->id() == PAGE_DATA_CHANGED)
        runsDownloaded();
    return QDialog::eventFilter(watched, event);
}

void CAllRunsDlg::runsDownloaded() {
    if (!isVisible()) return;
    // A download may have brought a new stopwatch as well as new runs.
    fillStopwatches();
    refresh();
}

void CAllRunsDlg::filtersChanged() {
    markTotals();
    typing_.start();
}

RunQuery CAllRunsDlg::currentQuery() const {
    RunQuery query;
    const QString chosen = stopwatch_->currentData().toString();
    if (const std::optional<std::string> pc = chosenPc()) query.pcs = {*pc};
    if (const auto group = groupFolders_.find(chosen); group != groupFolders_.end()) {
        // Groups are this PC's own.
        query.folderNames = group->second;
        query.pcs = {""};
    } else if (!chosen.isEmpty()) {
        query.folderNames = {chosen.toStdString()};
        query.pcs = {stopwatch_->currentData(kPcRole).toString().toStdString()};
    }
    if (dateOn_->isChecked()) {
        query.fromDate = from_->date().toString(Qt::ISODate).toStdString();
        query.toDate = to_->date().toString(Qt::ISODate).toStdString();
    }
    query.words = wordsOf(words_->text());
    query.lapCount = laps_->value();
    query.minTotalCs = hundredthsOf(minTotal_);
    query.maxTotalCs = hundredthsOf(maxTotal_);
    return query;
}

void CAllRunsDlg::markTotals() {
    for (QLineEdit* field : {minTotal_, maxTotal_}) {
        const bool bad = unreadable(field);
        field->setProperty("unreadable", bad);
        field->setStyleSheet(bad ? QStringLiteral("QLineEdit { background: #ffd8d8; }")
                                 : QString());
        field->setToolTip(bad ? ui::localized(run_text::kUnreadableTime) : QString());
    }
}

void CAllRunsDlg::refresh() {
    typing_.stop();
    const quint64 asked = ++generation_;
    markTotals();
    RunQuery query = currentQuery();
    if (query.minTotalCs >= 0 && query.maxTotalCs >= 0 && query.minTotalCs > query.maxTotalCs) {
        // No run can match; say why instead of showing none found.
        model_->setRows({});
        missed_.clear();
        state_ = State::Reversed;
        return showStatus();
    }
    state_ = State::Searching;
    showStatus();
    query.limit = kFirstScreen;
    // The first screen comes back first; when it was cut short, every row follows.
    queries_.ask<RunListing>(
        this, [query](WindowRunSource& source) { return source.listRuns(query); },
        [this, asked, query](RunListing first) {
            if (asked != generation_) return;
            const bool more = first.answered && first.truncated;
            showListing(std::move(first), !more);
            if (!more) return;
            RunQuery all = query;
            all.limit = 0;
            queries_.ask<RunListing>(
                this, [all](WindowRunSource& source) { return source.listRuns(all); },
                [this, asked](RunListing whole) {
                    if (asked == generation_) showListing(std::move(whole), true);
                });
        });
}

void CAllRunsDlg::showListing(RunListing listing, bool whole) {
    if (!listing.answered) {
        model_->setRows({});
        state_ = State::CannotRead;
        missed_.clear();
        return showStatus();
    }
    const bool first = model_->rowCount() == 0;
    missed_.clear();
    for (const RunProblem& problem : listing.problems)
        missed_.push_back({problemPlace(problem), MissedRun::Why::Unreadable, problem.reason});
    model_->setRows(std::move(listing.rows));
    // Columns fit the first rows shown (only the visible rows are measured).
    if (first && model_->rowCount() > 0) table_->resizeColumnsToContents();
    state_ = whole ? State::Found : State::FirstScreen;
    showStatus();
}

void CAllRunsDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) applyTexts();
    // A stopwatch renamed in the main window meanwhile shows its new name in the filter and rows.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible())
        fillStopwatches(Names::RefreshWhenChanged);
    QDialog::changeEvent(event);
}

void CAllRunsDlg::applyTexts() {
    setWindowTitle(ui::localized(run_text::kAllRunsTitle));
    dateOn_->setText(ui::localized(run_text::kDateRange));
    stopwatchLabel_->setText(ui::localized(run_text::kStopwatch));
    pcLabel_->setText(ui::localized(club_text::kPcFilter));
    memoLabel_->setText(ui::localized(run_text::kMemo));
    lapsLabel_->setText(ui::localized(run_text::kLapCount));
    totalLabel_->setText(ui::localized(run_text::kTotal));
    for (QLabel* dash : dashes_) dash->setText(ui::localized(run_text::kRangeDash));
    words_->setPlaceholderText(ui::localized(run_text::kMemoWords));
    laps_->setSpecialValueText(ui::localized(run_text::kEvery));
    minTotal_->setPlaceholderText(ui::localized(run_text::kSeconds));
    maxTotal_->setPlaceholderText(ui::localized(run_text::kSeconds));
    markTotals();
    fillStopwatchChoice();
    fillPcs();
    model_->retranslate();
    if (openAction_) showRunActions();
    showStatus();
}

void CAllRunsDlg::nameControls() {
    from_->setAccessibleName(ui::localized(run_text::kFromDateName));
    to_->setAccessibleName(ui::localized(run_text::kToDateName));
    minTotal_->setAccessibleName(ui::localized(run_text::kMinTotalName));
    maxTotal_->setAccessibleName(ui::localized(run_text::kMaxTotalName));
    table_->setAccessibleName(ui::localized(run_text::kTableName));
}

void CAllRunsDlg::showStatus() {
    const qsizetype rows = model_->rowCount();
    status_->setToolTip(missedRunsText(missed_));
    status_->setAccessibleDescription(status_->toolTip());
    switch (state_) {
        case State::NotSearched:
            return status_->clear();
        case State::Searching:
            return status_->setText(ui::localized(query_text::kPreparing));
        case State::CannotRead:
            return status_->setText(ui::localized(query_text::kCannotRead));
        case State::Reversed:
            return status_->setText(ui::localized(run_text::kReversedTotals));
        case State::FirstScreen:
            return status_->setText(ui::localized(run_text::kFirstRowsShown).arg(rows));
        case State::Found:
            break;
    }
    if (missed_.empty())
        status_->setText(ui::localized(run_text::kRunsFound).arg(rows));
    else
        status_->setText(ui::localized(query_text::kShownWithMissed)
                             .arg(rows)
                             .arg(static_cast<qsizetype>(missed_.size())));
}

}  // namespace lapdex::ui
