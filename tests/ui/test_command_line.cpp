// Lapdex's command line: what starts the program, what prints and ends, what is refused.
#include <QTest>

#include "command_line.h"
#include "lapdex_version.h"

using namespace lapdex::ui;

class CommandLineTest : public QObject {
    Q_OBJECT
  private slots:
    void actions_data();
    void actions();
    void aRefusalIsOneLineNamingTheMistake_data();
    void aRefusalIsOneLineNamingTheMistake();
    void versionNamesTheProjectVersion();
    void helpNamesEveryOption();
};

void CommandLineTest::actions_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLineAction>("action");
    QTest::newRow("nothing") << QStringList{"Lapdex"} << CommandLineAction::Run;
    QTest::newRow("--lang ja") << QStringList{"Lapdex", "--lang", "ja"} << CommandLineAction::Run;
    QTest::newRow("--lang=en") << QStringList{"Lapdex", "--lang=en"} << CommandLineAction::Run;
    QTest::newRow("--screenshot") << QStringList{"Lapdex", "--screenshot", "/tmp/a.png"}
                                  << CommandLineAction::Run;
    QTest::newRow("-platform") << QStringList{"Lapdex", "-platform", "offscreen"}
                               << CommandLineAction::Run;
    QTest::newRow("--help") << QStringList{"Lapdex", "--help"} << CommandLineAction::ShowHelp;
    QTest::newRow("-h") << QStringList{"Lapdex", "-h"} << CommandLineAction::ShowHelp;
    QTest::newRow("help wins") << QStringList{"Lapdex", "--lang", "en", "--help"}
                               << CommandLineAction::ShowHelp;
    QTest::newRow("--version") << QStringList{"Lapdex", "--version"}
                               << CommandLineAction::ShowVersion;
    QTest::newRow("-v") << QStringList{"Lapdex", "-v"} << CommandLineAction::ShowVersion;
    QTest::newRow("--bogus") << QStringList{"Lapdex", "--bogus"} << CommandLineAction::Refuse;
    QTest::newRow("--bogus before --help")
        << QStringList{"Lapdex", "--bogus", "--help"} << CommandLineAction::Refuse;
    QTest::newRow("--lang without value")
        << QStringList{"Lapdex", "--lang"} << CommandLineAction::Refuse;
    QTest::newRow("a file") << QStringList{"Lapdex", "runs.csv"} << CommandLineAction::Refuse;
}

void CommandLineTest::actions() {
    QFETCH(QStringList, arguments);
    QFETCH(CommandLineAction, action);
    QCOMPARE(parseCommandLine(arguments).action, action);
}

void CommandLineTest::aRefusalIsOneLineNamingTheMistake_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("line");
    QTest::newRow("unknown") << QStringList{"Lapdex", "--bogus"}
                             << "Lapdex: unknown option 'bogus' (see Lapdex --help)\n";
    QTest::newRow("no value") << QStringList{"Lapdex", "--lang"}
                              << "Lapdex: missing value after '--lang' (see Lapdex --help)\n";
    QTest::newRow("argument") << QStringList{"Lapdex", "x"}
                              << "Lapdex: unexpected argument 'x' (see Lapdex --help)\n";
}

void CommandLineTest::aRefusalIsOneLineNamingTheMistake() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, line);
    QCOMPARE(parseCommandLine(arguments).text, line);
}

void CommandLineTest::versionNamesTheProjectVersion() {
    QCOMPARE(parseCommandLine({"Lapdex", "--version"}).text,
             QString("Lapdex " LAPDEX_VERSION "\n"));
}

void CommandLineTest::helpNamesEveryOption() {
    const QString help = parseCommandLine({"Lapdex", "--help"}).text;
    QVERIFY(help.startsWith("Usage: Lapdex"));
    for (const char* option : {"--help", "--version", "--lang"})
        QVERIFY2(help.contains(option), option);
    QVERIFY(!help.contains("--screenshot"));
    QVERIFY(!help.contains("platform"));
}

QTEST_APPLESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
