// k7x-tool: diagnostic command line for a K7X Stopwatch through the RDCOM32 library.
#include <cstdio>
#include <string>

#include "command_line.h"
#include "doctor_command.h"
#include "download_command.h"
#include "index_commands.h"
#include "lapdex_version.h"
#include "repair_command.h"
#include "tool_commands.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::puts("k7x-tool " LAPDEX_VERSION);
        return 0;
    }
    // The commands over a data folder need no reader: they parse their own arguments.
    if (const std::optional<int> status = k7x::runRepairCommand(argc, argv)) return *status;
    if (const std::optional<int> status = k7x::runIndexCommand(argc, argv)) return *status;
    std::string error;
    const auto invocation = k7x::parseCommandLine(argc, argv, error);
    if (!invocation) {
        std::fprintf(stderr, "k7x-tool: %s'k7x-tool --help' explains every command.\n",
                     error.c_str());
        return 2;
    }
    switch (invocation->command) {
        case k7x::Command::Readers:
            return k7x::runReaders();
        case k7x::Command::Info:
            return k7x::runInfo(*invocation);
        case k7x::Command::DumpNew:
        case k7x::Command::DumpAll:
            return k7x::runDump(*invocation);
        case k7x::Command::DownloadNew:
        case k7x::Command::DownloadAll:
            return k7x::runDownload(*invocation);
        case k7x::Command::Doctor: {
            auto options = k7x::parseDoctorArguments(invocation->arguments, error);
            if (!options) {
                std::fprintf(stderr, "k7x-tool: %s\n\n%s", error.c_str(), k7x::usageText());
                return 2;
            }
            options->logDirectory = invocation->logDirectory;
            return k7x::runDoctor(*options);
        }
        case k7x::Command::Help:
            break;
    }
    std::fputs(k7x::usageText(), stdout);
    std::fputs("\nCommands over a data folder's run index (no reader needed):\n", stdout);
    std::fputs(k7x::indexUsageText(), stdout);
    return 0;
}
