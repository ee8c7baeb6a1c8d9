// k7x-tool: diagnostic command line for a K7X Stopwatch through the RDCOM32 library.
#include <cstdio>

#include "club_refusal.h"
#include "command_line.h"
#include "doctor_command.h"
#include "download_command.h"
#include "index_commands.h"
#include "repair_command.h"
#include "tool_commands.h"

namespace {

int runReaderCommand(const k7x::Invocation& invocation) {
    switch (invocation.command) {
        case k7x::Command::Readers:
            return k7x::runReaders();
        case k7x::Command::Info:
            return k7x::runInfo(invocation);
        case k7x::Command::DumpNew:
        case k7x::Command::DumpAll:
            return k7x::runDump(invocation);
        case k7x::Command::DownloadNew:
        case k7x::Command::DownloadAll:
            return k7x::runDownload(invocation);
        case k7x::Command::Doctor:
            return k7x::runDoctor({invocation.root, invocation.logDirectory});
        case k7x::Command::Repair:
            return k7x::runRepair(invocation.dataFolder, stdout, stderr);
        default:
            return k7x::kExitFailure;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const k7x::ParsedLine line = k7x::parseCommandLine(argc, argv);
    if (line.outcome != k7x::ParsedLine::Outcome::Run) {
        std::fputs(line.text.c_str(),
                   line.outcome == k7x::ParsedLine::Outcome::Mistake ? stderr : stdout);
        return k7x::statusOf(line);
    }
    if (const std::optional<int> refused = k7x::refuseWritingIntoClubFolders(
            line.invocation, lapdex::processEnvironment(), stderr))
        return *refused;
    if (const std::optional<int> status = k7x::runIndexCommand(line.invocation, stdout, stderr)) {
        return *status;
    }
    return runReaderCommand(line.invocation);
}
