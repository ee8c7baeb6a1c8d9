// Option parsing of stopwatch-sim: numbers, hex byte strings and the runs to lay on.
#include "vpcd/sim_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vpcd/reader_options.h"

namespace sim {

const char* const kSimUsage =
    "usage: stopwatch-sim [options]\n"
    "  Connects to vpcd at 127.0.0.1:PORT as a K7X stopwatch lying on the virtual reader.\n"
    "  Numbers are decimal (a leading zero changes nothing); --port also takes 0x.. hex.\n"
    "\n"
    "  --reader acs|sony     answer as an ACS ACR122U (default) or a Sony reader's driver.\n"
    "                        The library takes a reader by its name: for sony, pcscd's\n"
    "                        reader.conf must name the reader with \"Sony\" in it\n"
    "                        (e.g. FRIENDLYNAME \"Sony FeliCa Port/PaSoRi 3.0\")\n"
    "  --sony-fault K:N:SW   Sony reader: the N-th (0: every) command of kind K (select, idm,\n"
    "                        pmm, read, write) is answered with status word SW (e.g. 6a83),\n"
    "                        or with cutC instead, C bytes short before 90 00; repeatable\n"
    "  --port N              vpcd port (default 35963 = 0x8C7B)\n"
    "  --runs FILE           the runs, one per line (blank lines and # comments skipped):\n"
    "                          2024-05-01 07:30:00 00:01:10.50 00:02:15.20\n"
    "                        start date and time, then the split of every lap: the time\n"
    "                        from the start to the end of that lap (cumulative, never\n"
    "                        decreasing), HH:MM:SS.CC with two-digit hundredths\n"
    "  --generate SEED:COUNT COUNT made-up runs from SEED (the same runs for the same SEED):\n"
    "                        one a day from 2024-01-01 (28 days a month), 1 to 40 laps of\n"
    "                        40 to 120 s each, about 100 bytes a run on average\n"
    "  --old N               the first N runs count as downloaded already\n"
    "  --allow-odd-runs      take runs that no stopwatch can hold: dates that do not exist,\n"
    "                        decreasing splits, more than the memory holds (then cut at\n"
    "                        65,535 bytes, in the middle of a run); for tests only\n"
    "  --serial HEX          6 serial bytes as the chip stores them, byte 0 first (default\n"
    "                        0123456789ab). Lapdex and k7x-tool write the serial byte 5\n"
    "                        first, so 0123456789ab shows as ab8967452301 in 'info' and\n"
    "                        in the run file names\n"
    "  --idm HEX             8 IDm bytes (default 03fe002400000102)\n"
    "  --battery RAW         raw battery value in plug memory (default 2450)\n"
    "  --product-type N      byte 7 of the product name (default 2)\n"
    "  --transcript          print every APDU and answer\n"
    "  --lift-after N        leave the reader after N APDUs\n"
    "  --connect-timeout MS  how long to retry connecting to vpcd (default 10000)\n"
    "\n"
    "Memory: the stopwatch holds at most 65,535 bytes of runs, 16 bytes a run and 4 bytes a\n"
    "lap; runs that do not fit are refused, with how many do.\n"
    "\n"
    "Connecting lays the stopwatch on the reader. SIGINT (Ctrl+C) or SIGTERM lifts it: the\n"
    "simulator closes the connection, prints one line \"state: apdus=... beeps=...\n"
    "set-time=... clock=... erase-run=... new-bytes=... all-bytes=... serial=...\" and ends.\n"
    "\n"
    "Exit status: 0 when the stopwatch was lifted (signal, --lift-after) or vpcd closed the\n"
    "connection; 1 when vpcd could not be reached or the connection failed; 2 on a wrong\n"
    "option or runs that are refused.\n";

namespace {

std::optional<long> parseNumber(const std::string& text, long low, long high) {
    if (text.empty()) return std::nullopt;
    // Decimal always: "0100" is one hundred, not octal 64.
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<long> parseHexNumber(const std::string& text, long low, long high) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return std::nullopt;
    }
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 16);
    if (errno != 0 || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<std::vector<uint8_t>> parseHex(const std::string& text, size_t bytes) {
    if (text.size() != 2 * bytes) return std::nullopt;
    std::vector<uint8_t> out;
    for (size_t i = 0; i < bytes; ++i) {
        auto byte = parseHexNumber(text.substr(2 * i, 2), 0, 255);
        if (!byte) return std::nullopt;
        out.push_back(static_cast<uint8_t>(*byte));
    }
    return out;
}

std::optional<SonyCommand> sonyCommandNamed(const std::string& name) {
    if (name == "select") return SonyCommand::SelectFile;
    if (name == "idm") return SonyCommand::GetIdm;
    if (name == "pmm") return SonyCommand::GetPmm;
    if (name == "read") return SonyCommand::ReadBinary;
    if (name == "write") return SonyCommand::UpdateBinary;
    return std::nullopt;
}

bool parseGenerate(const std::string& text, SimOptions& options) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    auto seed = parseNumber(text.substr(0, colon), 0, 0xFFFFFFFFL);
    auto count = parseNumber(text.substr(colon + 1), 0, 100000);
    if (!seed || !count) return false;
    options.seed = static_cast<uint32_t>(*seed);
    options.generateCount = static_cast<int>(*count);
    return true;
}

bool takesValue(const std::string& name) {
    static const char* const kNames[] = {
        "--port",   "--runs", "--generate", "--old",          "--reader",     "--sony-fault",
        "--serial", "--idm",  "--battery",  "--product-type", "--lift-after", "--connect-timeout",
        "--answers", "--reader-name"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

// One option with its value; false when the value is malformed.
bool applyOption(const std::string& name, const std::string& value, SimOptions& options) {
    if (std::optional<bool> readerOption = applyReaderOption(name, value, options)) {
        return *readerOption;
    }
    if (name == "--port") {
        const bool isHex = value.rfind("0x", 0) == 0 || value.rfind("0X", 0) == 0;
        auto port =
            isHex ? parseHexNumber(value.substr(2), 1, 65534) : parseNumber(value, 1, 65534);
        if (port) options.port = static_cast<uint16_t>(*port);
        return port.has_value();
    }
    if (name == "--runs") return !(options.runsFile = value).empty();
    if (name == "--generate") return parseGenerate(value, options);
    if (name == "--old") {
        auto n = parseNumber(value, 0, 100000);
        if (n) options.oldRuns = static_cast<int>(*n);
        return n.has_value();
    }
    if (name == "--reader") {
        if (value != "acs" && value != "sony") return false;
        options.reader = value == "sony" ? SimReader::Sony : SimReader::Acs;
        options.readerGiven = true;
        return true;
    }
    if (name == "--sony-fault") {
        auto fault = parseSonyFault(value);
        if (fault) options.sonyFaults.push_back(*fault);
        return fault.has_value();
    }
    if (name == "--serial") return (options.serial = parseHex(value, 6)).has_value();
    if (name == "--idm") return (options.idm = parseHex(value, 8)).has_value();
    if (name == "--battery") {
        auto raw = parseNumber(value, 0, 0xFFFF);
        if (raw) options.batteryRaw = static_cast<uint16_t>(*raw);
        return raw.has_value();
    }
    if (name == "--product-type") {
        auto type = parseNumber(value, 0, 255);
        if (type) options.productType = static_cast<uint8_t>(*type);
        return type.has_value();
    }
    if (name == "--lift-after") {
        auto n = parseNumber(value, 1, 1L << 30);
        if (n) options.liftAfter = *n;
        return n.has_value();
    }
    if (name == "--connect-timeout") {
        auto ms = parseNumber(value, 0, 3600000);
        if (ms) options.connectTimeoutMs = static_cast<int>(*ms);
        return ms.has_value();
    }
    return false;
}

}  // namespace

std::optional<SonyFault> parseSonyFault(const std::string& text) {
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) return std::nullopt;
    auto command = sonyCommandNamed(text.substr(0, first));
    auto occurrence = parseNumber(text.substr(first + 1, second - first - 1), 0, 1L << 30);
    const std::string answer = text.substr(second + 1);
    if (!command || !occurrence) return std::nullopt;
    SonyFault fault;
    fault.command = *command;
    fault.occurrence = static_cast<int>(*occurrence);
    if (answer.rfind("cut", 0) == 0) {
        auto cut = parseNumber(answer.substr(3), 1, 255);
        if (!cut) return std::nullopt;
        fault.cut = static_cast<int>(*cut);
        return fault;
    }
    auto status = parseHex(answer, 2);
    if (!status) return std::nullopt;
    fault.sw1 = (*status)[0];
    fault.sw2 = (*status)[1];
    return fault;
}

std::optional<SimOptions> parseSimOptions(int argc, char** argv, std::string& error) {
    SimOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--allow-odd-runs") {
            options.allowOddRuns = true;
        } else if (name == "--transcript") {
            options.transcript = true;
        } else if (!takesValue(name)) {
            error = "unknown option " + name;
            return std::nullopt;
        } else if (i + 1 >= argc) {
            error = name + " needs a value";
            return std::nullopt;
        } else if (!applyOption(name, argv[++i], options)) {
            error = "bad value for " + name + ": " + argv[i];
            return std::nullopt;
        }
    }
    if (!options.runsFile.empty() && options.seed) {
        error = "--runs and --generate exclude each other";
        return std::nullopt;
    }
    if (!resolveReaderOptions(options, error)) return std::nullopt;
    return options;
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
    RunsProblem problem;
    auto parsed =
        parseRuns(text.str(), options.allowOddRuns ? OddRuns::Allow : OddRuns::Refuse, problem);
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
