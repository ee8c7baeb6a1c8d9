// The All runs window: every run of the data folder from the run index, filtered as the user
// types, sortable by column; Enter or a double-click opens the run on its stopwatch's page.
#pragma once

#include <QDialog>
#include <QTimer>

#include "run_index.h"
#include "run_table_model.h"

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
    // `index` may be null (then the window says so); it must outlive the window.
    CAllRunsDlg(RunIndex* index, QWidget* parent = nullptr);

    // The search the filters describe now.
    RunQuery currentQuery() const;
    // Runs the search again at once (the filters do it themselves after a short pause).
    void refresh();

    RunTableModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QLineEdit* memoWords() const { return words_; }
    QComboBox* stopwatchChoice() const { return stopwatch_; }
    QSpinBox* lapCount() const { return laps_; }
    QCheckBox* dateRangeOn() const { return dateOn_; }
    QDateEdit* fromDate() const { return from_; }
    QDateEdit* toDate() const { return to_; }
    QLineEdit* minTotal() const { return minTotal_; }
    QLineEdit* maxTotal() const { return maxTotal_; }
    QLabel* status() const { return status_; }

  signals:
    // The user chose a run to open.
    void runActivated(const lapdex::RunRow& run);

  protected:
    void showEvent(QShowEvent* event) override;
    // Re-applies every text in the language now shown.
    void changeEvent(QEvent* event) override;

  private:
    void buildFilters(QGridLayout* grid);
    void fillStopwatches();
    void filtersChanged();
    void fetchAll();
    void applyTexts();
    void showStatus();

    RunIndex* index_;
    RunTableModel* model_;
    QTableView* table_ = nullptr;
    QCheckBox* dateOn_ = nullptr;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QComboBox* stopwatch_ = nullptr;
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
    // Runs found by the last search; kWaiting while the index has not answered, kNotSearched
    // before the first search (the status line stays empty).
    static constexpr qsizetype kWaiting = -1;
    static constexpr qsizetype kNotSearched = -2;
    qsizetype foundCount_ = kNotSearched;
    QTimer typing_;
    QTimer retry_;
};

}  // namespace lapdex::ui
