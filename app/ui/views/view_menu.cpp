// The 表示 menu and the way from a found run or stopwatch back to the page.
#include "view_menu.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>

#include "c_all_runs_dlg.h"
#include "c_roster_dlg.h"
#include "lapdex_dlg.h"
#include "tab_control.h"

namespace lapdex::ui {

ViewMenu::ViewMenu(CLapdexDlg& window, RunIndex* index)
    : QObject(&window), window_(window), index_(index) {
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("表示(&W)"));
    allRunsAction_ = menu->addAction(QStringLiteral("すべての走行(&A)..."));
    allRunsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    rosterAction_ = menu->addAction(QStringLiteral("ストップウオッチ一覧(&L)..."));
    rosterAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    // The window's menu bar is no native one: shortcuts work only when the window knows them.
    window.addAction(allRunsAction_);
    window.addAction(rosterAction_);
    connect(allRunsAction_, &QAction::triggered, this, &ViewMenu::showAllRuns);
    connect(rosterAction_, &QAction::triggered, this, &ViewMenu::showRoster);
    window.menuBar()->adjustSize();
}

void ViewMenu::showAllRuns() {
    if (!allRuns_) {
        allRuns_ = new CAllRunsDlg(index_, &window_);
        connect(allRuns_, &CAllRunsDlg::runActivated, this,
                [this](const IndexedRunRow& run) { (void)openRun(run); });
    }
    allRuns_->show();
    allRuns_->raise();
    allRuns_->activateWindow();
}

void ViewMenu::showRoster() {
    if (!roster_) {
        roster_ = new CRosterDlg(index_, &window_);
        connect(roster_, &CRosterDlg::stopwatchActivated, this,
                [this](const QString& name) { (void)openStopwatch(name); });
    }
    roster_->show();
    roster_->raise();
    roster_->activateWindow();
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

bool ViewMenu::openRun(const IndexedRunRow& run) {
    if (!openStopwatch(QString::fromStdString(run.tabName))) return false;
    const QDate day =
        QDate::fromString(QString::fromStdString(run.run.start).left(10), Qt::ISODate);
    window_.page()->showRun(day, run.fileName);
    return true;
}

}  // namespace lapdex::ui
