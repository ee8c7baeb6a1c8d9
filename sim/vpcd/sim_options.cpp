// Option parsing of stopwatch-sim: numbers, hex byte strings and the runs to lay on.
#include "vpcd/sim_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vpcd/option_values.h"
#include "vpcd/reader_options.h"
#include "vpcd/sim_command_line.h"

namespace sim {

const char* const kSimFooter =
    "Numbers are decimal (a leading zero changes nothing); --port also takes 0x.. hex.\n"
    "\n"
    "Memory: the stopwatch holds at most 65,535 bytes of runs, 16 bytes a run and 4 bytes a\n"
    "lap; runs that do not fit are refused, with how many do.\n"
    "\n"
    "Connecting lays the stopwatch on the reader; once it prints \"stopwatch-sim: on the\n"
    "reader\", clients see it. SIGINT (Ctrl+C) or SIGTERM lifts it: the simulator closes the\n"
    "connection, prints one line \"state: apdus=... beeps=... set-time=... clock=...\n"
    "erase-run=... new-bytes=... all-bytes=... serial=...\" and ends.\n"
    "\n"
    "Exit status:\n"
    "  0  the stopwatch was lifted (signal, --lift-after) or vpcd closed the connection\n"
    "  1  vpcd could not be reached, did not answer (another stopwatch lies on that port),\n"
    "     or the connection failed\n"
    "  2  a wrong option, or runs that are refused\n";

namespace {

std::optional<SonyCommand> sonyCommandNamed(const std::string& name) {
    if (name == "select") return SonyCommand::SelectFile;
    if (name == "idm") return SonyCommand::GetIdm;
    if (name == "pmm") return SonyCommand::GetPmm;
    if (name == "read") return SonyCommand::ReadBinary;
    if (name == "write") return SonyCommand::UpdateBinary;
    return std::nullopt;
}

}  // namespace

std::optional<SonyFault> parseSonyFault(const std::string& text) {
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) return std::nullopt;
    auto command = sonyCommandNamed(text.substr(0, first));
    auto occurrence = parseDecimal(text.substr(first + 1, second - first - 1), 0, 1L << 30);
    const std::string answer = text.substr(second + 1);
    if (!command || !occurrence) return std::nullopt;
    SonyFault fault;
    fault.command = *command;
    fault.occurrence = static_cast<int>(*occurrence);
    if (answer.rfind("cut", 0) == 0) {
        auto cut = parseDecimal(answer.substr(3), 1, 255);
        if (!cut) return std::nullopt;
        fault.cut = static_cast<int>(*cut);
        return fault;
    }
    auto status = parseHexBytes(answer, 2);
    if (!status) return std::nullopt;
    fault.sw1 = (*status)[0];
    fault.sw2 = (*status)[1];
    return fault;
}

std::optional<SimOptions> parseSimOptions(int argc, char** argv, std::string& error) {
    SimOptions options;
    CLI::App app;
    describeSimOptions(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        options.help = true;
        return options;
    } catch (const CLI::CallForVersion&) {
        options.version = true;
        return options;
    } catch (const CLI::ExtrasError&) {
        const std::string first = app.remaining().empty() ? "" : app.remaining().front();
        error = (first.rfind('-', 0) == 0 ? "unknown option " : "unexpected argument ") + first;
        return std::nullopt;
    } catch (const CLI::ArgumentMismatch& e) {
        const std::string what = e.what();  // "--battery: 1 required RAW missing"
        error = what.substr(0, what.find(':')) + " needs a value";
        return std::nullopt;
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return std::nullopt;
    }
    if (!options.runsFile.empty() && options.seed) {
        error = "--runs and --generate exclude each other";
        return std::nullopt;
    }
    if (!resolveReaderOptions(options, error)) return std::nullopt;
    return options;
}

std::string simHelp() {
    SimOptions options;
    CLI::App app;
    describeSimOptions(app, options);
    return app.help();
}

namespace {

// Built front to back by appending: inserting into the string trips g++ 12's -Wrestrict at -O3.
std::string withThousands(size_t number) {
    const std::string digits = std::to_string(number);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

// The runs of --runs FILE; false with `error` naming the line and the reason.
bool readRunsFile(const SimOptions& options, std::vector<SimRun>& runs, std::string& error) {
    std::error_code code;
    if (std::filesystem::is_directory(options.runsFile, code)) {
        error = options.runsFile + " is a folder, not a runs file";
        return false;
    }
    std::ifstream file(options.runsFile);
    std::stringstream text;
    text << file.rdbuf();
    if (!file) {
        error = "cannot read runs from " + options.runsFile;
        return false;
    }
    // Editors on Windows start UTF-8 files with a byte-order mark; the runs begin after it.
    std::string content = text.str();
    if (content.rfind("\xEF\xBB\xBF", 0) == 0) content.erase(0, 3);
    RunsProblem problem;
    auto parsed =
        parseRuns(content, options.allowOddRuns ? OddRuns::Allow : OddRuns::Refuse, problem);
    if (!parsed) {
        error = options.runsFile + ":" + std::to_string(problem.line) + ": " + problem.reason;
        return false;
    }
    runs = std::move(*parsed);
    return true;
}

// Runs beyond the memory are refused unless odd runs were asked for.
bool checkMemory(const SimOptions& options, const std::vector<SimRun>& runs, std::string& error) {
    const size_t fit = runsThatFit(runs);
    if (fit == runs.size() || options.allowOddRuns) return true;
    size_t bytes = 0;
    for (const SimRun& run : runs) bytes += encodedSize(run);
    const std::string source = options.seed ? "--generate " + std::to_string(*options.seed) + ":" +
                                                  std::to_string(options.generateCount)
                                            : options.runsFile;
    error = source + ": " + withThousands(runs.size()) + " runs need " + withThousands(bytes) +
            " bytes, more than the 65,535 the stopwatch holds; the first " + withThousands(fit) +
            " fit";
    return false;
}

}  // namespace

bool buildStopwatch(const SimOptions& options, Stopwatch& stopwatch, std::string& error) {
    if (!options.runsFile.empty()) {
        if (!readRunsFile(options, stopwatch.runs, error)) return false;
    } else if (options.seed) {
        stopwatch.runs = generateRuns(*options.seed, options.generateCount);
    }
    if (!checkMemory(options, stopwatch.runs, error)) return false;
    if (static_cast<size_t>(options.oldRuns) > stopwatch.runs.size()) {
        error = "--old " + std::to_string(options.oldRuns) + ": there are only " +
                std::to_string(stopwatch.runs.size()) + " runs";
        return false;
    }
    stopwatch.downloadedRuns = static_cast<size_t>(options.oldRuns);
    if (options.serial)
        std::copy(options.serial->begin(), options.serial->end(), stopwatch.serial.begin());
    if (options.idm) std::copy(options.idm->begin(), options.idm->end(), stopwatch.idm.begin());
    if (options.batteryRaw) stopwatch.setBatteryRaw(*options.batteryRaw);
    if (options.productType) stopwatch.productName[7] = *options.productType;
    return true;
}

}  // namespace sim
