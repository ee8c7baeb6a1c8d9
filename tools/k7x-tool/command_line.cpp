#include "command_line.h"

#include <string_view>
#include <vector>

namespace k7x {

const char* usageText() {
    return "Usage: k7x-tool [--log DIR] COMMAND\n"
           "\n"
           "Diagnostic tool for a K7X Stopwatch on a PC/SC reader (through RDCOM32).\n"
           "\n"
           "Commands:\n"
           "  readers           list the PC/SC readers\n"
           "  info              show the stopwatch's serial number, firmware, product name\n"
           "                    and type, raw battery value, clock and run information\n"
           "  dump new FILE     write the raw data of the new runs to FILE\n"
           "  dump all FILE     write the raw data of all runs to FILE\n"
           "  download new DIR  download the new runs into run files under the data folder\n"
           "                    DIR as Lapdex does, registering a new stopwatch in DIR/Lapdex.dat\n"
           "  download all DIR  the same for all runs (Reload): only missing run files are "
           "written\n"
           "  doctor [--root DIR]\n"
           "                    check PC/SC, the readers, kernel drivers, USB readers and the\n"
           "                    stopwatch, one line each ending in OK, WARN or FAIL; exit status "
           "0\n"
           "                    when a download would work (--root: read DIR/sys instead of /sys)\n"
           "\n"
           "Both dumps end, as every download does, with the erase command 01: the\n"
           "stopwatch then keeps its new runs only as old ones, so a later 'dump new'\n"
           "no longer finds them ('dump all' still does).\n"
           "\n"
           "Options:\n"
           "  --log DIR         write the library's debug log to DIR/rdcaa_debug.log\n"
           "  -h, --help        show this text\n"
           "\n"
           "Exit status: 0 on success, 1 on failure, 2 on a wrong command line.\n";
}

std::optional<Invocation> parseCommandLine(int argc, const char* const* argv, std::string& error) {
    Invocation invocation;
    std::vector<std::string_view> words;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "-h" || word == "--help") return invocation;  // Command::Help
        if (word == "--log") {
            if (i + 1 >= argc) {
                error = "--log needs a directory";
                return std::nullopt;
            }
            invocation.logDirectory = argv[++i];
            continue;
        }
        words.push_back(word);
    }
    if (!words.empty() && words[0] == "doctor") {
        invocation.command = Command::Doctor;
        invocation.arguments.assign(words.begin() + 1, words.end());
    } else if (words.size() == 1 && words[0] == "readers") {
        invocation.command = Command::Readers;
    } else if (words.size() == 1 && words[0] == "info") {
        invocation.command = Command::Info;
    } else if (words.size() == 3 && words[0] == "dump" &&
               (words[1] == "new" || words[1] == "all")) {
        invocation.command = words[1] == "new" ? Command::DumpNew : Command::DumpAll;
        invocation.file = std::string(words[2]);
    } else if (words.size() == 3 && words[0] == "download" &&
               (words[1] == "new" || words[1] == "all")) {
        invocation.command = words[1] == "new" ? Command::DownloadNew : Command::DownloadAll;
        invocation.file = std::string(words[2]);
    } else {
        error = words.empty() ? "no command given" : "unknown command line";
        return std::nullopt;
    }
    return invocation;
}

}  // namespace k7x
