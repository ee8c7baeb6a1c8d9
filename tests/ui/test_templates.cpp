// Dialog templates and the builder: both language sets, dialog-unit geometry, the font.
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialog_builder.h"
#include "dialog_template.h"
#include "dialog_units.h"

using namespace lapdex::ui;

class TemplatesTest : public QObject {
    Q_OBJECT
  private slots:
    void everyTemplateHasBothSetsWithTheSameIds_data();
    void everyTemplateHasBothSetsWithTheSameIds();
    void dialogUnitsRoundLikeTheDialogManager();
    void builderPlacesControlsByDialogUnits();
    void dialogFontIsJapanese();
    void mainWindowMenusKeepTheirIds();
    void noTextIsCutInTheDialogFont_data();
    void noTextIsCutInTheDialogFont();
    void aWideTextWidensTheDialogButKeepsItsPlace();
};

void TemplatesTest::everyTemplateHasBothSetsWithTheSameIds_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ja");
    QTest::addColumn<int>("en");
    QTest::newRow("main") << "main_window" << 102 << 169;
    QTest::newRow("page") << "page" << 130 << 171;
    QTest::newRow("touch") << "touch" << 150 << 170;
    QTest::newRow("download") << "download" << 153 << 163;
    QTest::newRow("readEnd") << "read_end" << 152 << 167;
    QTest::newRow("clearEnd") << "clear_end" << 151 << 162;
    QTest::newRow("noData") << "no_data" << 154 << 166;
    QTest::newRow("transErr") << "trans_err" << 175 << 177;
    QTest::newRow("userFull") << "user_full" << 176 << 178;
    QTest::newRow("userId") << "user_id_edit" << 146 << 164;
    QTest::newRow("runMemo") << "run_memo" << 155 << 168;
    QTest::newRow("lapMemo") << "lap_memo" << 147 << 165;
    QTest::newRow("about") << "about_box" << 100 << 161;
}

void TemplatesTest::everyTemplateHasBothSetsWithTheSameIds() {
    QFETCH(QString, name);
    QFETCH(int, ja);
    QFETCH(int, en);
    const DialogTemplate j = loadTemplate(name, Language::Japanese);
    const DialogTemplate e = loadTemplate(name, Language::English);
    QCOMPARE(j.name, name);
    QCOMPARE(j.resource, ja);
    QCOMPARE(e.resource, en);
    QVERIFY(!j.controls.empty());
    QCOMPARE(j.controls.size(), e.controls.size());
    for (size_t i = 0; i < j.controls.size(); ++i) {
        QCOMPARE(j.controls[i].id, e.controls[i].id);
        QCOMPARE(j.controls[i].kind, e.controls[i].kind);
        QVERIFY2(j.controls[i].rect.isValid(), qPrintable(name));
        // Every control lies inside its dialog.
        QVERIFY(QRect(QPoint(0, 0), j.size).contains(j.controls[i].rect));
    }
}

void TemplatesTest::dialogUnitsRoundLikeTheDialogManager() {
    const DialogUnits units(7, 15);
    QCOMPARE(units.toPixelsX(4), 7);
    QCOMPARE(units.toPixelsX(50), 88);  // 87.5 rounds up
    QCOMPARE(units.toPixelsY(8), 15);
    QCOMPARE(units.toPixelsY(14), 26);  // 26.25
    QCOMPARE(units.toPixels(QRect(7, 30, 474, 248)), QRect(12, 56, 830, 465));
}

void TemplatesTest::builderPlacesControlsByDialogUnits() {
    const DialogTemplate t = loadTemplate("trans_err");
    QWidget parent;
    QFont small = parent.font();
    small.setPixelSize(6);  // every text fits: nothing is widened
    parent.setFont(small);
    const DialogUnits units(6, 14);
    const ControlSet set = buildControls(t, &parent, units);
    QCOMPARE(parent.size(), QSize(units.toPixelsX(232), units.toPixelsY(73)));
    auto* ok = set.as<QPushButton>(1);
    QVERIFY(ok);
    QCOMPARE(ok->geometry(), QRect(units.toPixelsX(175), units.toPixelsY(52), units.toPixelsX(50),
                                   units.toPixelsY(14)));
    QVERIFY(ok->isDefault());
    QCOMPARE(ok->property("controlId").toInt(), 1);
    QCOMPARE(set.all().size(), size_t(3));
    QVERIFY(set.control(1021));
    QCOMPARE(set.control(1021)->property("iconKind").toString(), QString("warning"));
}

void TemplatesTest::dialogFontIsJapanese() {
    const QFont font = dialogFont();
    QCOMPARE(font.pointSize(), 8);
    const QString family = QFontInfo(font).family();
    QVERIFY2(family.contains("CJK") || family == "メイリオ" || family == "Meiryo",
             qPrintable(family));
    const DialogUnits units(font);
    QVERIFY(units.averageCharWidth() >= 4 && units.averageCharWidth() <= 12);
    QVERIFY(units.charHeight() >= 10 && units.charHeight() <= 24);
}

void TemplatesTest::mainWindowMenusKeepTheirIds() {
    const DialogTemplate j = loadTemplate("main_window");
    const DialogTemplate e = loadTemplate("main_window", Language::English);
    QCOMPARE(j.title, QString("Tarvik K7X Stopwatch"));
    QCOMPARE(j.menuBar.size(), size_t(6));
    const int ids[] = {32786, 32785, 57670, 32789, 32787, 32788};
    for (size_t i = 0; i < 6; ++i) {
        QCOMPARE(j.menuBar[i].id, ids[i]);
        QCOMPARE(e.menuBar[i].id, ids[i]);
    }
    QCOMPARE(j.menuBar[0].text, QString("再読み込み(&R)"));
    QCOMPARE(j.menuBar[4].text, QString("エクスポート(&E)"));
    QCOMPARE(j.contextMenu.size(), size_t(2));
    QCOMPARE(j.contextMenu[0].id, 32775);
    QCOMPARE(j.contextMenu[1].text, QString("削除"));
}

void TemplatesTest::noTextIsCutInTheDialogFont_data() {
    everyTemplateHasBothSetsWithTheSameIds_data();
}

// Every label keeps each of its lines whole and lies inside its dialog, whatever font the
// machine has; the dialog is never smaller than its template.
void TemplatesTest::noTextIsCutInTheDialogFont() {
    QFETCH(QString, name);
    const DialogTemplate t = loadTemplate(name);
    QWidget parent;
    parent.setFont(dialogFont());
    const DialogUnits units(parent.font());
    const ControlSet set = buildControls(t, &parent, units);
    QVERIFY(parent.width() >= units.toPixelsX(t.size.width()));
    QVERIFY(parent.height() >= units.toPixelsY(t.size.height()));
    const QFontMetrics metrics(parent.font());
    for (QWidget* w : set.all()) {
        auto* label = qobject_cast<QLabel*>(w);
        if (!label || label->text().isEmpty()) continue;
        const QStringList lines = label->text().split(u'\n');
        const QString where = name + ": " + label->text();
        QVERIFY2(!label->wordWrap(), qPrintable(where));
        for (const QString& line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= label->width(), qPrintable(where));
        QVERIFY2(metrics.lineSpacing() * int(lines.size()) <= label->height(), qPrintable(where));
        QVERIFY2(parent.rect().contains(label->geometry()), qPrintable(where));
    }
}

void TemplatesTest::aWideTextWidensTheDialogButKeepsItsPlace() {
    DialogTemplate t;
    t.size = QSize(100, 40);
    ControlSpec label;
    label.id = 7;
    label.kind = "label";
    label.text = QString(40, QChar(u'あ'));
    label.rect = QRect(10, 10, 60, 8);
    t.controls.push_back(label);
    QWidget parent;
    parent.setFont(dialogFont());
    const DialogUnits units(parent.font());
    const ControlSet set = buildControls(t, &parent, units);
    QWidget* built = set.control(7);
    const int needed = QFontMetrics(parent.font()).horizontalAdvance(label.text);
    QCOMPARE(built->pos(), units.toPixels(label.rect).topLeft());
    QVERIFY(built->width() >= needed);
    // The template's right margin (30 units), capped at the usual 7 units.
    QCOMPARE(parent.width(), built->geometry().right() + 1 + units.toPixelsX(7));
    QCOMPARE(parent.height(), units.toPixelsY(40));
}

QTEST_MAIN(TemplatesTest)
#include "test_templates.moc"
