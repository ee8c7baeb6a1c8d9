// stopwatch-sim's reader options taken together.
#include "vpcd/reader_options.h"

namespace sim {

namespace {

std::optional<SimReader> readerNamed(const std::string& name) {
    if (name.find("ACS") != std::string::npos) return SimReader::Acs;
    if (name.find("Sony") != std::string::npos || name.find("SONY") != std::string::npos) {
        return SimReader::Sony;
    }
    return std::nullopt;
}

}  // namespace

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
