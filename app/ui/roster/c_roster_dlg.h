// The Roster window: every registered stopwatch with its runs; a double-click opens its tab, and
// the personal bests button the selected stopwatch's bests of every lap count.
#pragma once

#include <QDialog>
#include <QStringList>

#include "c_bests_dlg.h"
#include "pc_filter.h"
#include "roster_model.h"
#include "run_query_worker.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace lapdex::ui {

class CRosterDlg : public QDialog {
    Q_OBJECT
  public:
    // `queries` must outlive the window.
    CRosterDlg(RunQueryWorker& queries, QWidget* parent = nullptr);

    // Asks for the roster again; the window fills in when it is answered.
    void refresh();
    RosterModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QLabel* status() const { return status_; }
    QPushButton* bestsButton() const { return bests_; }
    QPushButton* groupsButton() const { return groups_; }
    // Shows the stopwatches of one group only: every stopwatch first, then the groups.
    QComboBox* groupFilter() const { return groupFilter_; }
    // Shows one PC's stopwatches only; hidden while no club folder is configured.
    PcFilter* pcFilter() const { return pcFilter_; }
    // Asks for the selected stopwatch's groups and saves them in the data folder.
    void editGroups();
    // The personal bests window, once opened.
    CBestsDlg* bestsWindow() const { return bestsWindow_; }
    // Opens the personal bests of the selected stopwatch.
    void showBests();
    // Asks again now when shown, and the personal bests window likewise: runs or stopwatches
    // changed (a download, a rename, a deletion).
    void runsChanged();

  signals:
    // The user chose one of this PC's stopwatches: its tab name (a club folder's has no tab here).
    void stopwatchActivated(const QString& tabName);
    // The user chose the run that holds a personal best.
    void runActivated(const lapdex::RunRow& run);

  protected:
    void showEvent(QShowEvent* event) override;
    // Re-applies the title, headers and status line in the language now shown.
    void changeEvent(QEvent* event) override;

  private:
    void showStatus();
    void fillGroupFilter();
    void applyGroupFilter();

    void showRoster(std::optional<Roster> roster);
    void showConflicts(const std::vector<RunProblem>& copies);

    RunQueryWorker& queries_;
    RosterModel* model_;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* bests_ = nullptr;
    QPushButton* groups_ = nullptr;
    QComboBox* groupFilter_ = nullptr;
    PcFilter* pcFilter_ = nullptr;
    CBestsDlg* bestsWindow_ = nullptr;
    // What the status line tells: the stopwatches found with the damaged history lines skipped,
    // kWaiting while the question is answered, kCannotRead when it could not be, kNotAsked before
    // the first look (empty).
    static constexpr qsizetype kWaiting = -1;
    static constexpr qsizetype kNotAsked = -2;
    static constexpr qsizetype kCannotRead = -3;
    quint64 generation_ = 0;
    qsizetype shownCount_ = kNotAsked;
    QStringList damagedLines_;
    // The sync engine's conflict copies found at the last look, each once: "PC: path".
    QStringList conflicts_;
};

}  // namespace lapdex::ui
