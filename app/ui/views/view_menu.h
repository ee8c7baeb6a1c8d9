// The main window's view menu: the All runs and Roster windows, and opening what they show
// on the stopwatch's page.
#pragma once

#include <QObject>
#include <QString>

#include "run_query_worker.h"

class QAction;
class QMenu;

namespace lapdex::ui {

class CAllRunsDlg;
class ClubLink;
class ClubRunDlg;
class CLapdexDlg;
class CRosterDlg;
class CTeamDayDlg;
class CCompareDlg;
class CProgressDlg;

class ViewMenu : public QObject {
    Q_OBJECT
  public:
    // Adds the menu to `window`'s menu bar. Both must outlive the menu; the windows ask
    // `queries` for their runs.
    ViewMenu(CLapdexDlg& window, RunQueryWorker& queries);
    // Closes and deletes the windows it opened (ordinary top-level windows, not the main
    // window's children).
    ~ViewMenu() override;

    void showAllRuns();
    void showRoster();
    // The team day of the page's selected day.
    void showTeamDay();
    // The progress of the page's stopwatch.
    void showProgress();
    // Reads the club folders of `link` too: the All runs window shows their PCs, and the windows
    // ask again when another PC's runs arrive. `link` must outlive the menu.
    void followClub(ClubLink& link);
    // Selects the run's tab, shows its day and selects it on the page. False when no tab has its
    // name. Another PC's run never reaches the page (the tabs are this PC's): it is shown
    // read-only in a window of its own.
    bool openRun(const RunRow& run);
    // Selects the tab named `tabName`. False when there is none.
    bool openStopwatch(const QString& tabName);
    // Opens the comparison of the runs selected in the All runs window (two to eight).
    void compareSelectedRuns();

    CAllRunsDlg* allRunsWindow() const { return allRuns_; }
    ClubRunDlg* clubRunWindow() const { return clubRun_; }
    CRosterDlg* rosterWindow() const { return roster_; }
    CTeamDayDlg* teamDayWindow() const { return teamDay_; }
    QAction* teamDayAction() const { return teamDayAction_; }
    QAction* progressAction() const { return progressAction_; }
    CProgressDlg* progressWindow() const { return progress_; }
    QAction* compareAction() const { return compareAction_; }
    CCompareDlg* compareWindow() const { return compare_; }
    QAction* allRunsAction() const { return allRunsAction_; }
    QAction* rosterAction() const { return rosterAction_; }
    QMenu* menu() const { return menu_; }
    RunQueryWorker& queries() const { return queries_; }

  protected:
    // Re-applies the menu's texts on a language change.
    bool event(QEvent* event) override;

  private:
    void applyTexts();
    // The All runs window's PC texts, from the club link.
    void showClub();

    CLapdexDlg& window_;
    RunQueryWorker& queries_;
    CAllRunsDlg* allRuns_ = nullptr;
    ClubLink* club_ = nullptr;
    ClubRunDlg* clubRun_ = nullptr;
    CRosterDlg* roster_ = nullptr;
    CTeamDayDlg* teamDay_ = nullptr;
    QAction* teamDayAction_ = nullptr;
    QAction* progressAction_ = nullptr;
    CProgressDlg* progress_ = nullptr;
    QAction* compareAction_ = nullptr;
    CCompareDlg* compare_ = nullptr;
    QAction* allRunsAction_ = nullptr;
    QAction* rosterAction_ = nullptr;
    QMenu* menu_ = nullptr;
};

}  // namespace lapdex::ui
