// The Roster window: every registered stopwatch with its runs; a double-click opens its tab.
#pragma once

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include "roster_model.h"
#include "run_index.h"

class QLabel;
class QTableView;

namespace lapdex::ui {

class CRosterDlg : public QDialog {
    Q_OBJECT
  public:
    // `index` may be null; it must outlive the window.
    CRosterDlg(RunIndex* index, QWidget* parent = nullptr);

    void refresh();
    RosterModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QLabel* status() const { return status_; }

  signals:
    // The user chose a stopwatch: its tab name.
    void stopwatchActivated(const QString& tabName);

  protected:
    void showEvent(QShowEvent* event) override;
    // Re-applies the title, headers and status line in the language now shown.
    void changeEvent(QEvent* event) override;

  private:
    void showStatus();

    RunIndex* index_;
    RosterModel* model_;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer retry_;
    // What the status line tells: the stopwatches found with the damaged history lines skipped,
    // kWaiting while the index has not answered, kNotAsked before the first look (empty).
    static constexpr qsizetype kWaiting = -1;
    static constexpr qsizetype kNotAsked = -2;
    qsizetype shownCount_ = kNotAsked;
    QStringList damagedLines_;
};

}  // namespace lapdex::ui
