// The command line of k7x-tool: which command to run, on what, its help and its usage mistakes.
#pragma once

#include <string>

#include "invocation.h"

namespace k7x {

struct ParsedLine {
    enum class Outcome {
        Run,      // `invocation` names the command to run
        Help,     // `text` is the help asked for, for stdout
        Version,  // `text` is the version line, for stdout
        Mistake,  // `text` is two lines for stderr: the mistake, then the command's synopsis
    };
    Outcome outcome = Outcome::Mistake;
    Invocation invocation;
    std::string text;
};

// Global options (--log DIR, --help, --version) go before or after the command; `--` ends the
// options; every option takes its value as `--opt value` or `--opt=value`.
[[nodiscard]] ParsedLine parseCommandLine(int argc, const char* const* argv);

// The exit status of a command line that is not a command: 0 for help and version, 2 for a
// mistake.
[[nodiscard]] int statusOf(const ParsedLine& line);

// The whole help of the program (`k7x-tool --help`).
[[nodiscard]] std::string helpText();

}  // namespace k7x
