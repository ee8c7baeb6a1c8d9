// Option parsing of stopwatch-sim: numbers, hex byte strings and the runs to lay on.
#include "vpcd/sim_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "vpcd/reader_options.h"

namespace sim {

const char* const kSimUsage =
    "usage: stopwatch-sim [options]\n"
    "  Connects to vpcd at 127.0.0.1:PORT as a K7X stopwatch lying on the virtual reader.\n"
    "  --reader acs|sony     answer as an ACS ACR122U (default) or a Sony reader's driver\n"
    "  --sony-fault K:N:SW   Sony reader: the N-th (0: every) command of kind K (select, idm,\n"
    "                        pmm, read, write) is answered with status word SW (e.g. 6a83),\n"
    "                        or with cutC instead, C bytes short before 90 00; repeatable\n"
    "  --port N              vpcd port (default 35963 = 0x8C7B; 0x.. accepted)\n"
    "  --runs FILE           runs as text, one per line: YYYY-MM-DD HH:MM:SS HH:MM:SS.CC ...\n"
    "  --generate SEED:COUNT generated runs\n"
    "  --old N               the first N runs count as downloaded already\n"
    "  --serial HEX          6 serial bytes, byte 0 first (default 0123456789ab)\n"
    "  --idm HEX             8 IDm bytes (default 03fe002400000102)\n"
    "  --battery RAW         raw battery value in plug memory (default 2450)\n"
    "  --product-type N      byte 7 of the product name (default 2)\n"
    "  --transcript          print every APDU and answer\n"
    "  --lift-after N        leave the reader after N APDUs\n"
    "  --connect-timeout MS  how long to retry connecting to vpcd (default 10000)\n";

namespace {

std::optional<long> parseNumber(const std::string& text, long low, long high) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<std::vector<uint8_t>> parseHex(const std::string& text, size_t bytes) {
    if (text.size() != 2 * bytes) return std::nullopt;
    std::vector<uint8_t> out;
    for (size_t i = 0; i < bytes; ++i) {
        auto byte = parseNumber("0x" + text.substr(2 * i, 2), 0, 255);
        if (!byte || !std::isxdigit(static_cast<unsigned char>(text[2 * i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[2 * i + 1]))) {
            return std::nullopt;
        }
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

// One option with its value; false when the value is malformed.
bool applyOption(const std::string& name, const std::string& value, SimOptions& options) {
    if (std::optional<bool> readerOption = applyReaderOption(name, value, options)) {
        return *readerOption;
    }
    if (name == "--port") {
        auto port = parseNumber(value, 1, 65534);
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
        } else if (name == "--transcript") {
            options.transcript = true;
        } else if (i + 1 >= argc) {
            error = "missing value or unknown option: " + name;
            return std::nullopt;
        } else if (!applyOption(name, argv[++i], options)) {
            error = "bad option: " + name + " " + argv[i];
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

bool buildStopwatch(const SimOptions& options, Stopwatch& stopwatch, std::string& error) {
    if (!options.runsFile.empty()) {
        std::ifstream file(options.runsFile);
        std::stringstream text;
        text << file.rdbuf();
        auto runs = file ? parseRuns(text.str()) : std::nullopt;
        if (!runs) {
            error = "cannot read runs from " + options.runsFile;
            return false;
        }
        stopwatch.runs = std::move(*runs);
    } else if (options.seed) {
        stopwatch.runs = generateRuns(*options.seed, options.generateCount);
    }
    stopwatch.downloadedRuns = std::min(static_cast<size_t>(options.oldRuns), stopwatch.runs.size());
    if (options.serial) std::copy(options.serial->begin(), options.serial->end(), stopwatch.serial.begin());
    if (options.idm) std::copy(options.idm->begin(), options.idm->end(), stopwatch.idm.begin());
    if (options.batteryRaw) stopwatch.setBatteryRaw(*options.batteryRaw);
    if (options.productType) stopwatch.productName[7] = *options.productType;
    return true;
}

}  // namespace sim
