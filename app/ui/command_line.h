// Lapdex's command line, read before the application object exists: --help and --version print
// and end without touching a display or the data folder; a usage mistake is told in one line.
#pragma once

#include <QString>
#include <QStringList>

namespace lapdex::ui {

enum class CommandLineAction {
    Run,          // start the program
    ShowHelp,     // print `text` on stdout, exit 0
    ShowVersion,  // print `text` on stdout, exit 0
    Refuse,       // print `text` (one line) on stderr, exit kUsageExit
};

struct CommandLine {
    static constexpr int kUsageExit = 2;
    CommandLineAction action = CommandLineAction::Run;
    QString text;  // what to print, ending in a newline; empty for Run
};

// Reads the whole argument list (arguments[0] is the program). Options: -h/--help,
// -v/--version, --lang ja|en (checked by languageArgument later), the demos' --screenshot FILE,
// and the standard Qt options (-platform, -style, ...), which QApplication reads itself.
CommandLine parseCommandLine(const QStringList& arguments);

// The --help text; the man page Lapdex(1) is made from it.
QString helpText();

}  // namespace lapdex::ui
