// Reading the runs behind a window's answer, and naming those that could not be read.
#include "run_gathering.h"

#include <QStringList>
#include <algorithm>

#include "query_texts.h"

namespace lapdex::ui {
namespace {

MissedRun::Why whyOf(RunRead::Outcome outcome) {
    switch (outcome) {
        case RunRead::Outcome::Gone:
            return MissedRun::Why::Gone;
        case RunRead::Outcome::Unavailable:
            return MissedRun::Why::Unavailable;
        default:
            return MissedRun::Why::Unreadable;
    }
}

const Text& textOf(MissedRun::Why why) {
    switch (why) {
        case MissedRun::Why::Gone:
            return query_text::kGone;
        case MissedRun::Why::NoLaps:
            return query_text::kNoLaps;
        case MissedRun::Why::Unavailable:
            return query_text::kUnavailable;
        default:
            return query_text::kUnreadable;
    }
}

}  // namespace

GatheredRuns gatherRuns(RunSource& source, const std::vector<RunRow>& rows) {
    GatheredRuns gathered;
    gathered.runs.reserve(rows.size());
    for (const RunRow& row : rows) {
        const std::string path = row.folderName + "/" + row.fileName;
        // From the data folder the row was listed in: a club folder's run is not in the own.
        RunRead read = source.readRunOf(row);
        if (!read.ok()) {
            gathered.missed.push_back({placeText(row.pc, path), whyOf(read.outcome), read.reason});
            continue;
        }
        gathered.runs.push_back({row.tabName, row.serialText, path, std::move(read.run), row.pc});
    }
    return gathered;
}

GatheredRuns gatherQuery(RunSource& source, const RunQuery& query) {
    const RunListing listing = source.listRuns(query);
    if (!listing.answered) return {false, {}, {}};
    GatheredRuns gathered = gatherRuns(source, listing.rows);
    for (const RunProblem& problem : listing.problems)
        gathered.missed.push_back(
            {problemPlace(problem), MissedRun::Why::Unreadable, problem.reason});
    return gathered;
}

GatheredRuns gatherDay(RunSource& source, const std::string& date) {
    RunQuery query;
    query.fromDate = date;
    query.toDate = date;
    return gatherQuery(source, query);
}

TeamDay teamDayOf(const std::vector<ExportRun>& runs, const std::string& date) {
    TeamDay day;
    for (const ExportRun& r : runs) {
        TeamDayRun run;
        run.folderName = r.relativePath.substr(0, r.relativePath.find('/'));
        run.tabName = r.tabName;
        run.fileName = r.relativePath.substr(r.relativePath.find('/') + 1);
        run.start = r.run.start;
        run.timeFormat = r.run.timeFormat;
        for (const LapDetails& lap : r.run.laps) {
            run.lapsCs.push_back(lap.lapCs);
            run.splitsCs.push_back(lap.splitCs);
        }
        run.totalCs = r.run.totalCs;
        run.bestLapCs = r.run.bestLapCs;
        run.averageLapCs = r.run.averageLapCs;
        run.pc = r.pc;
        day.lapColumns = std::max(day.lapColumns, static_cast<int>(run.lapsCs.size()));
        day.runs.push_back(std::move(run));
    }
    day.date = date;
    if (day.date.empty() && !runs.empty()) day.date = runs.front().run.start.substr(0, 10);
    return day;
}

QString missedRunsText(const std::vector<MissedRun>& missed, int lines) {
    QStringList text;
    for (const MissedRun& m : missed) {
        if (text.size() == lines) {
            text << ui::localized(query_text::kMoreMissed)
                        .arg(static_cast<qsizetype>(missed.size()) - lines);
            break;
        }
        const QString detail =
            m.detail.empty()
                ? QString()
                : QStringLiteral(" (") + QString::fromStdString(m.detail) + QStringLiteral(")");
        const QString why = ui::localized(textOf(m.why));
        text << (m.path.empty() ? why + detail
                                : ui::localized(query_text::kMissedLine)
                                      .arg(QString::fromStdString(m.path), why, detail));
    }
    return text.join(u'\n');
}

}  // namespace lapdex::ui
