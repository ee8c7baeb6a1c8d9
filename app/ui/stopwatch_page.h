// The page inside the tab control, as the main window drives it. The window posts the
// page messages (PAGE_STOPWATCH_CHANGED, PAGE_DATA_CHANGED) to it as MessageEvents.
#pragma once

#include <QDate>
#include <QWidget>
#include <string>
#include <vector>

#include "dialog_builder.h"

namespace lapdex::ui {

class StopwatchPage : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

    // Once, at the end of the window's start-up: lists today's runs.
    virtual void initialisePage() = 0;
    // Empties the run list, the statistics, the memo and the lap list.
    virtual void clearPage() = 0;
    // Lists the runs of the selected day of the current stopwatch.
    virtual void showDay() = 0;
    // Marks the days with runs on the calendar.
    virtual void computeDayMasks() = 0;
    // Selects `day` and brings its month into view; the next reload lists its runs.
    virtual void selectDay(QDate day) { (void)day; }
    // Shows `day` and selects its run file `fileName` when it is listed (a run found elsewhere).
    virtual void showRun(QDate day, const std::string& fileName) {
        (void)day;
        (void)fileName;
    }
    // A strip of the page's own that the window places below the page, growing to hold it; null
    // for none. The window becomes its parent.
    virtual QWidget* stripBelow() { return nullptr; }
    // The page's controls in the order Tab visits them; the window puts them between its tabs
    // and its own controls.
    virtual std::vector<QWidget*> focusOrder() const { return {}; }
    // The day the page shows (the calendar's selection).
    virtual QDate selectedDay() const { return QDate::currentDate(); }
};

// The page frame of template 130 with nothing on it, shown until the stopwatch page
// takes its place.
class EmptyPage : public StopwatchPage {
    Q_OBJECT
  public:
    explicit EmptyPage(QWidget* parent);

    void initialisePage() override {}
    void clearPage() override {}
    void showDay() override {}
    void computeDayMasks() override {}
    // The page messages received, newest last (lets the window's tests see them).
    const std::vector<unsigned>& received() const { return received_; }

  protected:
    void customEvent(QEvent* event) override;

  private:
    std::vector<unsigned> received_;
};

}  // namespace lapdex::ui
