// The team day window: the runs of one training session (or of the whole date) across all
// stopwatches side by side, lap by lap. While it is open it follows the downloads, so a squad's
// session fills in as each stopwatch is laid on the reader. The runs are read on the query
// worker; the window fills in when they come.
// Ctrl+P prints the shown runs as the day sheet.
#pragma once

#include <QDate>
#include <QDialog>

#include "c_compare_dlg.h"
#include "pc_filter.h"
#include "run_gathering.h"
#include "run_query_worker.h"
#include "sessions.h"
#include "sheets.h"
#include "team_day_model.h"

class QAction;
class QComboBox;
class QDateEdit;
class QSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSortFilterProxyModel;
class QTableView;

namespace lapdex::ui {

class CTeamDayDlg : public QDialog {
    Q_OBJECT
  public:
    // `queries` must outlive the window.
    CTeamDayDlg(RunQueryWorker& queries, QWidget* parent);

    // Shows the runs of `date`.
    void showDate(QDate date);
    QDate date() const;
    // Reads the day again; the table fills in when the runs have been read.
    void reload();
    // True while the day asked for last has not come.
    bool loading() const { return state_ == State::Busy; }
    // Reloads whenever `page` is told that a download has ended (PAGE_DATA_CHANGED), while the
    // window is shown. `page` must outlive the window or be destroyed with it.
    void followPage(QObject* page);
    // Reloads now when shown: a download has just put its runs in the run index.
    void runsDownloaded();
    // Opens the comparison of the selected rows (two to eight), in the table's order.
    void compareSelected();
    // The selected rows' runs, in the table's order.
    std::vector<RunRef> selectedRuns() const;
    // The day shown as the day sheet, titled with its date.
    Sheet sheet() const;
    // The print preview of sheet() (Ctrl+P); prints where the user says.
    void print();

    TeamDayModel* model() const { return model_; }
    QSortFilterProxyModel* sortedModel() const { return sorted_; }
    QTableView* table() const { return table_; }
    QRadioButton* lapsButton() const { return laps_; }
    QRadioButton* splitsButton() const { return splits_; }
    QLabel* status() const { return status_; }
    // The session chooser: "all sessions" first, then the date's sessions in time order.
    QComboBox* sessionChoice() const { return session_; }
    // The group chooser, shown when the data folder has groups: every stopwatch first.
    QComboBox* groupChoice() const { return group_; }
    // The PC chooser, shown while club folders are configured: every PC first.
    PcFilter* pcChoice() const { return pc_; }
    QSpinBox* gapChoice() const { return gap_; }
    const std::vector<TeamSession>& sessions() const { return sessions_; }
    // The marks' legend: each mark's colour, symbol and meaning.
    QLabel* legend() const { return legend_; }
    QPushButton* compareButton() const { return compare_; }
    QPushButton* printButton() const { return printButton_; }
    QAction* printAction() const { return print_; }
    CCompareDlg* compareWindow() const { return compareWindow_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // What the status line says.
    enum class State { CannotRead, Busy, Shown };

    void build();
    void retranslate();
    void showStatus();
    void showDay(GatheredRuns gathered, const std::string& date);
    // Splits the date's runs into sessions again and shows the one chosen (see Choice).
    void showSessions();
    void sessionChosen(int index);
    void fillGroupChoice();
    // The "PC" column while club folders are configured, this PC's runs under its label.
    void showPcColumn();
    QString sessionText(int index) const;

    // Which session is shown as runs come: the newest (so a session being downloaded fills in),
    // every run of the date, or the one that began at `chosenStart_`.
    enum class Choice { Newest, All, Fixed };
    RunQueryWorker& queries_;
    TeamDayModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    QDateEdit* date_ = nullptr;
    QRadioButton* laps_ = nullptr;
    QRadioButton* splits_ = nullptr;
    QLabel* dateLabel_ = nullptr;
    QComboBox* session_ = nullptr;
    QSpinBox* gap_ = nullptr;
    QLabel* sessionLabel_ = nullptr;
    QLabel* gapLabel_ = nullptr;
    TeamDay wholeDay_;
    TeamDay groupDay_;  // the runs of the group and PC chosen
    QComboBox* group_ = nullptr;
    QLabel* groupLabel_ = nullptr;
    PcFilter* pc_ = nullptr;
    StopwatchGroups groups_;
    std::vector<RunStopwatch> stopwatches_;
    std::string chosenGroup_;  // "" for every stopwatch
    std::vector<TeamSession> sessions_;
    Choice choice_ = Choice::Newest;
    std::string chosenStart_;
    bool filling_ = false;
    QLabel* status_ = nullptr;
    QLabel* legend_ = nullptr;
    State state_ = State::Busy;
    QPushButton* compare_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QAction* print_ = nullptr;
    CCompareDlg* compareWindow_ = nullptr;
    std::vector<MissedRun> missed_;  // runs of the day that could not be read
    quint64 generation_ = 0;
};

}  // namespace lapdex::ui
