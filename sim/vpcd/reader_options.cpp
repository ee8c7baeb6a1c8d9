// The reader-related options of stopwatch-sim.
#include "vpcd/reader_options.h"

namespace sim {

const char* const kSimReaderUsage =
    "  --answers STYLE       ACS reader: get-response (61 Le, then Get Response; default) or\n"
    "                        direct (the controller's answer at once, as under the CCID driver)\n"
    "  --reader-name NAME    the reader's FRIENDLYNAME in pcscd's reader.conf; without --reader\n"
    "                        it chooses the emulation: \"ACS\" in it, else \"Sony\"/\"SONY\"\n";

namespace {

std::optional<SimReader> readerNamed(const std::string& name) {
    if (name.find("ACS") != std::string::npos) return SimReader::Acs;
    if (name.find("Sony") != std::string::npos || name.find("SONY") != std::string::npos) {
        return SimReader::Sony;
    }
    return std::nullopt;
}

}  // namespace

std::optional<bool> applyReaderOption(const std::string& name, const std::string& value,
                                      SimOptions& options) {
    if (name == "--answers") {
        if (value != "direct" && value != "get-response") return false;
        options.answers = value == "direct" ? AcsAnswers::Direct : AcsAnswers::GetResponse;
        return true;
    }
    if (name == "--reader-name") {
        options.readerName = value;
        return !value.empty();
    }
    return std::nullopt;
}

bool resolveReaderOptions(SimOptions& options, std::string& error) {
    const std::optional<SimReader> named = readerNamed(options.readerName);
    if (options.readerGiven && named && *named != options.reader) {
        error = "--reader-name \"" + options.readerName +
                "\" names another kind of reader than --reader";
        return false;
    }
    if (!options.readerGiven && named) options.reader = *named;
    if (options.reader == SimReader::Sony && options.answers == AcsAnswers::Direct) {
        error = "--answers direct is for an ACS reader; a Sony reader always answers at once";
        return false;
    }
    return true;
}

}  // namespace sim
