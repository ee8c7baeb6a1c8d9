// The command line of k7x-tool: which command to run, on what, and its help text.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace k7x {

enum class Command { Readers, Info, DumpNew, DumpAll, DownloadNew, DownloadAll, Doctor, Help };

struct Invocation {
    Command command = Command::Help;
    std::string file;          // the dump's output file, or the download's data folder
    std::string logDirectory;  // empty: the debug log stays off
    std::vector<std::string> arguments;  // doctor's own arguments, parsed by doctor
};

// Null with a message in `error` when the arguments do not form a command. Its first line
// names what is wrong (the unknown option or command, the missing argument, the extra one),
// the following lines the usage of the command concerned.
[[nodiscard]] std::optional<Invocation> parseCommandLine(int argc, const char* const* argv,
                                                         std::string& error);

[[nodiscard]] const char* usageText();

}  // namespace k7x
