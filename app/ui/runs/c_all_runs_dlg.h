// The All runs window: every run of the data folder and of the club folders, filtered as the user
// types, sortable by column; Enter or a double-click opens the run (on its stopwatch's page when it
// is this PC's). Searches run on the query worker: the window fills in when they are answered and
// never waits for them.
#pragma once

#include <QDialog>
#include <QTimer>
#include <map>

#include "run_gathering.h"
#include "run_query_worker.h"
#include "run_table_model.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableView;

namespace lapdex::ui {

class CAllRunsDlg : public QDialog {
    Q_OBJECT
  public:
    // `queries` must outlive the window.
    CAllRunsDlg(RunQueryWorker& queries, QWidget* parent = nullptr);

    // The search the filters describe now.
    RunQuery currentQuery() const;
    // Runs the search again at once (the filters do it themselves after a short pause); the
    // answer arrives later. The first screen of rows comes first, then every other row.
    void refresh();
    // Searches again whenever `page` is told that a download has ended (PAGE_DATA_CHANGED), while
    // the window is shown. `page` must outlive the window or be destroyed with it.
    void followPage(QObject* page);
    // Searches again now when shown: a download has just put its runs, and maybe a new
    // stopwatch, in the run index.
    void runsDownloaded();
    // The PC filter's choices and the "PC" column's own text: `ownLabel` ("" the default) for
    // this PC, and the club folders' labels; without club folders the PC filter is hidden.
    void setClub(const QString& ownLabel, const std::vector<std::string>& clubLabels);
    // True while a search has not been answered in full.
    bool searching() const { return state_ == State::Searching || state_ == State::FirstScreen; }

    RunTableModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QLineEdit* memoWords() const { return words_; }
    QComboBox* stopwatchChoice() const { return stopwatch_; }
    QComboBox* pcChoice() const { return pc_; }
    QSpinBox* lapCount() const { return laps_; }
    QCheckBox* dateRangeOn() const { return dateOn_; }
    QDateEdit* fromDate() const { return from_; }
    QDateEdit* toDate() const { return to_; }
    QLineEdit* minTotal() const { return minTotal_; }
    QLineEdit* maxTotal() const { return maxTotal_; }
    QLabel* status() const { return status_; }
    QAction* openRunAction() const { return openAction_; }
    // Says whose PC keeps the current run (never enabled).
    QAction* pcAction() const { return pcAction_; }

  signals:
    // The user chose a run to open (Enter, a double-click or the context menu).
    void runActivated(const lapdex::RunRow& run);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Re-applies every text in the language now shown.
    void changeEvent(QEvent* event) override;

  private:
    void buildFilters(QGridLayout* grid);
    // The table's context menu: open the run, and whose PC keeps it.
    void addRunActions();
    void showRunActions();
    // Fills the PC filter, keeping the choice while it is still offered.
    void fillPcs();
    // Fills the stopwatch filter with the stopwatches of the chosen PC (every PC's without a
    // choice) and this PC's groups, keeping the choice while it is still offered.
    void fillStopwatchChoice();
    // The PC the filter chose, or nullopt for every PC.
    std::optional<std::string> chosenPc() const;
    enum class Names { Fill, RefreshWhenChanged };
    // Asks for the registered stopwatches and fills the filter with their tab names.
    void fillStopwatches(Names names = Names::Fill);
    // Marks a total field whose text cannot be read as a time (colour and tooltip).
    void markTotals();
    void filtersChanged();
    void showListing(RunListing listing, bool whole);
    void applyTexts();
    // The accessible names of the controls that no label names.
    void nameControls();
    void showStatus();

    RunQueryWorker& queries_;
    RunTableModel* model_;
    QTableView* table_ = nullptr;
    QCheckBox* dateOn_ = nullptr;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QComboBox* stopwatch_ = nullptr;
    QComboBox* pc_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* pcAction_ = nullptr;
    QLabel* pcLabel_ = nullptr;
    std::vector<std::string> clubLabels_;
    std::vector<RunStopwatch> stopwatches_;  // as last answered, every PC's
    StopwatchGroups groups_;                 // this PC's
    // The stopwatch chooser's group items ("group:NAME") and the folders each stands for.
    inline static const QString kGroupKey = QStringLiteral("group:");
    // The item data role of the stopwatch chooser that holds the stopwatch's pc.
    static constexpr int kPcRole = Qt::UserRole + 1;
    std::map<QString, std::vector<std::string>> groupFolders_;
    QLineEdit* words_ = nullptr;
    QSpinBox* laps_ = nullptr;
    QLineEdit* minTotal_ = nullptr;
    QLineEdit* maxTotal_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* stopwatchLabel_ = nullptr;
    QLabel* memoLabel_ = nullptr;
    QLabel* lapsLabel_ = nullptr;
    QLabel* totalLabel_ = nullptr;
    QLabel* dashes_[2] = {};
    // What the status line tells: nothing before the first search, that a search is under way,
    // the first screen while the other rows are fetched, every row found, that no source of
    // runs could answer, or that the total range is reversed.
    enum class State { NotSearched, Searching, FirstScreen, Found, CannotRead, Reversed };
    State state_ = State::NotSearched;
    std::vector<MissedRun> missed_;  // runs the last answer could not cover
    // Answers to searches older than the newest are dropped.
    quint64 generation_ = 0;
    QTimer typing_;
};

}  // namespace lapdex::ui
