// Every text exists in both languages: no Japanese string literal outside the text headers,
// dialog templates whose Japanese and English sets match control for control, and the shape
// check that keeps a text's two forms in step.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include "bilingual_text.h"
#include "source_literals.h"

using lapdex::test::holdsJapanese;
using lapdex::test::JapaneseForms;
using lapdex::test::Literal;
using lapdex::test::stringLiterals;
using lapdex::texts::sameShape;

namespace {

const QString kSourceDir = QStringLiteral(LAPDEX_SOURCE_DIR);

// Japanese literals that are data, not texts the user reads in the program's language.
struct AllowedLiteral {
    const char* path;     // relative to the source folder
    const char* literal;  // the literal's text; nullptr allows every literal of the file
};
const AllowedLiteral kAllowed[] = {
    // The run files' header lines: spreadsheet users and other programs read them in Japanese,
    // whatever language the program shows.
    {"app/store/run_file_format.cpp", nullptr},
    // Font family names as fontconfig knows them, not texts.
    {"app/ui/dialog_units.cpp", "メイリオ"},
    {"app/ui/manual/main.cpp", "メイリオ"},
};

bool isTextHeader(const QString& path) {
    return path.endsWith(QStringLiteral("_texts.h"));
}

bool allowed(const QString& path, const Literal& literal) {
    for (const AllowedLiteral& a : kAllowed) {
        if (path == QLatin1String(a.path) && (!a.literal || literal.text == a.literal)) return true;
    }
    return false;
}

QStringList sourceFiles() {
    QStringList files;
    QDirIterator it(kSourceDir + QStringLiteral("/app"),
                    {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(kSourceDir).relativeFilePath(it.next());
    files.sort();
    return files;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Walks the Japanese and English sets side by side: lists of controls or menu items must match
// in length, ids and kinds; a text present on one side is present on the other with the same
// placeholders and menu key, and an English text holds no Japanese.
void compareSets(const QJsonValue& ja, const QJsonValue& en, const QString& where,
                 QStringList& faults) {
    // Lists of controls or menu items; lists of plain values (styles, rectangles) may differ.
    const auto listOfObjects = [](const QJsonValue& v) {
        return v.isArray() && !v.toArray().isEmpty() && v.toArray().first().isObject();
    };
    if (listOfObjects(ja) || listOfObjects(en)) {
        const QJsonArray a = ja.toArray();
        const QJsonArray b = en.toArray();
        if (a.size() != b.size()) {
            faults << QStringLiteral("%1: %2 Japanese entries, %3 English")
                          .arg(where)
                          .arg(a.size())
                          .arg(b.size());
            return;
        }
        for (qsizetype i = 0; i < a.size(); ++i)
            compareSets(a[i], b[i], QStringLiteral("%1[%2]").arg(where).arg(i), faults);
        return;
    }
    if (!ja.isObject() || !en.isObject()) return;
    const QJsonObject a = ja.toObject();
    const QJsonObject b = en.toObject();
    for (const QString& key : {QStringLiteral("id"), QStringLiteral("kind")}) {
        if (a.value(key) != b.value(key))
            faults << QStringLiteral("%1: %2 differs (%3 / %4)")
                          .arg(where, key, a.value(key).toVariant().toString(),
                               b.value(key).toVariant().toString());
    }
    for (const QString& key :
         {QStringLiteral("text"), QStringLiteral("title"), QStringLiteral("name")}) {
        const QByteArray jaText = a.value(key).toString().toUtf8();
        const QByteArray enText = b.value(key).toString().toUtf8();
        if (jaText.isEmpty() && enText.isEmpty()) continue;
        if (!sameShape(jaText.toStdString(), enText.toStdString()))
            faults << QStringLiteral(
                          "%1: %2 \"%3\" / \"%4\" differ in presence, placeholders or menu key")
                          .arg(where, key, QString::fromUtf8(jaText), QString::fromUtf8(enText));
        if (holdsJapanese(enText.toStdString(), JapaneseForms::KanaAndIdeographs))
            faults << QStringLiteral("%1: English %2 \"%3\" is Japanese")
                          .arg(where, key, QString::fromUtf8(enText));
    }
    for (auto it = a.begin(); it != a.end(); ++it) {
        if (it.value().isArray() || it.value().isObject())
            compareSets(it.value(), b.value(it.key()), where + QLatin1Char('.') + it.key(), faults);
    }
}

}  // namespace

class TextsCompleteTest : public QObject {
    Q_OBJECT
  private slots:
    void literalsAreFoundAsTheCompilerSeesThem();
    void noJapaneseLiteralOutsideTheTextHeaders();
    void templatesHaveMatchingSets();
    void sameShapeComparesPresencePlaceholdersAndMenuKeys_data();
    void sameShapeComparesPresencePlaceholdersAndMenuKeys();
};

// The scan is only as good as its reading of C++: comments, character literals, digit separators
// and raw strings must neither hide a literal nor invent one.
void TextsCompleteTest::literalsAreFoundAsTheCompilerSeesThem() {
    const std::string source =
        "// \"コメント\" in a line comment\n"
        "/* \"コメント\" in a block\n comment */ int a = 1'000'000;\n"
        "char q = '\"'; char e = '\\''; auto s = \"ひとつ\\\"目\";\n"
        "auto r = R\"x(raw \"二つ目\" )\" still)x\"; auto u = u8\"三つ目\";\n"
        "auto ascii = \"plain // not a comment\"; auto w = L\"四つ目\";\n";
    const std::vector<Literal> found = stringLiterals(source);
    std::vector<std::pair<int, std::string>> japanese;
    for (const Literal& literal : found)
        if (holdsJapanese(literal.text)) japanese.emplace_back(literal.line, literal.text);
    const std::vector<std::pair<int, std::string>> expected = {
        {4, "ひとつ\\\"目"}, {5, "raw \"二つ目\" )\" still"}, {5, "三つ目"}, {6, "四つ目"}};
    QCOMPARE(japanese, expected);
    QCOMPARE(found.size(), std::size_t{5});  // the plain literal too, and no comment text
    QVERIFY(holdsJapanese("～"));            // full-width forms count
    QVERIFY(holdsJapanese("、"));
    QVERIFY(!holdsJapanese("K7X Stopwatch — 100%"));
    QVERIFY(!holdsJapanese("00：03’23”25", JapaneseForms::KanaAndIdeographs));
    QVERIFY(holdsJapanese("Lap ラップ", JapaneseForms::KanaAndIdeographs));
}

void TextsCompleteTest::noJapaneseLiteralOutsideTheTextHeaders() {
    const QStringList files = sourceFiles();
    QVERIFY2(files.size() > 100,
             qPrintable(QStringLiteral("only %1 sources under app/").arg(files.size())));
    QStringList faults;
    QStringList usedAllowances;
    for (const QString& path : files) {
        if (isTextHeader(path)) continue;
        const QByteArray source = readAll(kSourceDir + QLatin1Char('/') + path);
        for (const Literal& literal : stringLiterals(source.toStdString())) {
            if (!holdsJapanese(literal.text)) continue;
            const QString finding = QStringLiteral("%1:%2: \"%3\"")
                                        .arg(path)
                                        .arg(literal.line)
                                        .arg(QString::fromStdString(literal.text));
            if (allowed(path, literal))
                usedAllowances << path;
            else
                faults << finding;
        }
    }
    QVERIFY2(faults.isEmpty(),
             qPrintable(QStringLiteral("Japanese literals outside *_texts.h:\n  ") +
                        faults.join(QStringLiteral("\n  "))));
    // An allowance that matches nothing any more is dropped from the list, not kept "just in case".
    for (const AllowedLiteral& a : kAllowed)
        QVERIFY2(usedAllowances.contains(QLatin1String(a.path)), a.path);
}

void TextsCompleteTest::templatesHaveMatchingSets() {
    const QDir folder(kSourceDir + QStringLiteral("/app/ui/templates"));
    const QStringList names = folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 13);
    QStringList faults;
    for (const QString& name : names) {
        QJsonParseError error;
        const QJsonDocument document =
            QJsonDocument::fromJson(readAll(folder.filePath(name)), &error);
        QVERIFY2(document.isObject(),
                 qPrintable(name + QStringLiteral(": ") + error.errorString()));
        const QJsonObject root = document.object();
        if (!root.value(QStringLiteral("ja")).isObject() ||
            !root.value(QStringLiteral("en")).isObject()) {
            faults << name + QStringLiteral(": needs a \"ja\" and an \"en\" set");
            continue;
        }
        const QJsonObject ja = root.value(QStringLiteral("ja")).toObject();
        const QJsonObject en = root.value(QStringLiteral("en")).toObject();
        if (ja.keys() != en.keys())
            faults << name + QStringLiteral(": the sets have different parts");
        if (!ja.value(QStringLiteral("controls")).isArray())
            faults << name + QStringLiteral(": no controls");
        compareSets(ja, en, name, faults);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TextsCompleteTest::sameShapeComparesPresencePlaceholdersAndMenuKeys_data() {
    QTest::addColumn<QString>("ja");
    QTest::addColumn<QString>("en");
    QTest::addColumn<bool>("same");
    const auto row = [](const char* name, const char* ja, const char* en, bool same) {
        QTest::newRow(name) << QString::fromUtf8(ja) << QString::fromUtf8(en) << same;
    };
    row("plain", "終了", "Exit", true);
    row("no English", "終了", "", false);
    row("no Japanese", "", "Exit", false);
    row("neither", "", "", false);
    row("numbered in another order", "%1年%2", "%2 %1", true);
    row("%1 against %2", "%1 件", "%2 runs", false);
    row("a numbered one missing", "%1 件のうち %2 件", "%1 runs", false);
    row("a numbered one twice", "%1 / %1", "%1", false);
    row("%s on both", "\"%s\"を削除します。", "Delete \"%s\"?", true);
    row("%s missing", "\"%s\"を削除します。", "Delete it?", false);
    row("%d against %s", "%d 秒", "%s seconds", false);
    row("percent sign", "100%%", "100%%", true);
    row("escaped percent is no placeholder", "%%1", "%1", false);
    row("menu key on both", "表示(&W)", "&View", true);
    row("menu key in Japanese only", "表示(&W)", "View", false);
    row("menu key in English only", "表示", "&View", false);
    row("literal ampersand", "保存&&終了", "Save && exit", true);
    row("literal ampersand against a key", "保存&&終了", "Save &exit", false);
    row("ampersand before a space", "A & B", "A and B", true);
}

void TextsCompleteTest::sameShapeComparesPresencePlaceholdersAndMenuKeys() {
    QFETCH(QString, ja);
    QFETCH(QString, en);
    QFETCH(bool, same);
    QCOMPARE(sameShape(ja.toStdString(), en.toStdString()), same);
}

QTEST_GUILESS_MAIN(TextsCompleteTest)
#include "test_texts_complete.moc"
