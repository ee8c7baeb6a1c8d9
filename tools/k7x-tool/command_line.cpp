// k7x-tool's commands and options, described once for CLI11.
#include "command_line.h"

#include <utility>

#include "calendar_date.h"
#include "command_line_app.h"
#include "lapdex_version.h"

namespace k7x {
namespace {

constexpr const char* kExitStatusLine =
    "Exit status: 0 done, 1 failed, 2 usage mistake, 3 partial (some runs or folders left out, "
    "each named on stderr), 130 interrupted.";

// "takes xlsx, csv or tcx, not 'pdf'" when the value is none of `words`.
CLI::Validator oneOf(std::vector<std::string> words, std::string said) {
    return CLI::Validator(
        [words = std::move(words), said = std::move(said)](std::string& value) {
            for (const std::string& word : words) {
                if (value == word) return std::string();
            }
            return "takes " + said + ", not '" + value + "'";
        },
        "");
}

const CLI::Validator kDate(
    [](std::string& value) {
        return isCalendarDate(value) ? std::string()
                                     : "takes a real date as YYYY-MM-DD, not '" + value + "'";
    },
    "");

const CLI::Validator kLapCount(
    [](std::string& value) {
        const bool digits = !value.empty() && value.size() <= 6 &&
                            value.find_first_not_of("0123456789") == std::string::npos;
        const long laps = digits ? std::stol(value) : 0;
        return laps >= 1 && laps <= 100000
                   ? std::string()
                   : "takes a lap count from 1 to 100000, not '" + value + "'";
    },
    "");

const CLI::Validator kFolder(
    [](std::string& value) { return value.empty() ? std::string("needs a folder") : ""; }, "");

CLI::App* command(CLI::App& app, const char* name, const char* summary) {
    CLI::App* sub = app.add_subcommand(name, summary);
    sub->footer(kExitStatusLine);
    return sub;
}

void positional(CLI::App& sub, const char* name, std::string& target, const char* help) {
    sub.add_option(name, target, help)->required()->type_name("");
}

// dump and download: MODE says which runs they read.
CLI::App* modeCommand(CLI::App& app, const char* name, const char* summary, OptionWords& words) {
    CLI::App* sub = command(app, name, summary);
    sub->add_option("MODE", words.mode, "new: the runs not downloaded yet; all: every run")
        ->required()
        ->type_name("new|all")
        ->check(oneOf({"new", "all"}, "'new' or 'all'"));
    return sub;
}

void describeReaderCommands(CLI::App& app, Invocation& in, OptionWords& words) {
    command(app, "readers", "list the PC/SC readers and mark the one RDCOM32 uses");
    command(app, "info",
            "show the stopwatch's serial number, firmware, product name and type, raw battery "
            "value, clock and run information");
    CLI::App* dump =
        modeCommand(app, "dump", "write the raw data of the new (or all) runs to FILE", words);
    positional(*dump, "FILE", in.file, "the output file");
    dump->add_flag("--force", words.force, "replace an existing FILE");
    CLI::App* download = modeCommand(app, "download",
                                     "download the new (or all) runs into run files under the "
                                     "data folder DIR, as Lapdex does, registering a new "
                                     "stopwatch in DIR/Lapdex.dat",
                                     words);
    positional(*download, "DIR", in.file, "the data folder (created when missing)");
    CLI::App* doctor = command(app, "doctor",
                               "check PC/SC, the readers, kernel drivers, USB readers and the "
                               "stopwatch, one line each ending in OK, WARN or FAIL");
    doctor->add_option("--root", in.root, "read DIR/sys instead of /sys")
        ->type_name("DIR")
        ->check(kFolder);
    CLI::App* repair = command(app, "repair",
                               "rebuild a lost or damaged DATAFOLDER/Lapdex.dat from the stopwatch "
                               "folders; the old file is moved aside first");
    positional(*repair, "DATAFOLDER", in.dataFolder, "the data folder");
}

// Whether an answer's tab-separated form has a header line that --no-header can leave out.
enum class Header { Printed, None };

void answerForm(CLI::App& sub, OptionWords& words, Header header) {
    sub.add_flag("--json", words.json,
                 "print one JSON document: numbers as numbers, times in seconds");
    if (header == Header::Printed)
        sub.add_flag("--no-header", words.noHeader, "leave out the header line");
}

void stopwatchOption(CLI::App& sub, Invocation& in) {
    sub.add_option("--stopwatch", in.filters.stopwatch,
                   "only the stopwatch of this tab name, "
                   "serial or folder name")
        ->type_name("NAME");
}

void groupOption(CLI::App& sub, Invocation& in) {
    sub.add_option("--group", in.filters.group,
                   "only the stopwatches of this group (kept in DATAFOLDER/Groups.txt)")
        ->type_name("NAME");
}

void runFilters(CLI::App& sub, Invocation& in) {
    stopwatchOption(sub, in);
    groupOption(sub, in);
    sub.add_option("--from", in.filters.query.fromDate, "only runs of this date or later")
        ->type_name("YYYY-MM-DD")
        ->check(kDate);
    sub.add_option("--to", in.filters.query.toDate, "only runs of this date or earlier")
        ->type_name("YYYY-MM-DD")
        ->check(kDate);
    sub.add_option_function<std::string>(
           "--text", [&in](const std::string& text) { in.filters.query.words = searchWords(text); },
           "only runs whose memos hold every one of these words")
        ->type_name("WORDS");
    sub.add_option("--laps", in.filters.query.lapCount, "only runs of this many laps")
        ->type_name("N")
        ->check(kLapCount);
}

// A command over a data folder: its first argument is the data folder.
CLI::App* folderCommand(CLI::App& app, const char* name, const char* summary, Invocation& in) {
    CLI::App* sub = command(app, name, summary);
    positional(*sub, "DATAFOLDER", in.dataFolder, "the data folder");
    return sub;
}

// Every command over a data folder reads others besides it with --also, named last.
void alsoOption(CLI::App& sub, Invocation& in) {
    sub.add_option("--also", in.also,
                   "also the runs of another PC's data folder, read-only (a club folder; "
                   "repeatable): each row then names its pc")
        ->type_name("DIR")
        ->allow_extra_args(false)
        ->check(kFolder);
}

void describeExport(CLI::App& app, Invocation& in, OptionWords& words) {
    CLI::App* exporting = folderCommand(app, "export",
                                        "the runs as runs.xlsx, as runs.csv and laps.csv, or as "
                                        "TCX files, in OUTDIR outside the data folder",
                                        in);
    positional(*exporting, "OUTDIR", in.outFolder, "the output folder (created when missing)");
    exporting
        ->add_option("--format", words.format,
                     "xlsx for spreadsheets, csv for scripts, tcx for training logs")
        ->required()
        ->type_name("xlsx|csv|tcx")
        ->check(oneOf({"xlsx", "csv", "tcx"}, "xlsx, csv or tcx"));
    runFilters(*exporting, in);
    exporting->add_flag("--one-file", words.oneFile, "tcx: all runs in one file, runs.tcx");
    exporting->add_flag("--force", words.force, "replace existing files");
    exporting
        ->add_option("--lang", words.language,
                     "the language of the sheet names and header rows (ja unless given)")
        ->type_name("ja|en")
        ->check(oneOf({"ja", "en"}, "ja or en"));
}

void describeSeasonCommands(CLI::App& app, Invocation& in, OptionWords& words) {
    CLI::App* sessions = folderCommand(
        app, "sessions",
        "the training sessions of that date: a run after a pause longer than the gap begins one",
        in);
    sessions->add_option("DATE", in.date, "the date")
        ->required()
        ->type_name("YYYY-MM-DD")
        ->check(kDate);
    sessions
        ->add_option("--gap", in.gapMinutes,
                     "the pause that begins a new session (45 unless given)")
        ->type_name("MINUTES")
        ->check(CLI::Range(1, 720).description("from 1 to 720"));
    groupOption(*sessions, in);
    answerForm(*sessions, words, Header::Printed);
    CLI::App* progress = folderCommand(
        app, "progress",
        "one stopwatch's runs of one lap count in date order, each run that set a best marked", in);
    progress
        ->add_option("--stopwatch", in.filters.stopwatch,
                     "the stopwatch: its tab name, serial or folder name")
        ->required()
        ->type_name("NAME");
    progress
        ->add_option("--laps", in.filters.query.lapCount,
                     "the lap count (the one the stopwatch runs most unless given)")
        ->type_name("N")
        ->check(kLapCount);
    progress->add_option("--from", in.filters.query.fromDate, "only runs of this date or later")
        ->type_name("YYYY-MM-DD")
        ->check(kDate);
    progress->add_option("--to", in.filters.query.toDate, "only runs of this date or earlier")
        ->type_name("YYYY-MM-DD")
        ->check(kDate);
    answerForm(*progress, words, Header::Printed);
}

void describeIndexCommands(CLI::App& app, Invocation& in, OptionWords& words) {
    CLI::App* runs = folderCommand(app, "runs", "the runs of the data folder, one line each", in);
    runFilters(*runs, in);
    answerForm(*runs, words, Header::Printed);
    CLI::App* roster = folderCommand(
        app, "roster", "the registered stopwatches and their runs, one line each", in);
    groupOption(*roster, in);
    answerForm(*roster, words, Header::Printed);
    describeExport(app, in, words);
    CLI::App* stats =
        folderCommand(app, "stats", "every statistic of one run, times in seconds", in);
    positional(
        *stats, "RUNFILE", in.runFile,
        "the run file: its name as bests prints it, FOLDER/NAME as runs prints it, or a path");
    answerForm(*stats, words, Header::None);
    CLI::App* day =
        folderCommand(app, "day", "the team's day: every run of that date, lap by lap", in);
    day->add_option("DATE", in.date, "the date")->required()->type_name("YYYY-MM-DD")->check(kDate);
    groupOption(*day, in);
    answerForm(*day, words, Header::Printed);
    CLI::App* bests = folderCommand(
        app, "bests", "each stopwatch's fastest lap and fastest total for each lap count", in);
    stopwatchOption(*bests, in);
    groupOption(*bests, in);
    answerForm(*bests, words, Header::Printed);
    describeSeasonCommands(app, in, words);
    for (const char* name :
         {"runs", "roster", "export", "stats", "day", "bests", "sessions", "progress"})
        alsoOption(*app.get_subcommand(name), in);
}

// The top level shows the whole help; a command shows its synopsis as its usage line.
class ToolFormatter : public CLI::Formatter {
  public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override {
        if (app->get_parent() == nullptr) return helpText();
        return CLI::Formatter::make_help(app, std::move(name), mode);
    }
    std::string make_usage(const CLI::App* app, std::string) const override {
        return "Usage: " + synopsisOf(*app) + "\n";
    }
};

struct CommandName {
    const char* name;
    Command command;
};

constexpr CommandName kCommands[] = {
    {"readers", Command::Readers}, {"info", Command::Info},         {"doctor", Command::Doctor},
    {"repair", Command::Repair},   {"runs", Command::Runs},         {"roster", Command::Roster},
    {"export", Command::Export},   {"stats", Command::Stats},       {"day", Command::Day},
    {"bests", Command::Bests},     {"sessions", Command::Sessions}, {"progress", Command::Progress},
};

Command commandNamed(const std::string& name, const std::string& mode) {
    if (name == "dump") return mode == "all" ? Command::DumpAll : Command::DumpNew;
    if (name == "download") return mode == "all" ? Command::DownloadAll : Command::DownloadNew;
    for (const CommandName& entry : kCommands) {
        if (name == entry.name) return entry.command;
    }
    return Command::None;
}

// The option words as the invocation's values; false with `mistake` set when they clash.
bool settle(ToolApp& tool, const CLI::App& command, std::string& mistake) {
    Invocation& in = tool.invocation;
    const OptionWords& words = tool.words;
    if (words.json && words.noHeader) {
        mistake = "--json and --no-header exclude each other";
        return false;
    }
    in.command = commandNamed(command.get_name(), words.mode);
    in.form = words.json       ? AnswerForm::Json
              : words.noHeader ? AnswerForm::TableWithoutHeader
                               : AnswerForm::Table;
    if (words.force) in.overwrite = lapdex::Overwrite::Replace;
    if (words.oneFile) in.tcxFiles = lapdex::TcxFiles::OneForAll;
    if (words.format == "xlsx") in.format = lapdex::ExportFormat::Workbook;
    if (words.format == "tcx") in.format = lapdex::ExportFormat::Tcx;
    if (words.language == "en") in.language = lapdex::texts::Language::English;
    return true;
}

std::string mistakeText(const std::string& mistake, const CLI::App* command) {
    const std::string usage =
        command != nullptr ? synopsisOf(*command)
                           : "k7x-tool [--log DIR] COMMAND ... ('k7x-tool --help' lists them)";
    return "k7x-tool: " + mistake + "\nusage: " + usage + "\n";
}

}  // namespace

ToolApp::ToolApp() : app("", "k7x-tool") {
    app.formatter(std::make_shared<ToolFormatter>());
    app.set_help_flag("-h,--help", "show this help and exit");
    app.set_version_flag("--version", "k7x-tool " LAPDEX_VERSION, "show the version and exit");
    app.add_option(
           "--log", invocation.logDirectory,
           "write the library's debug log to DIR/rdcaa_debug.log (info, dump, download, doctor)")
        ->type_name("DIR")
        ->check(kFolder);
    // Options a command does not know go to the program: --log after the command.
    app.fallthrough();
    app.require_subcommand(1);
    describeReaderCommands(app, invocation, words);
    describeIndexCommands(app, invocation, words);
}

bool usesLibrary(const CLI::App& command) {
    const std::string& name = command.get_name();
    return name == "info" || name == "dump" || name == "download" || name == "doctor";
}

ParsedLine parseCommandLine(int argc, const char* const* argv) {
    ToolApp tool;
    ParsedLine line;
    try {
        tool.app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        const std::vector<CLI::App*> chosen = tool.app.get_subcommands();
        line.outcome = ParsedLine::Outcome::Help;
        line.text = chosen.empty() ? helpText() : chosen.front()->help();
        return line;
    } catch (const CLI::CallForVersion& version) {
        line.outcome = ParsedLine::Outcome::Version;
        line.text = std::string(version.what()) + "\n";
        return line;
    } catch (const CLI::ParseError& error) {
        const std::vector<CLI::App*> chosen = tool.app.get_subcommands();
        line.text = mistakeText(mistakeOf(error, tool.app, argc, argv),
                                chosen.empty() ? nullptr : chosen.front());
        return line;
    }
    const CLI::App* command = tool.app.get_subcommands().front();
    std::string mistake;
    if (!settle(tool, *command, mistake)) {
        line.text = mistakeText(mistake, command);
        return line;
    }
    line.outcome = ParsedLine::Outcome::Run;
    line.invocation = std::move(tool.invocation);
    return line;
}

int statusOf(const ParsedLine& line) {
    return line.outcome == ParsedLine::Outcome::Mistake ? kExitUsage : 0;
}

}  // namespace k7x
