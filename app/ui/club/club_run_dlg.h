// A run of a club folder, shown read-only: its laps and memos as they are on the PC that keeps it,
// and whose PC that is. Nothing in it can be changed: the run belongs to the other PC.
#pragma once

#include <QDialog>

#include "run_query_worker.h"

class QLabel;
class QPlainTextEdit;
class QTableWidget;

namespace lapdex::ui {

class ClubRunDlg : public QDialog {
    Q_OBJECT
  public:
    explicit ClubRunDlg(QWidget* parent = nullptr);

    // Shows `run` (a row of a club folder, with its pc) once `queries` has read it with its laps.
    // `queries` must outlive the dialog's question.
    void showRun(RunQueryWorker& queries, const RunRow& run);

    const RunRow& run() const { return row_; }
    // True until the run's laps have been read (or found unreadable).
    bool loading() const { return loading_; }
    QLabel* keptOn() const { return keptOn_; }
    QPlainTextEdit* memo() const { return memo_; }
    QTableWidget* laps() const { return laps_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void showRead(RunRead read);
    void applyTexts();

    RunRow row_;
    RunDetails details_;
    QString problem_;
    bool loading_ = false;
    quint64 generation_ = 0;
    QLabel* keptOn_ = nullptr;
    QLabel* memoName_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QTableWidget* laps_ = nullptr;
};

}  // namespace lapdex::ui
