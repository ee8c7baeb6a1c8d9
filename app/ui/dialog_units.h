// Dialog units: the font every window is laid out in and the conversion to pixels.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace lapdex::ui {

// "メイリオ" 8 pt where installed, else a Japanese font (Noto Sans CJK JP).
QFont dialogFont();

class DialogUnits {
public:
    // Base units of `font`: the average width of the Latin letters and the line height,
    // measured the way the classic dialog manager does.
    explicit DialogUnits(const QFont& font);
    DialogUnits(int averageCharWidth, int charHeight);

    int averageCharWidth() const { return baseX_; }
    int charHeight() const { return baseY_; }

    int toPixelsX(int x) const;  // x × average width / 4, rounded
    int toPixelsY(int y) const;  // y × height / 8, rounded
    QRect toPixels(const QRect& dialogRect) const;
    QSize toPixels(const QSize& dialogSize) const;

private:
    int baseX_;
    int baseY_;
};

}  // namespace lapdex::ui
