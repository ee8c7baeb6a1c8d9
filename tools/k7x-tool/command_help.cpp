// k7x-tool's help and its usage mistakes, made from the commands' own descriptions.
#include <map>

#include "command_line.h"
#include "command_line_app.h"

namespace k7x {
namespace {

constexpr const char* kAbout =
    "Usage: k7x-tool [--log DIR] COMMAND [ARGUMENTS] [OPTIONS]\n"
    "Diagnostics for a K7X Stopwatch on a PC/SC reader (through RDCOM32), and answers from the\n"
    "run files of a data folder (no reader needed).\n";

constexpr const char* kNotes =
    "'info' and 'dump' need the stopwatch on the reader when they start. 'download' waits up\n"
    "to 15 s for one, then makes it beep and, unless PCTIME=OFF in DIR/Lapdex.dat, sets its\n"
    "clock from this PC. An existing Lapdex.dat that cannot be read, or does not read as\n"
    "Lapdex's settings, is never replaced or added to: the download stops and says why\n"
    "('repair' rebuilds it). While a download runs, Lapdex cannot use DIR (and the other way\n"
    "round). Both dumps end, as every download does, with the erase command 01: the stopwatch\n"
    "then keeps its new runs only as old ones, so a later 'dump new' no longer finds them\n"
    "('dump all' still does). A dump checks that FILE can be written before it reads anything;\n"
    "FILE appears only once it is complete, and an existing FILE is replaced only with --force.\n"
    "\n"
    "Output folders: a missing folder to write into (dump's folder of FILE, download's DIR,\n"
    "export's OUTDIR, --log DIR) is created when the folder that holds it exists; nothing\n"
    "further up is created, and a folder created for a command that wrote nothing is removed.\n"
    "\n"
    "The commands over a data folder read the run index in the cache folder, or the folders\n"
    "themselves when it cannot be kept. They print tab-separated lines, header first, or with\n"
    "--json one JSON document (numbers as numbers, times in seconds, paths relative to the data\n"
    "folder). Dates and times are written as 2024-05-01T07:30:00, run and lap times in seconds\n"
    "(121.33). A date option takes a day that exists, as YYYY-MM-DD.\n"
    "\n"
    "Club folders: --also DIR (repeatable) adds the runs of another PC's data folder, as a sync\n"
    "engine or a network share carries it here, read-only; its own run index is kept in the\n"
    "cache folder. Each answer then has a \"pc\" column (JSON: field) first: the name of the\n"
    "folder a row was read from, the data folder's own name for its rows (\"PC-B\" for\n"
    "/srv/club/PC-B; \" (2)\" and on are added to names given twice). A run reached through two\n"
    "folders (same stopwatch, start and laps) is listed once: the data folder's copy, else the\n"
    "first --also that has it. k7x-tool never writes into a folder of --also (exit 2), nor into a\n"
    "club folder of Lapdex's settings (~/.config/Lapdex/Lapdex.conf; exit 1).\n"
    "\n"
    "Ctrl-C (or SIGTERM) during 'download', 'dump' or 'export' finishes or removes the file\n"
    "being written, leaves no temporary file, and says in one line what is on disk and what to\n"
    "run next.\n";

constexpr const char* kExitStatus =
    "Exit status:\n"
    "  0    done\n"
    "  1    failed\n"
    "  2    a usage mistake: one line names it, the next gives the command's synopsis\n"
    "  3    partial: 'repair' could not decide every folder, or an answer over a data folder\n"
    "       leaves out runs or folders that could not be read (each named on stderr)\n"
    "  130  interrupted (Ctrl-C or SIGTERM)\n";

std::string optionLine(const CLI::Option& option) {
    std::string names = option.get_name(false, true);
    for (std::size_t comma = names.find(','); comma != std::string::npos;
         comma = names.find(',', comma + 2))
        names.replace(comma, 1, ", ");
    if (!option.get_type_name().empty()) names += " " + option.get_type_name();
    std::string line = "  " + names;
    line += line.size() < 22 ? std::string(22 - line.size(), ' ') : "\n" + std::string(22, ' ');
    return line + option.get_description() + "\n";
}

// `text` broken at spaces into lines of at most 79 columns, each after `indent` spaces.
std::string wrapped(const std::string& text, std::size_t indent) {
    std::string lines;
    std::string line(indent, ' ');
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (line.size() > indent && line.size() + 1 + word.size() > 79) {
            lines += line + "\n";
            line = std::string(indent, ' ');
        }
        line += (line.size() > indent ? " " : "") + word;
        start = end + 1;
    }
    return lines + line + "\n";
}

bool isHelp(const CLI::App& app, const CLI::Option* option) {
    return option == app.get_help_ptr();
}

std::string quoted(const std::string& word) {
    return "'" + word + "'";
}

}  // namespace

std::string synopsisOf(const CLI::App& command) {
    std::string line = "k7x-tool";
    if (usesLibrary(command)) line += " [--log DIR]";
    line += " " + command.get_name();
    for (const CLI::Option* option : command.get_options()) {
        if (!option->get_positional()) continue;
        const std::string type = option->get_type_name();
        line += " " + (type.empty() ? option->get_name() : type);
    }
    for (const CLI::Option* option : command.get_options()) {
        if (option->get_positional() || isHelp(command, option)) continue;
        std::string word = option->get_name();
        if (!option->get_type_name().empty()) word += " " + option->get_type_name();
        line += option->get_required() ? " " + word : " [" + word + "]";
    }
    return line;
}

std::string helpText() {
    const ToolApp tool;
    std::string text = std::string(kAbout) + "\nCommands:\n";
    std::map<std::string, std::string> commandOptions;
    for (const CLI::App* command : tool.app.get_subcommands([](const CLI::App*) { return true; })) {
        text += "  " + synopsisOf(*command) + "\n" + wrapped(command->get_description(), 6);
        for (const CLI::Option* option : command->get_options()) {
            if (option->get_positional() || isHelp(*command, option)) continue;
            commandOptions.emplace(option->get_name(), optionLine(*option));
        }
    }
    text +=
        "\nOptions of every command, before or after it ('k7x-tool COMMAND --help' shows\n"
        "one command's own):\n";
    for (const CLI::Option* option : tool.app.get_options()) text += optionLine(*option);
    text += "\nOptions of the commands:\n";
    for (const auto& [name, line] : commandOptions) text += line;
    return text + "\n" + kNotes + "\n" + kExitStatus;
}

namespace {

// "DATAFOLDER is required" or "--format is required": what the command still needs.
std::string missing(const std::string& what, const CLI::App* command) {
    const std::string name = what.substr(0, what.find(' '));
    static const std::map<std::string, std::string> kMeaning = {
        {"MODE", "'new' or 'all'"},
        {"FILE", "an output FILE"},
        {"DIR", "a data folder DIR"},
        {"DATAFOLDER", "a data folder DATAFOLDER"},
        {"OUTDIR", "an output folder OUTDIR"},
        {"RUNFILE", "a run file RUNFILE"},
        {"DATE", "a date YYYY-MM-DD"},
        {"--format", "--format xlsx|csv|tcx"},
    };
    const auto meaning = kMeaning.find(name);
    return quoted(command != nullptr ? command->get_name() : "k7x-tool") + " needs " +
           (meaning != kMeaning.end() ? meaning->second : name);
}

bool afterOptionsEnd(const std::string& word, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--") return true;
        if (word == argv[i]) return false;
    }
    return false;
}

}  // namespace

std::string mistakeOf(const CLI::ParseError& error, const CLI::App& app, int argc,
                      const char* const* argv) {
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    const CLI::App* command = chosen.empty() ? nullptr : chosen.front();
    const std::string what = error.what();
    const std::vector<std::string> extra = app.remaining();
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
        if (command != nullptr) return missing(what, command);
        if (extra.empty()) return "no command given";
        return extra.front().rfind('-', 0) == 0 ? "unknown option " + quoted(extra.front())
                                                : "unknown command " + quoted(extra.front());
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr && !extra.empty()) {
        const std::string& word = extra.front();
        const bool option = word.size() > 1 && word[0] == '-' && !afterOptionsEnd(word, argc, argv);
        return (option ? "unknown option " : "extra argument ") + quoted(word);
    }
    const std::size_t colon = what.find(": ");
    const std::string name = colon == std::string::npos ? "" : what.substr(0, colon);
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr && !name.empty())
        return name + " needs a value";
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr && !name.empty()) {
        // A positional argument is told by its command: "'day' takes a real date ...".
        const bool positional = name[0] != '-';
        const std::string who =
            positional && command != nullptr ? quoted(command->get_name()) : name;
        return who + " " + what.substr(colon + 2);
    }
    return what;
}

}  // namespace k7x
