// The tab control of the main window: a strip of tabs whose labels the window draws
// (centred on the button-face colour) above a framed display area.
#pragma once

#include <QTabBar>
#include <QWidget>

namespace lapdex::ui {

class LabelTabBar : public QTabBar {
    Q_OBJECT
public:
    using QTabBar::QTabBar;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);

    QTabBar* tabBar() const { return bar_; }
    // The area below the tabs, in the coordinates of this control's parent.
    QRect displayArea() const;

signals:
  // Right button pressed on the strip, or the menu key (Shift+F10) on the selected tab;
  // `position` in tab bar coordinates.
  void contextRequested(const QPoint& position, const QPoint& globalPosition);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LabelTabBar* bar_;
};

}  // namespace lapdex::ui
