// The progress window: how one stopwatch's runs of one lap count go over weeks and months (a
// chart and a table), and the squad's best of each month. Its runs are read on the query worker.
#pragma once

#include <QDate>
#include <QWidget>

#include "pc_filter.h"
#include "progress.h"
#include "run_query_worker.h"

class QComboBox;
class QLabel;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace lapdex::ui {

class ProgressChart;

// What the worker answers for the window.
struct ProgressAnswer {
    bool answered = false;
    std::vector<RunStopwatch> stopwatches;
    Progress progress;
    SquadView squad;  // the stopwatches of the group and PC asked for
    StopwatchGroups groups;
    std::size_t missed = 0;  // runs or folders that could not be read
};

// The date range of a choice on `today`: "" for open.
enum class ProgressRange { Season, LastYear, All };
std::pair<std::string, std::string> progressDates(ProgressRange range, QDate today);

class CProgressDlg : public QWidget {
    Q_OBJECT
  public:
    // `queries` must outlive the window.
    CProgressDlg(RunQueryWorker& queries, QWidget* parent);

    // Shows the stopwatch of `folderName` ("QTM-01") of data folder `pc` ("" this PC's) with its
    // usual lap count.
    void showStopwatch(const std::string& folderName, const std::string& pc = {});
    void reload();
    bool loading() const { return loading_; }
    // Reloads when shown: a download has just put its runs in.
    void runsDownloaded();

    ProgressChart* chart() const { return chart_; }
    QTableWidget* table() const { return table_; }
    QTableWidget* squad() const { return squad_; }
    QComboBox* stopwatchChoice() const { return stopwatches_; }
    QSpinBox* lapChoice() const { return laps_; }
    QComboBox* rangeChoice() const { return range_; }
    // The squad's group, shown when the data folder has groups: every stopwatch first.
    QComboBox* groupChoice() const { return group_; }
    // The squad's and the stopwatch chooser's PC, shown while club folders are configured.
    PcFilter* pcChoice() const { return pcFilter_; }
    QLabel* status() const { return status_; }
    const ProgressAnswer& shown() const { return shown_; }

  signals:
    // A run was opened (Enter or a double click): show it on its page.
    void runActivated(const RunRow& run);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void build();
    void retranslate();
    void showAnswer(ProgressAnswer answer);
    void fillTable();
    void fillSquad();
    void fillGroupChoice();
    // The stopwatches of the PC chosen, and the one shown, each named with its PC while club
    // folders are configured.
    void fillStopwatchChoice();
    void showStatus();
    void activate(int index);

    RunQueryWorker& queries_;
    ProgressChart* chart_ = nullptr;
    QTableWidget* table_ = nullptr;
    QTableWidget* squad_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QComboBox* stopwatches_ = nullptr;
    QSpinBox* laps_ = nullptr;
    QComboBox* range_ = nullptr;
    QComboBox* group_ = nullptr;
    QLabel* groupLabel_ = nullptr;
    PcFilter* pcFilter_ = nullptr;
    std::optional<std::string> pcShown_;  // the PC filter's choice; nullopt for every PC
    std::string groupName_;
    QLabel* stopwatchLabel_ = nullptr;
    QLabel* lapsLabel_ = nullptr;
    QLabel* rangeLabel_ = nullptr;
    QLabel* status_ = nullptr;
    ProgressAnswer shown_;
    std::string folder_;
    std::string pc_;  // of folder_
    bool loading_ = false;
    bool filling_ = false;  // the controls are being set from an answer: no new question
    quint64 generation_ = 0;
};

}  // namespace lapdex::ui
