// The Roster window.
#include "c_roster_dlg.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "club_settings.h"
#include "language_follower.h"
#include "query_texts.h"
#include "roster_texts.h"
#include "run_texts.h"

namespace lapdex::ui {

CRosterDlg::CRosterDlg(RunQueryWorker& queries, QWidget* parent)
    : QDialog(parent), queries_(queries), model_(new RosterModel(this)) {
    setWindowTitle(ui::localized(roster_text::kTitle));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableView(this);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    followLanguage(table_,
                   [this] { table_->setAccessibleName(ui::localized(roster_text::kTableName)); });
    status_ = new QLabel(this);
    bests_ = new QPushButton(ui::localized(roster_text::kBestsButton), this);
    bests_->setAutoDefault(false);
    bests_->setEnabled(false);
    groups_ = new QPushButton(ui::localized(roster_text::kGroupsButton), this);
    groups_->setAutoDefault(false);
    groups_->setEnabled(false);
    groupFilter_ = new QComboBox(this);
    groupFilter_->addItem(ui::localized(roster_text::kEveryGroup), QString());
    groupFilter_->setAccessibleName(ui::localized(roster_text::kGroupFilterName));
    groupFilter_->hide();  // until the data folder has groups
    pcFilter_ = new PcFilter(this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(status_, 1);
    bar->addWidget(pcFilter_);
    bar->addWidget(groupFilter_);
    bar->addWidget(groups_);
    bar->addWidget(bests_);
    layout->addLayout(bar);
    resize(1120, 360);
    connect(bests_, &QPushButton::clicked, this, &CRosterDlg::showBests);
    connect(groups_, &QPushButton::clicked, this, &CRosterDlg::editGroups);
    connect(groupFilter_, &QComboBox::currentIndexChanged, this, &CRosterDlg::applyGroupFilter);
    connect(pcFilter_, &QComboBox::currentIndexChanged, this, &CRosterDlg::applyGroupFilter);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        bests_->setEnabled(table_->selectionModel()->hasSelection());
        groups_->setEnabled(table_->selectionModel()->hasSelection());
    });
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& at) {
        if (at.isValid() && model_->entry(at.row()).stopwatch.pc.empty())
            emit stopwatchActivated(
                QString::fromStdString(model_->entry(at.row()).stopwatch.tabName));
    });
}

void CRosterDlg::showEvent(QShowEvent* event) {
    refresh();
    QDialog::showEvent(event);
}

void CRosterDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(ui::localized(roster_text::kTitle));
        bests_->setText(ui::localized(roster_text::kBestsButton));
        groups_->setText(ui::localized(roster_text::kGroupsButton));
        groupFilter_->setItemText(0, ui::localized(roster_text::kEveryGroup));
        groupFilter_->setAccessibleName(ui::localized(roster_text::kGroupFilterName));
        pcFilter_->retranslate();
        QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
        model_->setPcColumn(pcColumnShown(), ownPcLabel(settings));
        model_->retranslate();
        showStatus();
    }
    QDialog::changeEvent(event);
}

void CRosterDlg::refresh() {
    const quint64 asked = ++generation_;
    if (shownCount_ < 0) {
        shownCount_ = kWaiting;
        showStatus();
    }
    struct Answer {
        std::optional<Roster> roster;
        StopwatchGroups groups;
        std::vector<RunProblem> conflicts;
    };
    queries_.ask<Answer>(
        this,
        [](WindowRunSource& source) {
            return Answer{source.roster(), source.groups(), source.syncConflicts()};
        },
        [this, asked](Answer answer) {
            if (asked != generation_) return;
            model_->setGroups(std::move(answer.groups));
            showConflicts(answer.conflicts);
            showRoster(std::move(answer.roster));
            fillGroupFilter();
        });
}

void CRosterDlg::fillGroupFilter() {
    const QString chosen = groupFilter_->currentData().toString();
    {
        QSignalBlocker quiet(groupFilter_);
        while (groupFilter_->count() > 1) groupFilter_->removeItem(1);
        for (const std::string& name : model_->groups().names())
            groupFilter_->addItem(QString::fromStdString(name), QString::fromStdString(name));
        groupFilter_->setCurrentIndex(std::max(0, groupFilter_->findData(chosen)));
    }
    groupFilter_->setVisible(groupFilter_->count() > 1);
    applyGroupFilter();
}

void CRosterDlg::applyGroupFilter() {
    const std::string group = groupFilter_->currentData().toString().toStdString();
    for (int row = 0; row < model_->rowCount(); ++row) {
        const RunStopwatch& stopwatch = model_->entry(row).stopwatch;
        const auto found = model_->groups().bySerial.find(stopwatch.serialText);
        const bool member = found != model_->groups().bySerial.end() && found->second.count(group);
        table_->setRowHidden(row, (!group.empty() && !member) || !pcFilter_->passes(stopwatch.pc));
    }
}

void CRosterDlg::editGroups() {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;
    const RunStopwatch stopwatch = model_->entry(rows.front().row()).stopwatch;
    bool ok = false;
    const QString typed = QInputDialog::getText(
        this, ui::localized(roster_text::kTitle),
        ui::localized(roster_text::kGroupsPrompt).arg(QString::fromStdString(stopwatch.tabName)),
        QLineEdit::Normal,
        model_->index(rows.front().row(), RosterModel::kGroups).data().toString(), &ok);
    if (!ok) return;
    std::set<std::string> names;
    for (const QString& part :
         typed.split(QRegularExpression(QStringLiteral(u"[,\u3001\uFF0C]")), Qt::SkipEmptyParts)) {
        const std::string name = cleanGroupName(part.toStdString());
        if (name.empty() && !part.trimmed().isEmpty()) {
            QMessageBox::warning(this, ui::localized(roster_text::kTitle),
                                 ui::localized(roster_text::kGroupRefused).arg(part.trimmed()));
            return;
        }
        if (!name.empty()) names.insert(name);
    }
    StopwatchGroups groups = model_->groups();
    if (names.empty())
        groups.bySerial.erase(stopwatch.serialText);
    else
        groups.bySerial[stopwatch.serialText] = names;
    // Written on the query worker: the window never waits for the disk.
    queries_.ask<FsStatus>(
        this, [groups](WindowRunSource& source) { return source.saveGroups(groups); },
        [this](FsStatus saved) {
            if (!saved.ok())
                QMessageBox::warning(this, ui::localized(roster_text::kTitle),
                                     ui::localized(roster_text::kGroupsNotSaved)
                                         .arg(QString::fromStdString(fsStatusText(saved))));
            refresh();
        });
}

void CRosterDlg::showBests() {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;
    if (!bestsWindow_) {
        bestsWindow_ = new CBestsDlg(queries_, this);
        connect(bestsWindow_, &CBestsDlg::runActivated, this, &CRosterDlg::runActivated);
    }
    bestsWindow_->showStopwatch(model_->entry(rows.front().row()).stopwatch);
    bestsWindow_->show();
    bestsWindow_->raise();
    bestsWindow_->activateWindow();
}

void CRosterDlg::runsChanged() {
    if (!isVisible()) return;
    refresh();
    if (bestsWindow_ && bestsWindow_->isVisible()) bestsWindow_->reload();
}

void CRosterDlg::showRoster(std::optional<Roster> roster) {
    if (!roster) {
        shownCount_ = kCannotRead;
        return showStatus();
    }
    QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    model_->setPcColumn(pcColumnShown(), ownPcLabel(settings));
    model_->setEntries(roster->entries);
    std::vector<RunStopwatch> stopwatches;
    for (const RosterEntry& entry : roster->entries) stopwatches.push_back(entry.stopwatch);
    pcFilter_->fill(stopwatches);
    bests_->setEnabled(table_->selectionModel()->hasSelection());
    table_->resizeColumnsToContents();
    shownCount_ = static_cast<qsizetype>(roster->entries.size());
    damagedLines_.clear();
    for (int line : roster->damagedHistoryLines) damagedLines_ << QString::number(line);
    showStatus();
}

void CRosterDlg::showConflicts(const std::vector<RunProblem>& copies) {
    QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    const QString own = ownPcLabel(settings);
    conflicts_.clear();
    for (const RunProblem& copy : copies)
        conflicts_ << ui::localized(roster_text::kSyncConflictLine)
                          .arg(pcText(copy.pc, own), QString::fromStdString(copy.path));
    status_->setToolTip(conflicts_.join(u'\n'));
}

void CRosterDlg::showStatus() {
    if (shownCount_ == kNotAsked) return status_->clear();
    if (shownCount_ == kWaiting) return status_->setText(ui::localized(query_text::kPreparing));
    if (shownCount_ == kCannotRead) return status_->setText(ui::localized(query_text::kCannotRead));
    QString text = ui::localized(roster_text::kStopwatchCount).arg(shownCount_);
    if (!damagedLines_.empty())
        text += ui::localized(roster_text::kDamagedHistory)
                    .arg(damagedLines_.join(QStringLiteral(", ")));
    // Copies are named here once, never as runs: the user settles which copy is right.
    if (!conflicts_.empty())
        text += ui::localized(roster_text::kSyncConflicts).arg(conflicts_.size());
    status_->setText(text);
}

}  // namespace lapdex::ui
