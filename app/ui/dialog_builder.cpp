#include "dialog_builder.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

#include "pictures.h"
#include "tab_control.h"

namespace lapdex::ui {

namespace {

Qt::Alignment alignmentOf(const ControlSpec& c) {
    if (c.hasStyle("centre")) return Qt::AlignHCenter | Qt::AlignTop;
    if (c.hasStyle("right")) return Qt::AlignRight | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

QWidget* makeLabel(const ControlSpec& c, QWidget* parent) {
    auto* label = new QLabel(c.text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignmentOf(c));
    label->setWordWrap(!c.hasStyle("nowrap"));
    return label;
}

QWidget* makeIcon(const ControlSpec& c, QWidget* parent, const QSize& size) {
    auto* label = new QLabel(parent);
    QIcon icon;
    if (c.text == "warning") icon = parent->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    else if (c.text == "application") icon = applicationIcon();
    else icon = parent->style()->standardIcon(QStyle::SP_MessageBoxInformation);
    const int side = std::max(16, std::min(size.width(), size.height()));
    label->setPixmap(icon.pixmap(side, side));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setProperty("iconKind", c.text);
    return label;
}

QWidget* makeEdit(const ControlSpec& c, QWidget* parent) {
    if (c.hasStyle("multiline")) {
        auto* edit = new QPlainTextEdit(c.text, parent);
        edit->setReadOnly(c.hasStyle("readonly"));
        edit->setVerticalScrollBarPolicy(c.hasStyle("vscroll") ? Qt::ScrollBarAlwaysOn
                                                               : Qt::ScrollBarAsNeeded);
        edit->setTabChangesFocus(true);
        return edit;
    }
    auto* edit = new QLineEdit(c.text, parent);
    edit->setReadOnly(c.hasStyle("readonly"));
    return edit;
}

QWidget* makeListView(QWidget* parent) {
    auto* view = new QTreeWidget(parent);
    view->setRootIsDecorated(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setUniformRowHeights(true);
    return view;
}

QWidget* makeWidget(const ControlSpec& c, QWidget* parent, const QSize& size) {
    if (c.kind == "label") return makeLabel(c, parent);
    if (c.kind == "button") {
        auto* button = new QPushButton(c.text, parent);
        button->setDefault(c.hasStyle("default"));
        return button;
    }
    if (c.kind == "checkbox") return new QCheckBox(c.text, parent);
    if (c.kind == "edit") return makeEdit(c, parent);
    if (c.kind == "tab") return new TabControl(parent);
    if (c.kind == "picture") {
        auto* label = new QLabel(parent);
        label->setPixmap(pictureResource(c.text.toInt()));
        label->setProperty("pictureResource", c.text.toInt());
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    if (c.kind == "icon") return makeIcon(c, parent, size);
    if (c.kind == "progress") {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    if (c.kind == "group") return new QGroupBox(c.text, parent);
    if (c.kind == "list") return new QListWidget(parent);
    if (c.kind == "listview") return makeListView(parent);
    if (c.kind == "calendar") return new QCalendarWidget(parent);
    return new QWidget(parent);
}

// Japanese fonts other than the designed one run wider: a text that would be cut is given
// the room it needs, as far as the window reaches.
QRect fitText(const ControlSpec& c, QRect r, QWidget* parent, int parentWidth) {
    if (c.kind != "label" && c.kind != "checkbox") return r;
    const QFontMetrics metrics(parent->font());
    int needed = 0;
    for (const QString& line : c.text.split(QChar(u'\n'))) needed = std::max(needed, metrics.horizontalAdvance(line));
    if (c.kind == "checkbox") needed += 24;
    const int room = parentWidth - r.x() - 2;
    if (needed > r.width()) r.setWidth(std::min(needed + 2, std::max(room, r.width())));
    return r;
}

void applyFocusStyle(const ControlSpec& c, QWidget* w) {
    if (w->focusPolicy() == Qt::NoFocus) return;
    w->setFocusPolicy(c.hasStyle("tabstop") ? Qt::StrongFocus : Qt::ClickFocus);
}

}  // namespace

QWidget* ControlSet::control(int id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

void ControlSet::add(int id, QWidget* widget) {
    if (id != kNoControlId) byId_[id] = widget;
    all_.push_back(widget);
}

ControlSet buildControls(const DialogTemplate& t, QWidget* parent, const DialogUnits& units) {
    ControlSet set;
    int unnamed = 0;
    for (const ControlSpec& c : t.controls) {
        const QRect r = fitText(c, units.toPixels(c.rect), parent, units.toPixelsX(t.size.width()));
        QWidget* w = makeWidget(c, parent, r.size());
        w->setGeometry(r);
        // A picture control takes the size of its picture.
        if (c.kind == "picture") w->resize(pictureResource(c.text.toInt()).size());
        // Lines that fit are not wrapped again inside the control.
        if (auto* label = qobject_cast<QLabel*>(w); label && c.kind == "label") {
            const QFontMetrics metrics(parent->font());
            int widest = 0;
            for (const QString& line : c.text.split(QChar(u'\n'))) widest = std::max(widest, metrics.horizontalAdvance(line));
            if (widest <= r.width()) label->setWordWrap(false);
        }
        w->setObjectName(c.id == kNoControlId ? QStringLiteral("static%1").arg(unnamed++)
                                              : QStringLiteral("ctl%1").arg(c.id));
        w->setProperty("controlId", c.id);
        applyFocusStyle(c, w);
        set.add(c.id, w);
    }
    parent->setFixedSize(units.toPixels(t.size));
    return set;
}

}  // namespace lapdex::ui
