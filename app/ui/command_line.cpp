#include "command_line.h"

#include <QCommandLineParser>

#include "lapdex_version.h"

namespace lapdex::ui {
namespace {

// Options QApplication reads itself; taken here so they are not refused, and left out of --help.
QList<QCommandLineOption> qtOptions() {
    QList<QCommandLineOption> options;
    for (const char* name : {"platform", "platformtheme", "style", "stylesheet", "display",
                             "qwindowgeometry", "qwindowtitle", "qwindowicon", "plugin"}) {
        options.append(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    }
    options.append(QCommandLineOption(QStringLiteral("reverse")));
    for (QCommandLineOption& option : options) option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

QString refusal(const QString& mistake) {
    return QStringLiteral("Lapdex: %1 (see Lapdex --help)\n").arg(mistake);
}

}  // namespace

QString helpText() {
    return QStringLiteral(
        "Usage: Lapdex [--lang ja|en]\n"
        "Downloads the runs of a K7X Stopwatch laid on a PC/SC reader into run files and shows "
        "them.\n"
        "\n"
        "Options:\n"
        "  -h, --help       show this help and exit\n"
        "  -v, --version    show the version and exit\n"
        "  --lang LANGUAGE  show the windows in LANGUAGE for this start: ja (Japanese) or en "
        "(English);\n"
        "                   without it, the choice of the Language menu, else the system's "
        "language\n"
        "\n"
        "Files:\n"
        "  Installed under /usr, Lapdex keeps Lapdex.dat and the run folders in "
        "$XDG_DATA_HOME/Lapdex/\n"
        "  (~/.local/share/Lapdex/); started from a folder of its own, beside itself. It prints "
        "the\n"
        "  folder it uses on its first line of standard error.\n"
        "\n"
        "Exit status:\n"
        "  0   ended normally, or another Lapdex of the user was brought to the front\n"
        "  1   failed\n"
        "  2   usage mistake on the command line\n");
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("language"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(),
                                        QStringLiteral("file"));
    parser.addOptions({help, version, lang, screenshot});
    parser.addOptions(qtOptions());
    if (!parser.parse(arguments)) {
        QString error = parser.errorText();
        if (error.endsWith(QLatin1Char('.'))) error.chop(1);
        return {CommandLineAction::Refuse, refusal(error.left(1).toLower() + error.mid(1))};
    }
    if (parser.isSet(help)) return {CommandLineAction::ShowHelp, helpText()};
    if (parser.isSet(version))
        return {CommandLineAction::ShowVersion, QStringLiteral("Lapdex " LAPDEX_VERSION "\n")};
    if (!parser.positionalArguments().isEmpty()) {
        return {CommandLineAction::Refuse, refusal(QStringLiteral("unexpected argument '%1'")
                                                       .arg(parser.positionalArguments().first()))};
    }
    return {};
}

}  // namespace lapdex::ui
