// The view menu and the way from a found run or stopwatch back to the page.
#include "view_menu.h"

#include <QCoreApplication>
#include <QEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTableView>
#include <algorithm>

#include "c_all_runs_dlg.h"
#include "c_progress_dlg.h"
#include "c_roster_dlg.h"
#include "c_team_day_dlg.h"
#include "club_link.h"
#include "club_run_dlg.h"
#include "compare_texts.h"
#include "lapdex_dlg.h"
#include "tab_control.h"
#include "ui_text.h"
#include "view_texts.h"
#include "window_place.h"

namespace lapdex::ui {

ViewMenu::ViewMenu(CLapdexDlg& window, RunQueryWorker& queries)
    : QObject(&window), window_(window), queries_(queries) {
    menu_ = window.menuBar()->addMenu(QString());
    QMenu* menu = menu_;
    allRunsAction_ = menu->addAction(QString());
    allRunsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    rosterAction_ = menu->addAction(QString());
    rosterAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    // The window's menu bar is no native one: shortcuts work only when the window knows them.
    window.addAction(allRunsAction_);
    window.addAction(rosterAction_);
    connect(allRunsAction_, &QAction::triggered, this, &ViewMenu::showAllRuns);
    connect(rosterAction_, &QAction::triggered, this, &ViewMenu::showRoster);
    teamDayAction_ = menu->addAction(QString());
    teamDayAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    window.addAction(teamDayAction_);
    connect(teamDayAction_, &QAction::triggered, this, &ViewMenu::showTeamDay);
    progressAction_ = menu->addAction(QString());
    progressAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    window.addAction(progressAction_);
    connect(progressAction_, &QAction::triggered, this, &ViewMenu::showProgress);
    applyTexts();
}

ViewMenu::~ViewMenu() {
    // Ordinary top-level windows have no parent to take them along; hidden first, so each keeps
    // its size and place.
    for (QWidget* window :
         std::initializer_list<QWidget*>{clubRun_, compare_, teamDay_, roster_, allRuns_}) {
        if (!window) continue;
        window->hide();
        delete window;
    }
}

bool ViewMenu::event(QEvent* event) {
    // The window forwards the language change to its children, this menu among them.
    if (event->type() == QEvent::LanguageChange) applyTexts();
    return QObject::event(event);
}

void ViewMenu::applyTexts() {
    menu_->setTitle(ui::localized(view_text::kMenu));
    allRunsAction_->setText(ui::localized(view_text::kAllRuns));
    rosterAction_->setText(ui::localized(view_text::kRoster));
    teamDayAction_->setText(ui::localized(view_text::kTeamDay));
    progressAction_->setText(ui::localized(view_text::kProgress));
    if (compareAction_) compareAction_->setText(ui::localized(compare_text::kCompareAction));
    window_.menuBar()->adjustSize();
}

void ViewMenu::showAllRuns() {
    if (!allRuns_) {
        allRuns_ = new CAllRunsDlg(queries_);
        makeOrdinaryWindow(*allRuns_, QStringLiteral("allRuns"));
        allRuns_->followPage(window_.page());
        // The page hears of a download only when its completion is closed; the runs are shown
        // here as soon as they are in.
        connect(&window_, &CLapdexDlg::runsDownloaded, allRuns_, &CAllRunsDlg::runsDownloaded);
        // A rename or deletion in the window changes what it found as a download does.
        connect(&window_, &CLapdexDlg::runsChanged, allRuns_, &CAllRunsDlg::runsDownloaded);
        connect(allRuns_, &CAllRunsDlg::runActivated, this,
                [this](const RunRow& run) { (void)openRun(run); });
        showClub();
        // Several runs can be selected and compared from the table's context menu.
        QTableView* table = allRuns_->table();
        table->setSelectionMode(QAbstractItemView::ExtendedSelection);
        table->setContextMenuPolicy(Qt::ActionsContextMenu);
        compareAction_ = new QAction(ui::localized(compare_text::kCompareAction), table);
        compareAction_->setEnabled(false);
        table->addAction(compareAction_);
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, table] {
                    compareAction_->setEnabled(
                        comparable(table->selectionModel()->selectedRows().size()));
                });
        connect(compareAction_, &QAction::triggered, this, &ViewMenu::compareSelectedRuns);
    }
    allRuns_->show();
    allRuns_->raise();
    allRuns_->activateWindow();
}

void ViewMenu::followClub(ClubLink& link) {
    club_ = &link;
    // Another PC's runs arriving are, for the open windows, a download done elsewhere: they
    // reload exactly as after one of this PC's downloads.
    connect(&link, &ClubLink::runsArrived, this, &ViewMenu::showClub);
    connect(&link, &ClubLink::runsArrived, &window_, &CLapdexDlg::runsDownloaded);
    showClub();
}

void ViewMenu::showClub() {
    if (!club_ || !allRuns_) return;
    std::vector<std::string> labels;
    for (const ClubFolder& folder : club_->folders()) labels.push_back(folder.label);
    allRuns_->setClub(club_->ownLabel(), labels);
}

void ViewMenu::showRoster() {
    if (!roster_) {
        roster_ = new CRosterDlg(queries_);
        makeOrdinaryWindow(*roster_, QStringLiteral("roster"));
        connect(roster_, &CRosterDlg::stopwatchActivated, this,
                [this](const QString& name) { (void)openStopwatch(name); });
        connect(roster_, &CRosterDlg::runActivated, this,
                [this](const RunRow& run) { (void)openRun(run); });
        connect(&window_, &CLapdexDlg::runsDownloaded, roster_, &CRosterDlg::runsChanged);
        connect(&window_, &CLapdexDlg::runsChanged, roster_, &CRosterDlg::runsChanged);
    }
    roster_->show();
    roster_->raise();
    roster_->activateWindow();
}

void ViewMenu::showTeamDay() {
    if (!teamDay_) {
        teamDay_ = new CTeamDayDlg(queries_, nullptr);
        makeOrdinaryWindow(*teamDay_, QStringLiteral("teamDay"));
        teamDay_->followPage(window_.page());
        connect(&window_, &CLapdexDlg::runsDownloaded, teamDay_, &CTeamDayDlg::runsDownloaded);
        connect(&window_, &CLapdexDlg::runsChanged, teamDay_, &CTeamDayDlg::runsDownloaded);
    }
    teamDay_->show();
    teamDay_->showDate(window_.page()->selectedDay());
    teamDay_->raise();
    teamDay_->activateWindow();
}

void ViewMenu::showProgress() {
    if (!progress_) {
        progress_ = new CProgressDlg(queries_, &window_);
        connect(&window_, &CLapdexDlg::runsDownloaded, progress_, &CProgressDlg::runsDownloaded);
        connect(progress_, &CProgressDlg::runActivated, this,
                [this](const RunRow& run) { (void)openRun(run); });
    }
    // The page's stopwatch folder ends in its name ("…/QTM-01").
    std::string folder = window_.currentStopwatchFolder();
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    progress_->showStopwatch(folder.substr(folder.find_last_of('/') + 1));
    progress_->show();
    progress_->raise();
    progress_->activateWindow();
}

void ViewMenu::compareSelectedRuns() {
    if (!allRuns_) return;
    QModelIndexList rows = allRuns_->table()->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<RunRef> runs;
    for (const QModelIndex& row : rows) {
        const RunRow& run = allRuns_->model()->run(row.row());
        runs.push_back({run.folderName, run.fileName, run.tabName, run.run.start, run.pc});
    }
    if (!comparable(runs.size())) return;
    if (!compare_) {
        compare_ = new CCompareDlg(nullptr);
        makeOrdinaryWindow(*compare_, QStringLiteral("compare"));
    }
    compare_->compare(queries_, runs);
    compare_->show();
    compare_->raise();
    compare_->activateWindow();
}

bool ViewMenu::openStopwatch(const QString& tabName) {
    QTabBar* tabs = window_.tabControl()->tabBar();
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) != tabName) continue;
        tabs->setCurrentIndex(i);
        // The page takes the stopwatch change now, so what follows is not undone by it.
        QCoreApplication::sendPostedEvents(window_.page());
        window_.raise();
        window_.activateWindow();
        return true;
    }
    return false;
}

bool ViewMenu::openRun(const RunRow& run) {
    if (!run.pc.empty()) {
        if (!clubRun_) {
            clubRun_ = new ClubRunDlg(nullptr);
            makeOrdinaryWindow(*clubRun_, QStringLiteral("clubRun"));
        }
        clubRun_->showRun(queries_, run);
        clubRun_->show();
        clubRun_->raise();
        clubRun_->activateWindow();
        return true;
    }
    if (!openStopwatch(QString::fromStdString(run.tabName))) return false;
    const QDate day =
        QDate::fromString(QString::fromStdString(run.run.start).left(10), Qt::ISODate);
    window_.page()->showRun(day, run.fileName);
    return true;
}

}  // namespace lapdex::ui
