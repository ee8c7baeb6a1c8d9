#include "vpcd/sim_command_line.h"

#include <functional>

#include "lapdex_version.h"
#include "vpcd/option_values.h"

namespace sim {
namespace {

using Setter = std::function<void(const std::string&)>;

// An option with one value, checked by `set`, which throws on a bad one.
CLI::Option* valueOption(CLI::App& app, const char* name, const char* type, const char* group,
                         Setter set, const char* help) {
    return app.add_option_function<std::string>(name, std::move(set), help)
        ->type_name(type)
        ->group(group);
}

[[noreturn]] void refuse(const char* name, const std::string& value, const std::string& takes) {
    throw CLI::ValidationError(name, "'" + value + "' is not " + takes);
}

// A decimal option from `low` to `high` into `target`.
template <typename T>
Setter decimal(const char* name, long low, long high, T& target) {
    return [=, &target](const std::string& value) {
        auto number = parseDecimal(value, low, high);
        if (!number)
            refuse(name, value,
                   "a number from " + std::to_string(low) + " to " + std::to_string(high));
        target = static_cast<T>(*number);
    };
}

template <typename T>
Setter hexBytes(const char* name, size_t bytes, T& target) {
    return [=, &target](const std::string& value) {
        target = parseHexBytes(value, bytes);
        if (!target)
            refuse(name, value,
                   std::to_string(bytes) + " bytes in hex (" + std::to_string(2 * bytes) +
                       " hex digits)");
    };
}

void setPort(const std::string& value, SimOptions& options) {
    const bool isHex = value.rfind("0x", 0) == 0 || value.rfind("0X", 0) == 0;
    auto port = isHex ? parseHexNumber(value.substr(2), 1, 65534) : parseDecimal(value, 1, 65534);
    if (!port) refuse("--port", value, "a port from 1 to 65534 (decimal, or hex with 0x)");
    options.port = static_cast<uint16_t>(*port);
}

void setGenerate(const std::string& value, SimOptions& options) {
    const size_t colon = value.find(':');
    auto seed = colon == std::string::npos ? std::nullopt
                                           : parseDecimal(value.substr(0, colon), 0, 0xFFFFFFFFL);
    auto count = colon == std::string::npos ? std::nullopt
                                            : parseDecimal(value.substr(colon + 1), 0, 100000);
    if (!seed || !count)
        refuse("--generate", value,
               "SEED:COUNT (SEED from 0 to 4294967295, COUNT from 0 to 100000)");
    options.seed = static_cast<uint32_t>(*seed);
    options.generateCount = static_cast<int>(*count);
}

void describeStopwatch(CLI::App& app, SimOptions& o) {
    const char* group = "The stopwatch";
    valueOption(
        app, "--runs", "FILE", group, [&o](const std::string& v) { o.runsFile = v; },
        "the runs, one per line (blank lines and # comments skipped):\n"
        "  2024-05-01 07:30:00 00:01:10.50 00:02:15.20\n"
        "start date and time, then the split of every lap: the time from the start to\n"
        "the end of that lap (cumulative, never decreasing), HH:MM:SS.CC");
    valueOption(
        app, "--generate", "SEED:COUNT", group, [&o](const std::string& v) { setGenerate(v, o); },
        "COUNT made-up runs; SEED picks them (the same runs for the same SEED): one a\n"
        "day from 2024-01-01 (28 days a month), 1 to 40 laps of 40 to 120 s each");
    valueOption(app, "--old", "N", group, decimal("--old", 0, 100000, o.oldRuns),
                "the first N runs count as downloaded already");
    valueOption(app, "--serial", "HEX", group, hexBytes("--serial", 6, o.serial),
                "6 serial bytes as the chip stores them, byte 0 first (default 0123456789ab);\n"
                "Lapdex and k7x-tool show byte 5 first: ab8967452301");
    valueOption(app, "--idm", "HEX", group, hexBytes("--idm", 8, o.idm),
                "8 IDm bytes (default 03fe002400000102)");
    valueOption(app, "--battery", "RAW", group, decimal("--battery", 0, 0xFFFF, o.batteryRaw),
                "raw battery value in plug memory (default 2450)");
    valueOption(app, "--product-type", "N", group, decimal("--product-type", 0, 255, o.productType),
                "byte 7 of the product name (default 2)");
}

void describeReader(CLI::App& app, SimOptions& o) {
    const char* group = "The reader";
    valueOption(
        app, "--port", "PORT", group, [&o](const std::string& v) { setPort(v, o); },
        "vpcd's port in pcscd's reader.conf (default 35963 = 0x8C7B)");
    valueOption(
        app, "--reader-name", "NAME", group,
        [&o](const std::string& v) {
            if (v.empty()) refuse("--reader-name", v, "a reader's name");
            o.readerName = v;
        },
        "the reader's FRIENDLYNAME in reader.conf; without --reader it chooses the\n"
        "emulation: \"ACS\" in it, else \"Sony\"/\"SONY\"");
    valueOption(
        app, "--reader", "acs|sony", group,
        [&o](const std::string& v) {
            if (v != "acs" && v != "sony") refuse("--reader", v, "acs or sony");
            o.reader = v == "sony" ? SimReader::Sony : SimReader::Acs;
            o.readerGiven = true;
        },
        "answer as an ACS ACR122U (default) or a Sony reader's driver");
    valueOption(
        app, "--answers", "STYLE", group,
        [&o](const std::string& v) {
            if (v != "direct" && v != "get-response")
                refuse("--answers", v, "get-response or direct");
            o.answers = v == "direct" ? AcsAnswers::Direct : AcsAnswers::GetResponse;
        },
        "ACS reader: get-response (61 Le, then Get Response; default) or direct\n"
        "(the controller's answer at once, as under the CCID driver)");
    valueOption(app, "--connect-timeout", "MS", group,
                decimal("--connect-timeout", 0, 3600000, o.connectTimeoutMs),
                "how long to retry connecting to vpcd (default 10000)");
}

void describeTesting(CLI::App& app, SimOptions& o) {
    const char* group = "For tests";
    // Repeatable: every occurrence comes in one call, in the order given.
    app.add_option_function<std::vector<std::string>>(
           "--sony-fault",
           [&o](const std::vector<std::string>& values) {
               for (const std::string& v : values) {
                   auto fault = parseSonyFault(v);
                   if (!fault) {
                       refuse("--sony-fault", v,
                              "KIND:N:SW or KIND:N:cutC (KIND select, idm, pmm, read or write)");
                   }
                   o.sonyFaults.push_back(*fault);
               }
           },
           "Sony reader: the N-th (0: every) command of kind K is answered with status\n"
           "word SW (e.g. 6a83), or with cutC, C bytes short before 90 00; repeatable")
        ->type_name("K:N:SW")
        ->group(group)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--allow-odd-runs", o.allowOddRuns,
                 "take runs no stopwatch can hold: dates that do not exist, decreasing splits,\n"
                 "more than the memory holds (then cut at 65,535 bytes)")
        ->group(group);
    app.add_flag("--transcript", o.transcript, "print every APDU and answer")->group(group);
    valueOption(app, "--lift-after", "N", group, decimal("--lift-after", 1, 1L << 30, o.liftAfter),
                "leave the reader after N APDUs");
}

}  // namespace

void describeSimOptions(CLI::App& app, SimOptions& options) {
    app.name("stopwatch-sim");
    app.description(
        "Connects to vpcd at 127.0.0.1:PORT as a K7X Stopwatch lying on its virtual reader.");
    app.set_version_flag("--version", "stopwatch-sim " LAPDEX_VERSION, "show the version and exit");
    app.footer(kSimFooter);
    describeStopwatch(app, options);
    describeReader(app, options);
    describeTesting(app, options);
}

}  // namespace sim
