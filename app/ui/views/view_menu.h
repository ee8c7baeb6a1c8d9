// The main window's 表示(&W) menu: the All runs and Roster windows, and opening what they show
// on the stopwatch's page.
#pragma once

#include <QObject>
#include <QString>

#include "run_index.h"

class QAction;

namespace lapdex::ui {

class CAllRunsDlg;
class CLapdexDlg;
class CRosterDlg;

class ViewMenu : public QObject {
    Q_OBJECT
  public:
    // Adds the menu to `window`'s menu bar. `index` may be null; both must outlive the menu.
    ViewMenu(CLapdexDlg& window, RunIndex* index);

    void showAllRuns();
    void showRoster();
    // Selects the run's tab, shows its day and selects it on the page. False when no tab has its
    // name.
    bool openRun(const IndexedRunRow& run);
    // Selects the tab named `tabName`. False when there is none.
    bool openStopwatch(const QString& tabName);

    CAllRunsDlg* allRunsWindow() const { return allRuns_; }
    CRosterDlg* rosterWindow() const { return roster_; }
    QAction* allRunsAction() const { return allRunsAction_; }
    QAction* rosterAction() const { return rosterAction_; }

  private:
    CLapdexDlg& window_;
    RunIndex* index_;
    CAllRunsDlg* allRuns_ = nullptr;
    CRosterDlg* roster_ = nullptr;
    QAction* allRunsAction_ = nullptr;
    QAction* rosterAction_ = nullptr;
};

}  // namespace lapdex::ui
