#include "command_line.h"

#include <string_view>
#include <vector>

namespace k7x {
namespace {

// One form of a command: its word, its mode word ("" when it takes none), the name of its
// one argument ("" when it takes none) and what that argument is, for the error when it is
// missing. A new command is one more row.
struct CommandForm {
    std::string_view word;
    std::string_view mode;
    std::string_view argument;
    std::string_view argumentText;
    Command command;
};

constexpr CommandForm kForms[] = {
    {"readers", "", "", "", Command::Readers},
    {"info", "", "", "", Command::Info},
    {"dump", "new", "FILE", "an output FILE", Command::DumpNew},
    {"dump", "all", "FILE", "an output FILE", Command::DumpAll},
    {"download", "new", "DIR", "a data folder DIR", Command::DownloadNew},
    {"download", "all", "DIR", "a data folder DIR", Command::DownloadAll},
};

// Commands that parse their own options and arguments: every word after the command word
// goes to them unread.
struct OwnArgumentsCommand {
    std::string_view word;
    std::string_view usage;
    Command command;
};

constexpr OwnArgumentsCommand kOwnArguments[] = {
    {"doctor", "doctor [--root DIR]", Command::Doctor},
};

const OwnArgumentsCommand* findOwnArguments(std::string_view word) {
    for (const OwnArgumentsCommand& entry : kOwnArguments) {
        if (entry.word == word) return &entry;
    }
    return nullptr;
}

std::string quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

// "new' or 'all" for the modes of `word`.
std::string modesOf(std::string_view word) {
    std::string modes;
    for (const CommandForm& form : kForms) {
        if (form.word != word) continue;
        if (!modes.empty()) modes += " or ";
        modes += quoted(form.mode);
    }
    return modes;
}

const CommandForm* findForm(std::string_view word, std::string_view mode) {
    for (const CommandForm& form : kForms) {
        if (form.word == word && (form.mode.empty() || form.mode == mode)) return &form;
    }
    return nullptr;
}

bool takesMode(std::string_view word) {
    for (const CommandForm& form : kForms) {
        if (form.word == word && !form.mode.empty()) return true;
    }
    return false;
}

bool isKnownWord(std::string_view word) {
    for (const CommandForm& form : kForms) {
        if (form.word == word) return true;
    }
    return findOwnArguments(word) != nullptr;
}

// Matches the words against the forms; null with `error` set when none fits.
const CommandForm* matchForm(const std::vector<std::string_view>& words, std::string& error) {
    if (words.empty()) {
        error = "no command given";
        return nullptr;
    }
    const std::string_view word = words[0];
    if (!isKnownWord(word)) {
        error = "unknown command " + quoted(word);
        return nullptr;
    }
    const bool withMode = takesMode(word);
    if (withMode && words.size() < 2) {
        error = quoted(word) + " needs " + modesOf(word);
        return nullptr;
    }
    const CommandForm* form = findForm(word, withMode ? words[1] : "");
    if (form == nullptr) {
        error = quoted(word) + " takes " + modesOf(word) + ", not " + quoted(words[1]);
        return nullptr;
    }
    const size_t used = (withMode ? 2 : 1) + (form->argument.empty() ? 0 : 1);
    const std::string name = std::string(word) + (withMode ? " " + std::string(form->mode) : "");
    if (words.size() < used) {
        error = quoted(name) + " needs " + std::string(form->argumentText);
        return nullptr;
    }
    if (words.size() > used) {
        error = "extra argument " + quoted(words[used]) + " after " +
                quoted(name + (form->argument.empty() ? "" : " " + std::string(form->argument)));
        return nullptr;
    }
    return form;
}

// The usage lines of `commandWord`, or of every command when it names none.
std::string usageLines(std::string_view commandWord) {
    std::string text;
    for (const CommandForm& form : kForms) {
        if (isKnownWord(commandWord) && form.word != commandWord) continue;
        std::string line = "k7x-tool [--log DIR] " + std::string(form.word);
        if (!form.mode.empty()) line += " " + std::string(form.mode);
        if (!form.argument.empty()) line += " " + std::string(form.argument);
        text += (text.empty() ? "usage: " : "       ") + line + "\n";
    }
    for (const OwnArgumentsCommand& entry : kOwnArguments) {
        if (isKnownWord(commandWord) && entry.word != commandWord) continue;
        text += (text.empty() ? "usage: " : "       ") + std::string("k7x-tool [--log DIR] ") +
                std::string(entry.usage) + "\n";
    }
    return text;
}

}  // namespace

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
           "  repair DIR        rebuild a lost or damaged DIR/Lapdex.dat from the stopwatch\n"
           "                    folders (serials from the run file names, tab names from the\n"
           "                    folder names); the old file is moved aside first. Exit status 3\n"
           "                    when a folder could not be decided (runs of two stopwatches, no\n"
           "                    run file): it is named on stderr and left unregistered\n"
           "\n"
           "'info' and 'dump' need the stopwatch on the reader when they start. 'download'\n"
           "waits up to 15 s for one, then makes it beep and, unless PCTIME=OFF in\n"
           "DIR/Lapdex.dat, sets its clock from this PC. DIR is created when missing; when\n"
           "nothing was downloaded, nothing is left behind in it. An existing Lapdex.dat\n"
           "that cannot be read, or does not read as Lapdex's settings, is never replaced\n"
           "or added to: the download stops and says why ('repair' rebuilds it). While a\n"
           "download runs, Lapdex cannot use DIR (and the other way round).\n"
           "\n"
           "Ctrl-C (or SIGTERM) during 'download', 'dump' or 'export' finishes or removes\n"
           "the file being written, leaves no temporary file, says in one line what is on\n"
           "disk and what to run next, and exits with status 130.\n"
           "\n"
           "Both dumps end, as every download does, with the erase command 01: the\n"
           "stopwatch then keeps its new runs only as old ones, so a later 'dump new'\n"
           "no longer finds them ('dump all' still does). A dump checks that FILE can be\n"
           "written before it reads anything, and FILE appears only once it is complete.\n"
           "\n"
           "Options:\n"
           "  --log DIR         write the library's debug log to DIR/rdcaa_debug.log\n"
           "  -h, --help        show this text\n"
           "  --version         show the version and exit\n"
           "\n"
           "Exit status: 0 on success, 1 on failure, 2 on a wrong command line, 3 when\n"
           "'repair' rebuilt only part of the registry, 130 when interrupted.\n";
}

std::optional<Invocation> parseCommandLine(int argc, const char* const* argv, std::string& error) {
    Invocation invocation;
    std::vector<std::string_view> words;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (words.size() == 1 && findOwnArguments(words[0]) != nullptr) {
            invocation.command = findOwnArguments(words[0])->command;
            invocation.arguments.assign(argv + i, argv + argc);
            return invocation;
        }
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            words.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "-h" || word == "--help") {
            return invocation;  // Command::Help
        } else if (word == "--log") {
            if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
                error = "--log needs a folder (the log goes to DIR/rdcaa_debug.log)\n";
                return std::nullopt;
            }
            invocation.logDirectory = argv[++i];
        } else {
            error = "unknown option " + quoted(word) + "\n";
            return std::nullopt;
        }
    }
    if (words.size() == 1 && findOwnArguments(words[0]) != nullptr) {
        invocation.command = findOwnArguments(words[0])->command;
        return invocation;
    }
    const CommandForm* form = matchForm(words, error);
    if (form == nullptr) {
        error += "\n" + usageLines(words.empty() ? std::string_view() : words[0]);
        return std::nullopt;
    }
    invocation.command = form->command;
    if (!form->argument.empty()) invocation.file = std::string(words.back());
    return invocation;
}

}  // namespace k7x
