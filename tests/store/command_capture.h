// Runs a k7x-tool command function with its standard output and error captured as text.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

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

// `command` as the tool calls it: arguments after the command word, then stdout and stderr.
template <class Command>
CapturedCommand captureCommand(Command command, const std::vector<std::string>& args) {
    std::FILE* outFile = std::tmpfile();
    std::FILE* errFile = std::tmpfile();
    CapturedCommand result;
    result.status = command(args, outFile, errFile);
    result.out = fileContents(outFile);
    result.err = fileContents(errFile);
    return result;
}

}  // namespace lapdex::testing
