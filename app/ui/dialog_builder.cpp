#include "dialog_builder.h"

#include <QAbstractButton>
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
#include <algorithm>

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
    if (c.text == "warning")
        icon = parent->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    else if (c.text == "application")
        icon = applicationIcon();
    else
        icon = parent->style()->standardIcon(QStyle::SP_MessageBoxInformation);
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

// The room a label's or check box's text needs on one line per '\n', or an empty size for
// controls whose text is not measured here. A check box marked "multiline" is measured too:
// a Qt check box draws its text on one line, so a narrow one would cut it.
QSize textNeeds(const ControlSpec& c, const QWidget* parent) {
    if ((c.kind != "label" && c.kind != "checkbox") || c.text.isEmpty()) return {};
    const QFontMetrics metrics(parent->font());
    const QStringList lines = c.text.split(QChar(u'\n'));
    int width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    if (c.kind == "checkbox") {
        const QStyle* style = parent->style();
        width += style->pixelMetric(QStyle::PM_IndicatorWidth) +
                 style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + 4;
    }
    return {width + 2, metrics.lineSpacing() * int(lines.size())};
}

// Japanese fonts other than the designed one run wider: the template's position is kept,
// but a text that would be cut is given the room it needs (centred texts grow on both
// sides, right-aligned ones to the left while there is room).
QRect fitText(const ControlSpec& c, QRect r, const QWidget* parent) {
    const QSize needed = textNeeds(c, parent);
    if (needed.width() > r.width()) {
        const int extra = needed.width() - r.width();
        int leftward = 0;
        if (c.hasStyle("centre"))
            leftward = std::min(extra / 2, r.left());
        else if (c.hasStyle("right"))
            leftward = std::min(extra, r.left());
        r.setLeft(r.left() - leftward);
        r.setWidth(needed.width());
    }
    if (needed.height() > r.height()) r.setHeight(needed.height());
    return r;
}

// The parent grows when a control given more room would reach past its edge: the control
// keeps the template's margin to that edge, at most the usual 7-unit dialog margin.
QSize grownSize(QSize size, const QSize& designedSize, const QRect& designed, const QRect& placed,
                const DialogUnits& units) {
    const int rightMargin =
        std::clamp(designedSize.width() - designed.x() - designed.width(), 0, units.toPixelsX(7));
    const int bottomMargin =
        std::clamp(designedSize.height() - designed.y() - designed.height(), 0, units.toPixelsY(7));
    size.setWidth(std::max(size.width(), placed.x() + placed.width() + rightMargin));
    size.setHeight(std::max(size.height(), placed.y() + placed.height() + bottomMargin));
    return size;
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

namespace {

// Places `w` as the template's control `c` and returns where it went.
QRect place(const ControlSpec& c, QWidget* w, QWidget* parent, const QRect& designed) {
    const QRect r = fitText(c, designed, parent);
    w->setGeometry(r);
    // A picture control takes the size of its picture.
    if (c.kind == "picture") w->resize(pictureResource(c.text.toInt()).size());
    // A label now holds each of its lines whole: no second wrapping inside it.
    if (auto* label = qobject_cast<QLabel*>(w); label && c.kind == "label")
        label->setWordWrap(textNeeds(c, parent).isEmpty() && !c.hasStyle("nowrap"));
    return r;
}

bool showsText(const ControlSpec& c) {
    return c.kind == "label" || c.kind == "button" || c.kind == "checkbox" || c.kind == "group";
}

void setShownText(const ControlSpec& c, QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w); label && c.kind == "label")
        label->setText(c.text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(c.text);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(c.text);
}

}  // namespace

ControlSet buildControls(const DialogTemplate& t, QWidget* parent, const DialogUnits& units) {
    ControlSet set;
    int unnamed = 0;
    QSize size = units.toPixels(t.size);
    const QSize designedSize = size;
    for (const ControlSpec& c : t.controls) {
        const QRect designed = units.toPixels(c.rect);
        QWidget* w = makeWidget(c, parent, fitText(c, designed, parent).size());
        const QRect r = place(c, w, parent, designed);
        if (r != designed) size = grownSize(size, designedSize, designed, r, units);
        w->setObjectName(c.id == kNoControlId ? QStringLiteral("static%1").arg(unnamed++)
                                              : QStringLiteral("ctl%1").arg(c.id));
        w->setProperty("controlId", c.id);
        if (!c.name.isEmpty()) w->setAccessibleName(c.name);
        applyFocusStyle(c, w);
        set.add(c.id, w);
    }
    parent->setFixedSize(size);
    return set;
}

void retranslateControls(const DialogTemplate& t, const ControlSet& set, QWidget* parent,
                         const DialogUnits& units, Placement placement) {
    const std::vector<QWidget*>& widgets = set.all();
    if (widgets.size() != t.controls.size()) return;  // not built from this template
    QSize size = units.toPixels(t.size);
    const QSize designedSize = size;
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlSpec& c = t.controls[i];
        widgets[i]->setAccessibleName(c.name);  // a set without a name leaves none behind
        // In a window that fills its labels with values, a label with an id holds a value.
        const bool valueLabel = c.kind == "label" && c.id != kNoControlId;
        if (placement == Placement::TextControls && (!showsText(c) || valueLabel)) continue;
        if (showsText(c)) setShownText(c, widgets[i]);
        const QRect designed = units.toPixels(c.rect);
        const QRect r = place(c, widgets[i], parent, designed);
        if (r != designed) size = grownSize(size, designedSize, designed, r, units);
    }
    if (placement == Placement::Everything) parent->setFixedSize(size);
}

}  // namespace lapdex::ui
