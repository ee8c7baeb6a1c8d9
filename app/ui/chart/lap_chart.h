// A bar chart of one run's laps: one bar per lap standing on zero, the best and the slowest lap
// coloured, the average as a line, lap numbers along the axis. Painted by hand so hundreds of laps
// stay cheap. Its texts are read when it paints and lays out, and a change of language repaints
// every widget, so it follows the language shown without keeping any text.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace lapdex::ui {

// One bar. `cs` is the lap time in hundredths of a second; a negative value is a lap whose time
// could not be read, drawn as a gap.
struct ChartBar {
    std::int64_t cs = -1;
    QString timeText;  // the lap time as the lap list shows it
    QString memo;      // the lap memo; the bar's tool tip shows it
};

// Where the bars and labels go for a given plot width; separate from painting so the thinning
// rules can be checked without pixels.
struct ChartLayout {
    double slotWidth = 0;  // pixels per lap
    int barWidth = 0;      // at least 1
    int labelStep = 1;     // every labelStep-th lap number is written (1, 2, 5, 10, 20, 50, ...)
};
ChartLayout chartLayout(int barCount, int plotWidth, int labelWidth);

class LapChart : public QWidget {
    Q_OBJECT
  public:
    explicit LapChart(QWidget* parent = nullptr);

    void setBars(std::vector<ChartBar> bars);
    const std::vector<ChartBar>& bars() const { return bars_; }
    // The 0-based selected lap, -1 for none. Setting it does not emit barSelected.
    void setSelectedBar(int index);
    int selectedBar() const { return selected_; }
    // The 0-based best and slowest lap (the earliest of equal ones); -1 without laps.
    int bestBar() const { return best_; }
    int slowestBar() const { return slowest_; }
    // The height in pixels of a bar of `cs` hundredths in a plot `plotHeight` pixels high; bars
    // stand on zero.
    int barHeight(std::int64_t cs, int plotHeight) const;
    // The average line's label in the language shown ("Average 59.7"), empty without laps.
    QString averageLabel() const;
    // The bar under `position` in widget coordinates, -1 for none.
    int barAt(QPoint position) const;
    // The tool tip shown over bar `index`.
    QString toolTipFor(int index) const;
    // The plot area inside the axes, in widget coordinates.
    QRect plotArea() const;
    ChartLayout layoutNow() const;

    QSize sizeHint() const override { return {600, 150}; }

  signals:
    // The user clicked bar `index`.
    void barSelected(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void paintBars(class QPainter& painter, const QRect& plot, const ChartLayout& layout) const;
    void paintBarTimes(QPainter& painter, const QRect& plot, const ChartLayout& layout) const;
    void paintAxes(QPainter& painter, const QRect& plot, const ChartLayout& layout) const;

    std::vector<ChartBar> bars_;
    std::int64_t maxCs_ = 0;
    double averageCs_ = -1;
    int best_ = -1;
    int slowest_ = -1;
    int selected_ = -1;
};

}  // namespace lapdex::ui
