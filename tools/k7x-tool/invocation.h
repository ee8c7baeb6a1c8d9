// What one k7x-tool command line asks for: the command, and the values of its arguments.
#pragma once

#include <string>
#include <vector>

#include "export_files.h"
#include "run_filters.h"

namespace k7x {

enum class Command {
    None,  // nothing to run: the command line was help, the version, or a mistake
    Readers,
    Info,
    DumpNew,
    DumpAll,
    DownloadNew,
    DownloadAll,
    Doctor,
    Repair,
    Runs,
    Roster,
    Export,
    Stats,
    Day,
    Bests,
    Sessions,
    Progress,
};

// How the commands over a data folder print their answer.
enum class AnswerForm { Table, TableWithoutHeader, Json };

// Only the members of the command named are meaningful; the parser fills them.
struct Invocation {
    Command command = Command::None;
    std::string logDirectory;  // --log DIR; "" keeps the debug log off
    std::string file;          // dump's output FILE, download's data folder DIR
    lapdex::Overwrite overwrite = lapdex::Overwrite::Refuse;  // --force of dump and export
    std::string root = "/";                                   // doctor --root DIR: holds sys/
    std::string dataFolder;         // repair and the commands over a data folder
    std::vector<std::string> also;  // --also: other PCs' data folders, read-only
    AnswerForm form = AnswerForm::Table;
    RunFilters filters;     // runs and export; bests takes only the stopwatch
    std::string outFolder;  // export
    lapdex::ExportFormat format = lapdex::ExportFormat::Spreadsheet;
    lapdex::TcxFiles tcxFiles = lapdex::TcxFiles::OnePerRun;
    // The language of the spreadsheet's header rows; Japanese, as the program shows by default.
    lapdex::texts::Language language = lapdex::texts::Language::Japanese;
    std::string runFile;  // stats: a bare run file name, FOLDER/NAME, or a path
    std::string date;     // day, sessions: YYYY-MM-DD
    int gapMinutes = 45;  // sessions --gap: the pause that begins a new session
};

}  // namespace k7x
