// The team day window's controls, loading and following of downloads.
#include "c_team_day_dlg.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "club_settings.h"
#include "compare_texts.h"
#include "engine/message_ids.h"
#include "message_event.h"
#include "print_texts.h"
#include "query_texts.h"
#include "team_day_texts.h"
#include "ui_text.h"
#include "window_place.h"

namespace lapdex::ui {
namespace {

const QString kGapKey = QStringLiteral("teamDay/sessionGapMinutes");

int savedGapMinutes() {
    const QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    const int minutes = settings.value(kGapKey, kDefaultSessionGapMinutes).toInt();
    return minutes >= 1 && minutes <= 720 ? minutes : kDefaultSessionGapMinutes;
}

}  // namespace

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
    group_ = new QComboBox(this);
    groupLabel_ = new QLabel(this);
    groupLabel_->setBuddy(group_);
    group_->hide();  // until the data folder has groups
    groupLabel_->hide();
    pc_ = new PcFilter(this);
    session_ = new QComboBox(this);
    session_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    sessionLabel_ = new QLabel(this);
    sessionLabel_->setBuddy(session_);
    gap_ = new QSpinBox(this);
    gap_->setRange(1, 720);
    gap_->setValue(savedGapMinutes());
    gapLabel_ = new QLabel(this);
    gapLabel_->setBuddy(gap_);
    // Rows of their own (what is shown, how, and the notes), so the window stays narrow enough for
    // a laptop at 200 %.
    auto* choice = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{dateLabel_, date_, groupLabel_, group_, pc_,
                                                      sessionLabel_, session_, gapLabel_, gap_})
        choice->addWidget(w);
    choice->addStretch();
    auto* bar = new QHBoxLayout;
    bar->addWidget(laps_);
    bar->addWidget(splits_);
    bar->addSpacing(16);
    bar->addWidget(compare_);
    bar->addWidget(printButton_);
    bar->addStretch();
    legend_ = new QLabel(this);
    legend_->setTextFormat(Qt::RichText);
    auto* notes = new QHBoxLayout;
    notes->addWidget(legend_);
    notes->addStretch();
    notes->addWidget(status_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addLayout(bar);
    layout->addLayout(notes);
    layout->addWidget(table_);
    connect(date_, &QDateEdit::dateChanged, this, [this] {
        choice_ = Choice::Newest;  // another date: its latest session first
        reload();
    });
    connect(session_, &QComboBox::currentIndexChanged, this, &CTeamDayDlg::sessionChosen);
    connect(group_, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        chosenGroup_ = group_->currentData().toString().toStdString();
        showSessions();
    });
    connect(pc_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) showSessions();
    });
    connect(gap_, &QSpinBox::valueChanged, this, [this](int minutes) {
        QSettings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex")).setValue(kGapKey, minutes);
        showSessions();
    });
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
    sessionLabel_->setText(ui::localized(team_day_text::kSession));
    groupLabel_->setText(ui::localized(team_day_text::kGroup));
    if (group_->count() > 0) group_->setItemText(0, ui::localized(team_day_text::kEveryStopwatch));
    pc_->retranslate();
    showPcColumn();
    gapLabel_->setText(ui::localized(team_day_text::kGap));
    gap_->setSuffix(ui::localized(team_day_text::kGapSuffix));
    gap_->setToolTip(ui::localized(team_day_text::kGapTip));
    for (int i = 0; i < session_->count(); ++i) session_->setItemText(i, sessionText(i));
    laps_->setText(ui::localized(team_day_text::kLaps));
    splits_->setText(ui::localized(team_day_text::kSplits));
    compare_->setText(ui::localized(compare_text::kCompareAction));
    table_->setAccessibleName(ui::localized(team_day_text::kTableName));
    const auto mark = [](QColor colour, QChar symbol, const Text& meaning) {
        return QStringLiteral("<span style=\"background-color:%1\">&nbsp;%2 %3&nbsp;</span>")
            .arg(colour.name(), symbol, ui::localized(meaning).toHtmlEscaped());
    };
    legend_->setText(
        mark(TeamDayModel::fastestColour(), kFastestSymbol, team_day_text::kFastestMark) +
        QStringLiteral(" ") +
        mark(TeamDayModel::slowestColour(), kSlowestSymbol, team_day_text::kSlowestMark));
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
    status_->setAccessibleDescription(status_->toolTip());
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
    // The groups first: answered in order, they are there when the runs come.
    queries_.ask<std::pair<StopwatchGroups, std::vector<RunStopwatch>>>(
        this,
        [](WindowRunSource& source) {
            return std::pair{source.groups(),
                             source.registeredStopwatches().value_or(std::vector<RunStopwatch>{})};
        },
        [this](std::pair<StopwatchGroups, std::vector<RunStopwatch>> known) {
            groups_ = std::move(known.first);
            stopwatches_ = std::move(known.second);
            fillGroupChoice();
        });
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
        wholeDay_ = TeamDay{date, {}, 0};
        state_ = State::CannotRead;
        showSessions();
        return;
    }
    wholeDay_ = teamDayOf(gathered.runs, date);
    state_ = State::Shown;
    showSessions();
}

void CTeamDayDlg::showSessions() {
    // The group's runs only, then split into sessions.
    groupDay_ = wholeDay_;
    if (!chosenGroup_.empty()) {
        const std::set<StopwatchKey> members =
            stopwatchesOfGroup(groups_, stopwatches_, chosenGroup_);
        std::erase_if(groupDay_.runs, [&members](const TeamDayRun& run) {
            return members.count({run.pc, run.folderName}) == 0;
        });
    }
    std::erase_if(groupDay_.runs, [this](const TeamDayRun& run) { return !pc_->passes(run.pc); });
    sessions_ = sessionsOf(groupDay_, gap_->value());
    int chosen = sessions_.empty() ? 0 : static_cast<int>(sessions_.size());  // the newest
    if (choice_ == Choice::All) chosen = 0;
    if (choice_ == Choice::Fixed) {
        const auto same = std::find_if(sessions_.begin(), sessions_.end(),
                                       [this](const auto& s) { return s.start == chosenStart_; });
        if (same != sessions_.end()) chosen = static_cast<int>(same - sessions_.begin()) + 1;
    }
    filling_ = true;
    session_->clear();
    for (int i = 0; i <= static_cast<int>(sessions_.size()); ++i) session_->addItem(sessionText(i));
    session_->setCurrentIndex(chosen);
    filling_ = false;
    showPcColumn();
    model_->setDay(chosen == 0
                       ? groupDay_
                       : sessionDay(groupDay_, sessions_[static_cast<std::size_t>(chosen - 1)]));
    table_->resizeColumnsToContents();
    showStatus();
}

void CTeamDayDlg::showPcColumn() {
    QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    model_->setPcColumn(pcColumnShown(), ownPcLabel(settings));
}

void CTeamDayDlg::fillGroupChoice() {
    filling_ = true;
    group_->clear();
    group_->addItem(ui::localized(team_day_text::kEveryStopwatch), QString());
    for (const std::string& name : groups_.names())
        group_->addItem(QString::fromStdString(name), QString::fromStdString(name));
    const int chosen = group_->findData(QString::fromStdString(chosenGroup_));
    if (chosen < 0) chosenGroup_.clear();  // the group is gone: every stopwatch
    group_->setCurrentIndex(std::max(chosen, 0));
    group_->setVisible(group_->count() > 1);
    groupLabel_->setVisible(group_->count() > 1);
    pc_->fill(stopwatches_);
    filling_ = false;
}

void CTeamDayDlg::sessionChosen(int index) {
    if (filling_ || index < 0) return;
    if (index == 0)
        choice_ = Choice::All;
    else if (index == static_cast<int>(sessions_.size()))
        choice_ = Choice::Newest;
    else
        choice_ = Choice::Fixed,
        chosenStart_ = sessions_[static_cast<std::size_t>(index - 1)].start;
    showSessions();
}

QString CTeamDayDlg::sessionText(int index) const {
    if (index == 0)
        return ui::localized(team_day_text::kAllSessions)
            .arg(static_cast<qsizetype>(groupDay_.runs.size()));
    if (index > static_cast<int>(sessions_.size())) return {};
    const TeamSession& session = sessions_[static_cast<std::size_t>(index - 1)];
    auto clock = [](const std::string& at) { return QString::fromStdString(at).mid(11, 5); };
    return ui::localized(team_day_text::kSessionItem)
        .arg(clock(session.start), clock(session.end))
        .arg(static_cast<qsizetype>(session.runs.size()));
}

std::vector<RunRef> CTeamDayDlg::selectedRuns() const {
    QModelIndexList rows = table_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<RunRef> runs;
    for (const QModelIndex& row : rows) {
        const TeamDayRun& run =
            model_->day().runs[static_cast<std::size_t>(sorted_->mapToSource(row).row())];
        runs.push_back({run.folderName, run.fileName, run.tabName, run.start, run.pc});
    }
    return runs;
}

void CTeamDayDlg::compareSelected() {
    const std::vector<RunRef> runs = selectedRuns();
    if (!comparable(runs.size())) return;
    if (!compareWindow_) {
        // An ordinary window of its own, which goes with this one.
        compareWindow_ = new CCompareDlg(nullptr);
        makeOrdinaryWindow(*compareWindow_, QStringLiteral("compare"));
        connect(this, &QObject::destroyed, compareWindow_,
                [window = compareWindow_] { delete window; });
    }
    compareWindow_->compare(queries_, runs);
    compareWindow_->show();
    compareWindow_->raise();
}

Sheet CTeamDayDlg::sheet() const {
    const QString date = QString::fromStdString(model_->day().date).replace(u'-', u'/');
    return daySheet(ui::localized(print_text::kDayTitle).arg(date), model_->day(), gap_->value());
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
