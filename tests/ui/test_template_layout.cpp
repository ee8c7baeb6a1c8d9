// Every dialog template in both language sets with the program's dialog font, built in its
// language or switched to it while shown: every text whole in its control, no control over
// another, and the same keyboard order in both sets.
#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>

#include "dialog_builder.h"
#include "dialog_template.h"
#include "dialog_units.h"

using namespace lapdex::ui;

namespace {

// The dialog font, or the same size of the other Japanese font the scripts install (where a
// desktop lacks Noto Sans CJK, fontconfig falls back to it).
QFont fontNamed(const QString& family) {
    if (family.isEmpty()) return dialogFont();
    QFont font = dialogFont();
    font.setFamilies({family});
    return font;
}

// How a window came to show its language: built in it, or built in the other one and switched.
enum class Shown { Built, Switched };

Language otherThan(Language language) {
    return language == Language::Japanese ? Language::English : Language::Japanese;
}

// A built template on a bare parent in the dialog font, as every window builds its controls.
// A switch moves what the window's own switch moves: the main window and the page place their
// tab control, lists and pictures themselves and keep them; a dialog takes the whole other set.
struct Built {
    QWidget parent;
    DialogTemplate t;
    ControlSet set;

    Built(const QString& name, Language language, const QString& family = {},
          Shown shown = Shown::Built)
        : t(loadTemplate(name, shown == Shown::Built ? language : otherThan(language))) {
        parent.setFont(fontNamed(family));
        const DialogUnits units(parent.font());
        set = buildControls(t, &parent, units);
        if (shown == Shown::Built) return;
        t = loadTemplate(name, language);
        const bool selfPlaced =
            name == QLatin1String("main_window") || name == QLatin1String("page");
        retranslateControls(t, set, &parent, units,
                            selfPlaced ? Placement::TextControls : Placement::Everything);
    }
};

const QStringList kFamilies{QString(), QStringLiteral("IPAGothic")};

QString shownText(QString text) {
    // A menu key's '&' is drawn as an underline, not as a character.
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

QString describe(const QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<const QLabel*>(w))
        text = label->text();
    else if (auto* button = qobject_cast<const QAbstractButton*>(w))
        text = button->text();
    else if (auto* group = qobject_cast<const QGroupBox*>(w))
        text = group->title();
    return QStringLiteral("%1 \"%2\" at %3,%4 %5x%6")
        .arg(w->objectName(), text)
        .arg(w->x())
        .arg(w->y())
        .arg(w->width())
        .arg(w->height());
}

bool isTextLabel(const QWidget* w) {
    auto* label = qobject_cast<const QLabel*>(w);
    return label && !label->text().isEmpty();
}

// Where a label draws its lines inside its rectangle, by its alignment.
QRect labelInk(const QLabel* label) {
    const QFontMetrics metrics(label->font());
    const QStringList lines = label->text().split(u'\n');
    int width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    if (label->wordWrap()) width = std::min(width, label->width());
    const int height = label->wordWrap() ? label->heightForWidth(label->width())
                                         : metrics.lineSpacing() * int(lines.size());
    const QRect r = label->geometry();
    int left = r.left();
    if (label->alignment() & Qt::AlignHCenter)
        left = r.left() + (r.width() - width) / 2;
    else if (label->alignment() & Qt::AlignRight)
        left = r.right() + 1 - width;
    return QRect(left, r.top(), width, height);
}

// The part of the parent a control takes up: a label only where its text is drawn, a picture
// or icon only its pixmap.
QRect footprint(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (!label->text().isEmpty()) return labelInk(label);
        const QPixmap pixmap = label->pixmap();
        if (!pixmap.isNull()) return QRect(w->pos(), pixmap.deviceIndependentSize().toSize());
    }
    return w->geometry();
}

QRect groupTitle(const QGroupBox* group) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = group->alignment();
    return group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                          group);
}

// The reason a control's text is not shown whole, or an empty string.
QString cutText(const QWidget* w) {
    const QFontMetrics metrics(w->font());
    if (auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty()) {
        const QRect ink = labelInk(label);
        if (label->wordWrap()) {
            for (const QString& word :
                 label->text().split(QRegularExpression(QStringLiteral("\\s+"))))
                if (metrics.horizontalAdvance(word) > label->width())
                    return QStringLiteral("a word is wider than the label");
        } else if (ink.width() > label->width()) {
            return QStringLiteral("a line needs %1 px").arg(ink.width());
        }
        if (ink.height() > label->height())
            return QStringLiteral("its lines need %1 px high").arg(ink.height());
        return {};
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w);
        button && !button->text().isEmpty()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool box = qobject_cast<const QCheckBox*>(button) != nullptr;
        const QRect room = button->style()->subElementRect(
            box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, button);
        const int needed = metrics.horizontalAdvance(shownText(button->text()));
        if (button->text().contains(u'\n')) return QStringLiteral("a button draws one line only");
        if (needed > room.width())
            return QStringLiteral("its text needs %1 px of %2").arg(needed).arg(room.width());
        if (metrics.height() > room.height() + 2)
            return QStringLiteral("its text needs %1 px high").arg(metrics.height());
        return {};
    }
    if (auto* group = qobject_cast<const QGroupBox*>(w); group && !group->title().isEmpty()) {
        const QRect title = groupTitle(group);
        if (metrics.horizontalAdvance(shownText(group->title())) > title.width() ||
            title.right() >= group->width())
            return QStringLiteral("its title does not fit");
    }
    return {};
}

QStringList templateNames() {
    QStringList names;
    for (const QString& file :
         QDir(QStringLiteral(":/templates")).entryList({QStringLiteral("*.json")}, QDir::Files))
        names << file.chopped(5);
    return names;
}

// Control ids in the order Tab visits them; a control that takes the focus in a part of its own
// (the tab control's tab bar) counts as the control.
QList<int> tabOrder(const Built& built) {
    QList<int> order;
    QWidget* w = built.parent.nextInFocusChain();
    for (; w && w != &built.parent; w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled()) continue;
        QWidget* control = w;
        while (control->parentWidget() && control->parentWidget() != &built.parent)
            control = control->parentWidget();
        const int id = control->property("controlId").toInt();
        if (control->parentWidget() == &built.parent && (order.isEmpty() || order.back() != id))
            order << id;
    }
    return order;
}

}  // namespace

class TemplateLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void everyTemplateIsChecked();
    void everyTextIsWhole_data();
    void everyTextIsWhole();
    void noControlCoversAnother_data();
    void noControlCoversAnother();
    void bothSetsKeepTheKeyboardOrder_data();
    void bothSetsKeepTheKeyboardOrder();
    void thePageSummaryHeadingsReadApart_data();
    void thePageSummaryHeadingsReadApart();
};

void TemplateLayoutTest::initTestCase() {
    for (const QString& family : kFamilies) {
        const DialogUnits units(fontNamed(family));
        qInfo("font %s %d pt: dialog base units %d x %d px",
              qPrintable(QFontInfo(fontNamed(family)).family()), fontNamed(family).pointSize(),
              units.averageCharWidth(), units.charHeight());
    }
    // Both fonts are installed by the scripts (fonts-noto-cjk, fonts-ipafont-gothic).
    for (const QString& family : kFamilies)
        if (!family.isEmpty()) QCOMPARE(QFontInfo(fontNamed(family)).family(), family);
}

void TemplateLayoutTest::everyTemplateIsChecked() {
    const QStringList names = templateNames();
    QVERIFY(names.contains("page"));
    QVERIFY(names.contains("main_window"));
    QVERIFY(names.size() >= 13);  // the resource lists every template, not just the two above
    for (const QString& name : names) {
        QVERIFY2(!loadTemplate(name, Language::Japanese).controls.empty(), qPrintable(name));
        QVERIFY2(!loadTemplate(name, Language::English).controls.empty(), qPrintable(name));
    }
}

void TemplateLayoutTest::everyTextIsWhole_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("family");
    QTest::addColumn<Shown>("shown");
    for (const QString& family : kFamilies) {
        const QString font = family.isEmpty() ? QStringLiteral("dialog font") : family;
        for (const QString& name : templateNames()) {
            for (const Shown shown : {Shown::Built, Shown::Switched}) {
                const QString how = shown == Shown::Built ? QStringLiteral(", built")
                                                          : QStringLiteral(", switched");
                QTest::newRow(qPrintable(name + " ja, " + font + how))
                    << name << Language::Japanese << family << shown;
                QTest::newRow(qPrintable(name + " en, " + font + how))
                    << name << Language::English << family << shown;
            }
        }
    }
}

// Labels, buttons, check boxes and group titles show their whole text inside their own
// control, and every control lies inside its window.
void TemplateLayoutTest::everyTextIsWhole() {
    QFETCH(QString, name);
    QFETCH(Language, language);
    QFETCH(QString, family);
    QFETCH(Shown, shown);
    const Built built(name, language, family, shown);
    QStringList faults;
    int measured = 0;
    for (const QWidget* w : built.set.all()) {
        const QString cut = cutText(w);
        if (!cut.isEmpty()) faults << describe(w) + ": " + cut;
        if (!built.parent.rect().contains(footprint(w)))
            faults << describe(w) + ": outside the window";
        measured += isTextLabel(w) || qobject_cast<const QAbstractButton*>(w) ||
                    qobject_cast<const QGroupBox*>(w);
    }
    QVERIFY(measured > 0);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

void TemplateLayoutTest::noControlCoversAnother_data() {
    everyTextIsWhole_data();
}

// No control is drawn over another: texts keep at least half a blank on each side, and a group
// box holds its members wholly inside it, clear of its title.
void TemplateLayoutTest::noControlCoversAnother() {
    QFETCH(QString, name);
    QFETCH(Language, language);
    QFETCH(QString, family);
    QFETCH(Shown, shown);
    const Built built(name, language, family, shown);
    const int halfBlank = (QFontMetrics(built.parent.font()).horizontalAdvance(u' ') + 1) / 2;
    const auto area = [halfBlank](const QWidget* w) {
        const QRect r = footprint(w);
        return isTextLabel(w) ? r.adjusted(-halfBlank, 0, halfBlank, 0) : r;
    };
    QStringList faults;
    const auto& all = built.set.all();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (auto* group = qobject_cast<const QGroupBox*>(all[i])) {
            const QRect title = groupTitle(group).translated(group->pos());
            for (const QWidget* member : all) {
                if (qobject_cast<const QGroupBox*>(member)) continue;
                const QRect r = footprint(member);
                if (r.intersects(group->geometry()) && !group->geometry().contains(r))
                    faults << describe(member) + " crosses the edge of " + describe(group);
                if (r.intersects(title))
                    faults << describe(member) + " covers the title of " + describe(group);
            }
            continue;
        }
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            if (qobject_cast<const QGroupBox*>(all[j])) continue;
            if (area(all[i]).intersects(area(all[j])))
                faults << describe(all[i]) + " meets " + describe(all[j]);
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

void TemplateLayoutTest::bothSetsKeepTheKeyboardOrder_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : templateNames()) QTest::newRow(qPrintable(name)) << name;
}

// Tab visits the same controls in the same order in English as in Japanese: the template's
// order of its tab stops.
void TemplateLayoutTest::bothSetsKeepTheKeyboardOrder() {
    QFETCH(QString, name);
    const Built japanese(name, Language::Japanese);
    const Built english(name, Language::English);
    QList<int> stops;
    for (const ControlSpec& c : japanese.t.controls)
        if (c.hasStyle("tabstop")) stops << c.id;
    QCOMPARE(tabOrder(japanese), stops);
    QCOMPARE(tabOrder(english), stops);
}

void TemplateLayoutTest::thePageSummaryHeadingsReadApart_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("family");
    for (const QString& family : kFamilies) {
        const QString font = family.isEmpty() ? QStringLiteral("dialog font") : family;
        QTest::newRow(qPrintable("ja, " + font)) << Language::Japanese << "ベストラップタイム"
                                                 << "平均ラップタイム" << family;
        QTest::newRow(qPrintable("en, " + font)) << Language::English << "Best lap time"
                                                 << "Average lap time" << family;
    }
}

// The two headings of the page's second summary row stand a full blank apart in the Japanese
// font Debian installs by default (Noto Sans CJK), whose wide characters run them together.
void TemplateLayoutTest::thePageSummaryHeadingsReadApart() {
    QFETCH(Language, language);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, family);
    const Built page("page", language, family);
    const QLabel* first = nullptr;
    const QLabel* second = nullptr;
    for (QWidget* w : page.set.all()) {
        if (auto* label = qobject_cast<QLabel*>(w); label && label->text() == left) first = label;
        if (auto* label = qobject_cast<QLabel*>(w); label && label->text() == right) second = label;
    }
    QVERIFY(first && second);
    const QRect a = labelInk(first);
    const QRect b = labelInk(second);
    QCOMPARE(a.top(), b.top());
    const int blank = QFontMetrics(page.parent.font()).horizontalAdvance(u'　');  // a wide blank
    QVERIFY2(b.left() - (a.right() + 1) >= blank / 2,
             qPrintable(QStringLiteral("%1 ends at %2, %3 starts at %4")
                            .arg(left)
                            .arg(a.right())
                            .arg(right)
                            .arg(b.left())));
}

QTEST_MAIN(TemplateLayoutTest)
#include "test_template_layout.moc"
