// Lapdex: downloads the runs of a K7X Stopwatch laid on a PC/SC reader.
#include <cstdio>

#include "command_line.h"
#include "lapdex_app.h"

namespace {

QStringList argumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    // Read before QApplication: --help and --version need no display and create nothing.
    const lapdex::ui::CommandLine line = lapdex::ui::parseCommandLine(argumentList(argc, argv));
    switch (line.action) {
        case lapdex::ui::CommandLineAction::ShowHelp:
        case lapdex::ui::CommandLineAction::ShowVersion:
            std::fputs(line.text.toLocal8Bit().constData(), stdout);
            return 0;
        case lapdex::ui::CommandLineAction::Refuse:
            std::fputs(line.text.toLocal8Bit().constData(), stderr);
            return lapdex::ui::CommandLine::kUsageExit;
        case lapdex::ui::CommandLineAction::Run:
            break;
    }
    lapdex::ui::CLapdexApp app(argc, argv);
    return app.run();
}
