// The personal bests window of one stopwatch: for each lap count it has run, the best total and
// the best lap with the start of the run that holds each; Enter or a double-click opens that run
// on its stopwatch's page. The bests are computed on the query worker from the run source.
#pragma once

#include <QDialog>

#include "bests_model.h"
#include "run_query_worker.h"

class QLabel;
class QTableView;

namespace lapdex::ui {

class CBestsDlg : public QDialog {
    Q_OBJECT
  public:
    // `queries` must outlive the window.
    CBestsDlg(RunQueryWorker& queries, QWidget* parent = nullptr);

    // Shows the bests of `stopwatch`; the table fills in when they have been computed.
    void showStopwatch(const RunStopwatch& stopwatch);
    // Computes the bests of the stopwatch shown again (its runs changed).
    void reload();
    // True while the bests asked for last have not come.
    bool loading() const { return state_ == State::Busy; }

    BestsModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QLabel* status() const { return status_; }

  signals:
    // The user chose the run that holds a best.
    void runActivated(const lapdex::RunRow& run);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    enum class State { CannotRead, Busy, Shown };

    void retranslate();
    void showStatus();

    RunQueryWorker& queries_;
    RunStopwatch stopwatch_;
    BestsModel* model_;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
    State state_ = State::Busy;
    quint64 generation_ = 0;
};

}  // namespace lapdex::ui
