// The progress chart: one stopwatch's totals (above) and best laps (below) over time, each run
// a point at its date, personal bests starred. A point is chosen by a click or the arrow keys;
// Enter or a double click opens it.
#pragma once

#include <QWidget>
#include <vector>

#include "progress.h"

namespace lapdex::ui {

class ProgressChart : public QWidget {
    Q_OBJECT
  public:
    explicit ProgressChart(QWidget* parent = nullptr);

    void setProgress(const Progress& progress);
    const std::vector<ProgressRun>& runs() const { return runs_; }
    // The chosen run, -1 for none.
    int selected() const { return selected_; }
    void select(int index);
    // Where run `index` is drawn in the upper (totals, `lower` false) or lower plot; the plots.
    QPointF pointOf(int index, bool lower) const;
    QRect plotOf(bool lower) const;
    // The text that names run `index` (its tool tip).
    QString describe(int index) const;

    QSize sizeHint() const override { return {640, 360}; }

  signals:
    void selectedChanged(int index);
    void activated(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void paintPlot(class QPainter& painter, bool lower) const;
    int nearest(QPointF at) const;
    std::vector<QPointF> thinnedLine(bool lower, const QRect& plot) const;
    QPointF pointIn(int index, bool lower, const QRect& plot) const;
    std::int64_t timeOf(int index, bool lower) const;

    std::vector<ProgressRun> runs_;
    std::vector<double> days_;  // each run's start in days since the epoch
    double firstDay_ = 0, lastDay_ = 0;
    std::int64_t lowCs_[2] = {-1, -1}, highCs_[2] = {0, 0};  // totals, best laps
    TimeFormat format_ = TimeFormat::Clock;
    int selected_ = -1;
};

}  // namespace lapdex::ui
