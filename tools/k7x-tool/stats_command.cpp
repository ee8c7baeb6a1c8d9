// k7x-tool stats: every statistic of one run, from the run index.
#include "index_session.h"
#include "lap_commands.h"
#include "lap_statistics.h"

namespace k7x {
namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

// "QTM-01" and the file name from a run file path ending in ".../QTM-01/QTM....csv".
bool splitRunPath(const std::string& path, std::string& folder, std::string& file) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return false;
    file = path.substr(slash + 1);
    const std::size_t before = path.find_last_of('/', slash - 1);
    folder = path.substr(before == std::string::npos ? 0 : before + 1,
                         slash - (before == std::string::npos ? 0 : before + 1));
    return !file.empty() && !folder.empty();
}

std::string optionalText(bool present, double cs) {
    return present ? lapdex::signedSecondsText(cs) : std::string();
}

void printStatistics(const lapdex::RunDetails& run, const lapdex::LapStatistics& s,
                     std::FILE* out) {
    char variation[32];
    std::snprintf(variation, sizeof variation, "%.2f", s.coefficientOfVariation * 100.0);
    const std::pair<const char*, std::string> lines[] = {
        {"start", run.start},
        {"lap count", std::to_string(run.lapCount)},
        {"total", lapdex::secondsText(run.totalCs)},
        {"best lap", lapdex::secondsText(run.bestLapCs)},
        {"best lap number", std::to_string(run.bestLapNumber)},
        {"average lap", lapdex::secondsText(run.averageLapCs)},
        {"slowest lap", lapdex::secondsText(s.slowestLapCs)},
        {"slowest lap number", std::to_string(s.slowestLapNumber)},
        {"median lap", lapdex::signedSecondsText(s.medianLapCs)},
        {"standard deviation", lapdex::signedSecondsText(s.standardDeviationCs)},
        {"coefficient of variation %", variation},
        {"first half average", optionalText(s.hasHalves, s.firstHalfAverageCs)},
        {"second half average", optionalText(s.hasHalves, s.secondHalfAverageCs)},
        {"fade", optionalText(s.hasHalves, s.fadeCs)},
        {"average without lap 1", optionalText(s.hasAverageWithoutFirst, s.averageWithoutFirstCs)},
    };
    for (const auto& [name, value] : lines) std::fprintf(out, "%s\t%s\n", name, value.c_str());
}

}  // namespace

int runStats(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::string folder;
    std::string file;
    if (args.size() != 2 || !splitRunPath(args[1], folder, file)) {
        std::fprintf(err, "k7x-tool: stats needs a data folder and a run file in it\n\n%s",
                     lapUsageText());
        return kUsage;
    }
    const std::unique_ptr<IndexSession> session = openIndexSession(args[0], err);
    if (!session) return kFailure;
    const lapdex::RunRead read = session->source().readRun(folder, file);
    if (read.outcome == lapdex::RunRead::Outcome::Gone) {
        std::fprintf(err, "k7x-tool: %s is no run file of %s\n", args[1].c_str(), args[0].c_str());
        return kFailure;
    }
    if (!read.ok()) {
        std::fprintf(err, "k7x-tool: %s cannot be read: %s\n", args[1].c_str(),
                     read.reason.c_str());
        return kFailure;
    }
    const lapdex::RunDetails* run = &read.run;
    const std::optional<lapdex::LapStatistics> stats = lapdex::runStatistics(*run);
    if (!stats) {
        std::fprintf(err, "k7x-tool: the laps of %s cannot be read\n", args[1].c_str());
        return kFailure;
    }
    printStatistics(*run, *stats, out);
    return finishAnswer(*session, out);
}

}  // namespace k7x
