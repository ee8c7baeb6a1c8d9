// k7x-tool's commands as one CLI11 application, for the parser, the help and the mistakes.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "invocation.h"

namespace k7x {

// The words of options that the parser turns into the invocation's values once it has parsed.
struct OptionWords {
    std::string mode;  // dump and download: "new" or "all"
    std::string format;
    std::string language;
    bool json = false;
    bool noHeader = false;
    bool force = false;
    bool oneFile = false;
};

// Every command and option, bound to `invocation` and `words`; both live as long as the object.
class ToolApp {
  public:
    ToolApp();
    ToolApp(const ToolApp&) = delete;
    ToolApp& operator=(const ToolApp&) = delete;

    CLI::App app;
    Invocation invocation;
    OptionWords words;
};

// Whether the command reads the stopwatch through the library, so that --log DIR matters to it.
[[nodiscard]] bool usesLibrary(const CLI::App& command);

// "k7x-tool runs DATAFOLDER [--stopwatch NAME] ...": one line, made from the command's options.
[[nodiscard]] std::string synopsisOf(const CLI::App& command);

// The one line that names the mistake CLI11 found in `argv`.
[[nodiscard]] std::string mistakeOf(const CLI::ParseError& error, const CLI::App& app, int argc,
                                    const char* const* argv);

}  // namespace k7x
