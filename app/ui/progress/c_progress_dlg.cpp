// The progress window's controls, questions and tables.
#include "c_progress_dlg.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "club_settings.h"
#include "club_texts.h"
#include "progress_chart.h"
#include "progress_texts.h"
#include "query_texts.h"
#include "run_texts.h"

namespace lapdex::ui {
namespace {

// The stopwatch chooser's role for a stopwatch's PC, beside its folder name as the item's data.
constexpr int kPcRole = Qt::UserRole + 1;

ProgressAnswer answerOf(WindowRunSource& source, ProgressQuery query, const std::string& group,
                        const std::optional<std::string>& pc) {
    ProgressAnswer answer;
    std::optional<std::vector<RunStopwatch>> stopwatches = source.registeredStopwatches();
    if (!stopwatches) return answer;
    answer.answered = true;
    answer.stopwatches = std::move(*stopwatches);
    if (query.folderName.empty() && !answer.stopwatches.empty()) {
        const auto first =
            std::find_if(answer.stopwatches.begin(), answer.stopwatches.end(),
                         [&pc](const RunStopwatch& s) { return !pc || s.pc == *pc; });
        const RunStopwatch& shown =
            first == answer.stopwatches.end() ? answer.stopwatches.front() : *first;
        query.folderName = shown.folderName;
        query.pc = shown.pc;
    }
    std::set<std::string> missed;
    SourceAnswer<Progress> progress = loadProgress(source, query);
    if (!progress.value) return answer;
    answer.progress = std::move(*progress.value);
    for (const RunProblem& problem : progress.problems) missed.insert(problemPlace(problem));
    RunQuery squad;
    squad.lapCount = answer.progress.lapCount;
    squad.fromDate = query.fromDate;
    squad.toDate = query.toDate;
    const RunListing listing = source.listRuns(squad);
    answer.groups = source.groups();
    std::vector<RunStopwatch> members;
    const std::set<StopwatchKey> inGroup =
        stopwatchesOfGroup(answer.groups, answer.stopwatches, group);
    for (const RunStopwatch& s : answer.stopwatches)
        if (inGroup.count(keyOf(s)) && (!pc || s.pc == *pc)) members.push_back(s);
    answer.squad = squadOf(members, listing.rows, squad.lapCount);
    for (const RunProblem& problem : listing.problems) missed.insert(problemPlace(problem));
    answer.missed = missed.size();
    return answer;
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

std::pair<std::string, std::string> progressDates(ProgressRange range, QDate today) {
    switch (range) {
        case ProgressRange::Season: {
            // A season starts in April, as school and club years do.
            const int year = today.month() >= 4 ? today.year() : today.year() - 1;
            return {QDate(year, 4, 1).toString(Qt::ISODate).toStdString(), ""};
        }
        case ProgressRange::LastYear:
            return {today.addMonths(-12).addDays(1).toString(Qt::ISODate).toStdString(), ""};
        case ProgressRange::All:
            break;
    }
    return {"", ""};
}

CProgressDlg::CProgressDlg(RunQueryWorker& queries, QWidget* parent)
    : QWidget(parent, Qt::Window), queries_(queries) {
    build();
    retranslate();
    resize(820, 560);
}

void CProgressDlg::build() {
    stopwatches_ = new QComboBox(this);
    laps_ = new QSpinBox(this);
    laps_->setRange(0, 999);
    range_ = new QComboBox(this);
    range_->addItems({QString(), QString(), QString()});
    range_->setCurrentIndex(static_cast<int>(ProgressRange::LastYear));
    group_ = new QComboBox(this);
    groupLabel_ = new QLabel(this);
    groupLabel_->setBuddy(group_);
    group_->hide();  // until the data folder has groups
    groupLabel_->hide();
    pcFilter_ = new PcFilter(this);
    status_ = new QLabel(this);
    stopwatchLabel_ = new QLabel(this);
    stopwatchLabel_->setBuddy(stopwatches_);
    lapsLabel_ = new QLabel(this);
    lapsLabel_->setBuddy(laps_);
    rangeLabel_ = new QLabel(this);
    rangeLabel_->setBuddy(range_);
    chart_ = new ProgressChart(this);
    table_ = new QTableWidget(0, 4, this);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    squad_ = new QTableWidget(this);
    squad_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(chart_);
    split->addWidget(table_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    tabs_ = new QTabWidget(this);
    tabs_->addTab(split, QString());
    tabs_->addTab(squad_, QString());
    auto* bar = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{stopwatchLabel_, stopwatches_, lapsLabel_, laps_,
                                         rangeLabel_, range_, groupLabel_, group_, pcFilter_})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(status_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(tabs_);
    connect(stopwatches_, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        folder_ = stopwatches_->currentData().toString().toStdString();
        pc_ = stopwatches_->currentData(kPcRole).toString().toStdString();
        laps_->setValue(0);  // another athlete: its own usual lap count
        reload();
    });
    connect(laps_, &QSpinBox::valueChanged, this, [this] { filling_ ? void() : reload(); });
    connect(range_, &QComboBox::currentIndexChanged, this,
            [this] { filling_ ? void() : reload(); });
    connect(group_, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        groupName_ = group_->currentData().toString().toStdString();
        reload();
    });
    connect(pcFilter_, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        pcShown_ = pcFilter_->chosen();
        // Another PC: its first stopwatch, unless the one shown is that PC's.
        if (pcShown_ && *pcShown_ != pc_) folder_.clear(), laps_->setValue(0);
        reload();
    });
    connect(chart_, &ProgressChart::selectedChanged, this, [this](int index) {
        if (index >= 0 && table_->currentRow() != index) table_->selectRow(index);
    });
    connect(chart_, &ProgressChart::activated, this, &CProgressDlg::activate);
    connect(table_, &QTableWidget::currentCellChanged, this,
            [this](int row) { chart_->select(row); });
    connect(table_, &QTableWidget::activated, this,
            [this](const QModelIndex& index) { activate(index.row()); });
}

void CProgressDlg::retranslate() {
    setWindowTitle(ui::localized(progress_text::kTitle));
    stopwatchLabel_->setText(ui::localized(progress_text::kStopwatch));
    lapsLabel_->setText(ui::localized(progress_text::kLaps));
    rangeLabel_->setText(ui::localized(progress_text::kRange));
    groupLabel_->setText(ui::localized(progress_text::kGroup));
    if (group_->count() > 0) group_->setItemText(0, ui::localized(progress_text::kEveryStopwatch));
    pcFilter_->retranslate();
    laps_->setSpecialValueText(ui::localized(progress_text::kUsualLaps));
    range_->setItemText(0, ui::localized(progress_text::kSeason));
    range_->setItemText(1, ui::localized(progress_text::kLastYear));
    range_->setItemText(2, ui::localized(progress_text::kAllTime));
    tabs_->setTabText(0, ui::localized(progress_text::kRunsTab));
    tabs_->setTabText(1, ui::localized(progress_text::kSquadTab));
    QStringList headers;
    for (const Text& header : progress_text::kHeaders) headers << ui::localized(header);
    table_->setHorizontalHeaderLabels(headers);
    chart_->setAccessibleName(ui::localized(progress_text::kChartName));
    table_->setAccessibleName(ui::localized(progress_text::kTableName));
    squad_->setAccessibleName(ui::localized(progress_text::kSquadName));
    if (!loading_) fillSquad();  // its tool tips
    showStatus();
    chart_->update();
}

void CProgressDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    QWidget::changeEvent(event);
}

void CProgressDlg::showStopwatch(const std::string& folderName, const std::string& pc) {
    folder_ = folderName;
    pc_ = pc;
    filling_ = true;
    laps_->setValue(0);
    filling_ = false;
    reload();
}

void CProgressDlg::runsDownloaded() {
    if (isVisible()) reload();
}

void CProgressDlg::reload() {
    const quint64 asked = ++generation_;
    ProgressQuery query{folder_, laps_->value(), {}, {}, pc_};
    std::tie(query.fromDate, query.toDate) =
        progressDates(static_cast<ProgressRange>(range_->currentIndex()), QDate::currentDate());
    loading_ = true;
    showStatus();
    queries_.ask<ProgressAnswer>(
        this,
        [query, group = groupName_, pc = pcShown_](WindowRunSource& source) {
            return answerOf(source, query, group, pc);
        },
        [this, asked](ProgressAnswer answer) {
            if (asked == generation_) showAnswer(std::move(answer));
        });
}

void CProgressDlg::showAnswer(ProgressAnswer answer) {
    shown_ = std::move(answer);
    loading_ = false;
    filling_ = true;
    folder_ = shown_.progress.stopwatch.folderName;
    pc_ = shown_.progress.stopwatch.pc;
    fillStopwatchChoice();
    pcFilter_->fill(shown_.stopwatches);
    filling_ = false;
    fillGroupChoice();
    chart_->setProgress(shown_.progress);
    fillTable();
    fillSquad();
    showStatus();
}

void CProgressDlg::fillStopwatchChoice() {
    stopwatches_->clear();
    // With club folders each stopwatch is named with its PC; the filter keeps one PC's.
    const bool club = pcColumnShown();
    QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    const QString own = ownPcLabel(settings);
    int current = -1;
    for (const RunStopwatch& s : shown_.stopwatches) {
        const bool shown = s.pc == pc_ && s.folderName == folder_;
        if (pcShown_ && s.pc != *pcShown_ && !shown) continue;
        QString name = QString::fromStdString(s.tabName);
        if (club) name += QStringLiteral(" (%1)").arg(pcText(s.pc, own));
        stopwatches_->addItem(name, QString::fromStdString(s.folderName));
        stopwatches_->setItemData(stopwatches_->count() - 1, QString::fromStdString(s.pc), kPcRole);
        if (shown) current = stopwatches_->count() - 1;
    }
    stopwatches_->setCurrentIndex(current);
}

void CProgressDlg::fillGroupChoice() {
    filling_ = true;
    group_->clear();
    group_->addItem(ui::localized(progress_text::kEveryStopwatch), QString());
    for (const std::string& name : shown_.groups.names())
        group_->addItem(QString::fromStdString(name), QString::fromStdString(name));
    group_->setCurrentIndex(std::max(group_->findData(QString::fromStdString(groupName_)), 0));
    group_->setVisible(group_->count() > 1);
    groupLabel_->setVisible(group_->count() > 1);
    filling_ = false;
}

void CProgressDlg::fillTable() {
    const Progress& progress = shown_.progress;
    table_->setRowCount(static_cast<int>(progress.runs.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const ProgressRun& run = progress.runs[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, cell(startText(run.start)));
        table_->setItem(row, 1, cell(runTimeText(run.totalCs, progress.timeFormat)));
        table_->setItem(row, 2, cell(runTimeText(run.bestLapCs, progress.timeFormat)));
        table_->setItem(row, 3, cell(run.personalBest ? QStringLiteral("★") : QString()));
    }
    table_->resizeColumnsToContents();
}

void CProgressDlg::fillSquad() {
    const SquadView& squad = shown_.squad;
    squad_->clear();
    // A first column "PC" while club folders are configured: two PCs may name a runner alike.
    const int first = pcColumnShown() ? 1 : 0;
    squad_->setRowCount(static_cast<int>(squad.stopwatches.size()));
    squad_->setColumnCount(static_cast<int>(squad.months.size()) + first);
    QStringList months, names;
    if (first == 1) months << ui::localized(club_text::kPcColumn);
    for (const std::string& month : squad.months) months << QString::fromStdString(month);
    for (const RunStopwatch& s : squad.stopwatches) names << QString::fromStdString(s.tabName);
    squad_->setHorizontalHeaderLabels(months);
    squad_->setVerticalHeaderLabels(names);
    QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    const QString own = ownPcLabel(settings);
    for (std::size_t row = 0; row < squad.bestCs.size(); ++row) {
        if (first == 1)
            squad_->setItem(static_cast<int>(row), 0, cell(pcText(squad.stopwatches[row].pc, own)));
        std::int64_t before = -1;  // the last earlier month with a time
        for (std::size_t month = 0; month < squad.months.size(); ++month) {
            const std::int64_t cs = squad.bestCs[row][month];
            if (cs < 0) continue;
            QTableWidgetItem* item = cell(runTimeText(cs, TimeFormat::Clock));
            if (before >= 0 && cs < before) {
                item->setBackground(QColor(198, 239, 206));
                item->setForeground(QColor(0, 97, 0));
                item->setToolTip(ui::localized(progress_text::kImproved));
            }
            squad_->setItem(static_cast<int>(row), static_cast<int>(month) + first, item);
            before = cs;
        }
    }
    squad_->resizeColumnsToContents();
}

void CProgressDlg::showStatus() {
    if (loading_) return status_->setText(ui::localized(query_text::kPreparing));
    if (!shown_.answered) return status_->setText(ui::localized(query_text::kCannotRead));
    const auto runs = static_cast<qsizetype>(shown_.progress.runs.size());
    status_->setText(
        shown_.missed == 0
            ? ui::localized(progress_text::kCount).arg(runs).arg(shown_.progress.lapCount)
            : ui::localized(query_text::kShownWithMissed)
                  .arg(runs)
                  .arg(static_cast<qsizetype>(shown_.missed)));
}

void CProgressDlg::activate(int index) {
    const Progress& progress = shown_.progress;
    if (index < 0 || index >= static_cast<int>(progress.runs.size())) return;
    const ProgressRun& run = progress.runs[static_cast<std::size_t>(index)];
    RunRow row{progress.stopwatch.folderName,
               progress.stopwatch.serialText,
               progress.stopwatch.tabName,
               run.fileName,
               {},
               {}};
    row.pc = progress.stopwatch.pc;
    row.run.start = run.start;
    row.run.totalCs = run.totalCs;
    row.run.lapCount = progress.lapCount;
    emit runActivated(row);
}

}  // namespace lapdex::ui
