// k7x-tool sessions and progress: the training sessions of a date, and one stopwatch's runs of one
// lap count over time with the runs that set a best.
#include <nlohmann/json.hpp>

#include "answer_table.h"
#include "index_session.h"
#include "lap_commands.h"
#include "progress.h"
#include "run_filters.h"
#include "sessions.h"

namespace k7x {
namespace {

using Json = nlohmann::ordered_json;

double secondsOf(std::int64_t hundredths) {
    return static_cast<double>(hundredths) / 100.0;
}

Json jsonTime(std::int64_t hundredths) {
    return hundredths < 0 ? Json(nullptr) : Json(secondsOf(hundredths));
}

void printJson(const Json& document, std::FILE* out) {
    std::fprintf(out, "%s\n", document.dump(2).c_str());
}

void printSessions(const IndexSession& club, const lapdex::TeamDay& day,
                   const std::vector<lapdex::TeamSession>& sessions, int gap, AnswerForm form,
                   std::FILE* out) {
    if (form == AnswerForm::Json) {
        Json document{{"date", day.date}, {"gap_minutes", gap}, {"sessions", Json::array()}};
        for (const lapdex::TeamSession& session : sessions) {
            Json runs = Json::array();
            for (std::size_t i : session.runs) {
                const lapdex::TeamDayRun& run = day.runs[i];
                Json entry{{"path", run.folderName + "/" + run.fileName},
                           {"tab", run.tabName},
                           {"start", run.start},
                           {"laps", run.lapsCs.size()},
                           {"total", jsonTime(run.totalCs)}};
                if (club.clubbed()) entry["pc"] = club.pcText(run.pc);
                runs.push_back(std::move(entry));
            }
            document["sessions"].push_back(
                {{"start", session.start}, {"end", session.end}, {"runs", std::move(runs)}});
        }
        return printJson(document, out);
    }
    // One block per session: its line, then its runs as a table.
    for (std::size_t n = 0; n < sessions.size(); ++n) {
        const lapdex::TeamSession& session = sessions[n];
        std::fprintf(out, "%ssession %zu\t%s\t%s\n", n > 0 ? "\n" : "", n + 1,
                     session.start.c_str(), session.end.c_str());
        AnswerTable table(Layout::Rows,
                          withPcColumn(club, {"tab name", "start", "laps", "total", "path"}));
        for (std::size_t i : session.runs) {
            const lapdex::TeamDayRun& run = day.runs[i];
            table.add(withPcCell(
                club, run.pc,
                {Cell::textOf(run.tabName), Cell::dateTime(run.start),
                 Cell::whole(static_cast<long long>(run.lapsCs.size())), Cell::seconds(run.totalCs),
                 Cell::textOf(run.folderName + "/" + run.fileName)}));
        }
        table.print(form, out);
    }
}

void printProgress(const IndexSession& session, const lapdex::Progress& progress, AnswerForm form,
                   std::FILE* out) {
    auto pathOf = [&progress](const lapdex::ProgressRun& run) {
        return progress.stopwatch.folderName + "/" + run.fileName;
    };
    if (form == AnswerForm::Json) {
        Json document{{"stopwatch", progress.stopwatch.tabName},
                      {"laps", progress.lapCount},
                      {"runs", Json::array()}};
        if (session.clubbed()) document["pc"] = session.pcText(progress.stopwatch.pc);
        for (const lapdex::ProgressRun& run : progress.runs)
            document["runs"].push_back({{"path", pathOf(run)},
                                        {"start", run.start},
                                        {"total", jsonTime(run.totalCs)},
                                        {"best_lap", jsonTime(run.bestLapCs)},
                                        {"pb", run.personalBest}});
        return printJson(document, out);
    }
    AnswerTable table(Layout::Rows,
                      withPcColumn(session, {"start", "total", "best lap", "pb", "path"}));
    for (const lapdex::ProgressRun& run : progress.runs)
        table.add(withPcCell(
            session, progress.stopwatch.pc,
            {Cell::dateTime(run.start), Cell::seconds(run.totalCs), Cell::seconds(run.bestLapCs),
             Cell::flag(run.personalBest), Cell::textOf(pathOf(run))}));
    table.print(form, out);
}

}  // namespace

int runSessions(const Invocation& invocation, std::FILE* out, std::FILE* err) {
    const std::unique_ptr<IndexSession> session =
        openIndexSession(invocation.dataFolder, err, invocation.also);
    if (!session) return kExitFailure;
    const std::optional<lapdex::TeamDay> day = dayOfInvocation(*session, invocation, err);
    if (!day) return kExitFailure;
    printSessions(*session, *day, lapdex::sessionsOf(*day, invocation.gapMinutes),
                  invocation.gapMinutes, invocation.form, out);
    return finishAnswer(*session, out);
}

int runProgress(const Invocation& invocation, std::FILE* out, std::FILE* err) {
    const std::unique_ptr<IndexSession> session =
        openIndexSession(invocation.dataFolder, err, invocation.also);
    if (!session) return kExitFailure;
    const std::string& named = invocation.filters.stopwatch;
    // The first data folder that has the stopwatch, this PC's first.
    const std::vector<lapdex::RunStopwatch> found = stopwatchesNamed(session->source(), named);
    if (found.empty()) {
        std::fprintf(err, "k7x-tool: no stopwatch is registered as %s\n", named.c_str());
        return kExitFailure;
    }
    const lapdex::RunQuery& query = invocation.filters.query;
    const lapdex::SourceAnswer<lapdex::Progress> progress = lapdex::loadProgress(
        session->source(),
        {found[0].folderName, query.lapCount, query.fromDate, query.toDate, found[0].pc});
    if (!progress.value) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be listed\n",
                     invocation.dataFolder.c_str());
        return kExitFailure;
    }
    reportProblems(*session, progress.problems, err);
    printProgress(*session, *progress.value, invocation.form, out);
    return finishAnswer(*session, out);
}

}  // namespace k7x
