// k7x-tool stats: every statistic of one run, from the run index.
#include "answer_table.h"
#include "index_session.h"
#include "lap_commands.h"
#include "lap_statistics.h"

namespace k7x {
namespace {

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

// The run file named on the command line: a path ending in "QTM-01/<name>", or a bare name looked
// for in every registered stopwatch's folder; this data folder's first, then each of --also. Gone
// when no folder holds it; `pc` tells whose folder did.
lapdex::RunRead findRun(IndexSession& session, const std::string& named, std::string& pc) {
    lapdex::RunRow row;
    lapdex::RunRead read;
    read.outcome = lapdex::RunRead::Outcome::Gone;
    const bool path = named.find('/') != std::string::npos;
    if (path ? !splitRunPath(named, row.folderName, row.fileName) : named.empty()) return read;
    if (!path) row.fileName = named;
    std::vector<std::string> pcs{""};
    pcs.insert(pcs.end(), session.labels.begin(), session.labels.end());
    const std::vector<lapdex::RunStopwatch> stopwatches =
        session.source().registeredStopwatches().value_or(std::vector<lapdex::RunStopwatch>{});
    for (const std::string& label : pcs) {
        row.pc = pc = label;
        for (const lapdex::RunStopwatch& stopwatch : stopwatches) {
            if (stopwatch.pc != label || (path && stopwatch.folderName != row.folderName)) continue;
            row.folderName = stopwatch.folderName;
            read = session.source().readRunOf(row);
            if (read.outcome != lapdex::RunRead::Outcome::Gone) return read;
        }
    }
    return read;
}

Cell optionalSeconds(bool present, double cs) {
    return present ? Cell::signedSeconds(cs) : Cell::missing();
}

void printStatistics(const IndexSession& session, const std::string& pc,
                     const lapdex::RunDetails& run, const lapdex::LapStatistics& s, AnswerForm form,
                     std::FILE* out) {
    char variation[32];
    std::snprintf(variation, sizeof variation, "%.2f", s.coefficientOfVariation * 100.0);
    const std::pair<const char*, Cell> lines[] = {
        {"start", Cell::dateTime(run.start)},
        {"lap count", Cell::whole(run.lapCount)},
        {"total", Cell::seconds(run.totalCs)},
        {"best lap", Cell::seconds(run.bestLapCs)},
        {"best lap number", Cell::whole(run.bestLapNumber)},
        {"average lap", Cell::seconds(run.averageLapCs)},
        {"slowest lap", Cell::seconds(s.slowestLapCs)},
        {"slowest lap number", Cell::whole(s.slowestLapNumber)},
        {"median lap", Cell::signedSeconds(s.medianLapCs)},
        {"standard deviation", Cell::signedSeconds(s.standardDeviationCs)},
        {"coefficient of variation %", Cell::decimal(variation)},
        {"first half average", optionalSeconds(s.hasHalves, s.firstHalfAverageCs)},
        {"second half average", optionalSeconds(s.hasHalves, s.secondHalfAverageCs)},
        {"fade", optionalSeconds(s.hasHalves, s.fadeCs)},
        {"average without lap 1",
         optionalSeconds(s.hasAverageWithoutFirst, s.averageWithoutFirstCs)},
    };
    std::vector<std::string> names;
    std::vector<Cell> cells;
    for (const auto& [name, cell] : lines) {
        names.emplace_back(name);
        cells.push_back(cell);
    }
    AnswerTable table(Layout::Record, withPcColumn(session, std::move(names)));
    table.add(withPcCell(session, pc, std::move(cells)));
    table.print(form, out);
}

}  // namespace

int runStats(const Invocation& invocation, std::FILE* out, std::FILE* err) {
    const std::string& named = invocation.runFile;
    const std::unique_ptr<IndexSession> session =
        openIndexSession(invocation.dataFolder, err, invocation.also);
    if (!session) return kExitFailure;
    std::string pc;
    const lapdex::RunRead read = findRun(*session, named, pc);
    if (read.outcome == lapdex::RunRead::Outcome::Gone) {
        std::fprintf(err, "k7x-tool: %s is no run file of %s\n", named.c_str(),
                     invocation.dataFolder.c_str());
        return kExitFailure;
    }
    if (!read.ok()) {
        std::fprintf(err, "k7x-tool: %s cannot be read: %s\n", named.c_str(), read.reason.c_str());
        return kExitFailure;
    }
    const lapdex::RunDetails* run = &read.run;
    const std::optional<lapdex::LapStatistics> stats = lapdex::runStatistics(*run);
    if (!stats) {
        std::fprintf(err, "k7x-tool: the laps of %s cannot be read\n", named.c_str());
        return kExitFailure;
    }
    printStatistics(*session, pc, *run, *stats, invocation.form, out);
    return finishAnswer(*session, out);
}

}  // namespace k7x
