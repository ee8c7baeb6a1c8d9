#include "stretch_layout.h"

#include <algorithm>
#include <cmath>

namespace lapdex::ui {

namespace {

int share(int extra, double part) {
    return static_cast<int>(std::lround(extra * part));
}

}  // namespace

void StretchLayout::add(QWidget* widget, const GrowShare& grow) {
    if (widget && !grow.none()) items_.push_back({widget, widget->geometry(), grow});
}

void StretchLayout::addTemplate(const DialogTemplate& t, const ControlSet& set) {
    const std::vector<QWidget*>& widgets = set.all();
    for (std::size_t i = 0; i < widgets.size() && i < t.controls.size(); ++i)
        add(widgets[i], t.controls[i].grow);
}

void StretchLayout::apply(QSize extra) {
    extra_ = QSize(std::max(0, extra.width()), std::max(0, extra.height()));
    for (const Item& item : items_) {
        if (!item.widget) continue;
        // Both edges move by their own rounded share, so neighbours never open a gap.
        const QRect& b = item.base;
        const int dx = extra_.width(), dy = extra_.height();
        const int left = b.left() + share(dx, item.share.x);
        const int top = b.top() + share(dy, item.share.y);
        const int right = b.left() + b.width() + share(dx, item.share.x + item.share.width);
        const int bottom = b.top() + b.height() + share(dy, item.share.y + item.share.height);
        item.widget->setGeometry(left, top, right - left, bottom - top);
    }
}

void StretchLayout::placeAgain() {
    const QSize extra = extra_;
    for (Item& item : items_)
        if (item.widget) item.base = item.widget->geometry();
    apply(extra);
}

}  // namespace lapdex::ui
