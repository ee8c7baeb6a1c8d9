// Runs a k7x-tool command line in-process as the program parses it, its output captured as text.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "club_refusal.h"
#include "command_line.h"
#include "index_commands.h"

namespace lapdex::testing {

struct CapturedCommand {
    int status = 0;
    std::string out;
    std::string err;
};

inline std::string fileContents(std::FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

// `words` as typed after "k7x-tool": parsed, then run when they name a command over a data
// folder. Help, the version and usage mistakes print what the program prints, where it prints it.
inline CapturedCommand captureLine(const std::vector<std::string>& words) {
    std::vector<const char*> argv{"k7x-tool"};
    for (const std::string& word : words) argv.push_back(word.c_str());
    const k7x::ParsedLine line = k7x::parseCommandLine(static_cast<int>(argv.size()), argv.data());
    CapturedCommand result;
    if (line.outcome != k7x::ParsedLine::Outcome::Run) {
        result.status = k7x::statusOf(line);
        (line.outcome == k7x::ParsedLine::Outcome::Mistake ? result.err : result.out) = line.text;
        return result;
    }
    std::FILE* outFile = std::tmpfile();
    std::FILE* errFile = std::tmpfile();
    // As the program does: nothing is written into a club folder.
    const std::optional<int> refused =
        k7x::refuseWritingIntoClubFolders(line.invocation, lapdex::processEnvironment(), errFile);
    result.status =
        refused ? *refused : k7x::runIndexCommand(line.invocation, outFile, errFile).value_or(-1);
    result.out = fileContents(outFile);
    result.err = fileContents(errFile);
    return result;
}

}  // namespace lapdex::testing
