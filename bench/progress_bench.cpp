// The session and progress figures: the sessions of a day of 1,000 runs, the progress chart of a
// stopwatch with 5,000 runs drawn at the window's size, and the squad view of 100 stopwatches
// over 12 months. Prints milliseconds per call and the targets (16, 16 and 50 ms); not a test.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <cstdio>

#include "progress.h"
#include "progress_chart.h"
#include "sessions.h"

using namespace lapdex;

namespace {

template <class F>
double millisecondsPer(int repeats, F&& call) {
    call();  // warm caches
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repeats; ++i) call();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / repeats;
}

std::string startOf(int dayOffset, int secondOfDay) {
    char text[40];
    const int month = 1 + dayOffset / 28 % 12, day = 1 + dayOffset % 28;
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", 2020 + dayOffset / 336, month,
                  day, secondOfDay / 3600 % 24, secondOfDay / 60 % 60, secondOfDay % 60);
    return text;
}

TeamDay busyDay() {
    TeamDay day;
    day.date = "2024-05-18";
    for (int i = 0; i < 1000; ++i) {
        TeamDayRun run;
        // Ten sessions of a hundred runs, a run every 20 s within a session.
        run.start = startOf(140, 6 * 3600 + (i / 100) * 5400 + (i % 100) * 20);
        run.totalCs = 30000;
        run.lapsCs.assign(5, 6000);
        day.runs.push_back(std::move(run));
    }
    return day;
}

// "QTM-<n>" (built with append: GCC 12 at -O3 warns wrongly about operator+ on a literal).
std::string folderOf(int n) {
    std::string name = "QTM-";
    name.append(std::to_string(n));
    return name;
}

std::vector<RunRow> season(int stopwatches, int runsEach) {
    std::vector<RunRow> rows;
    for (int i = 0; i < runsEach; ++i) {
        for (int s = 0; s < stopwatches; ++s) {
            RunRow row{folderOf(s + 1), "", "", {}, {}, {}};
            row.fileName.append("f").append(std::to_string(i));
            row.run.start = startOf(i * 336 / runsEach, 7 * 3600 + s);
            row.run.lapCount = 4;
            row.run.totalCs = 30000 + (i * 7919 + s * 104729) % 3000;
            row.run.bestLapCs = 7000 + (i * 31) % 500;
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TeamDay day = busyDay();
    std::size_t found = 0;
    const double sessions = millisecondsPer(100, [&] { found = sessionsOf(day, 45).size(); });
    std::printf("sessions of a day of 1000 runs (%zu sessions): %.3f ms (target 16 ms)\n", found,
                sessions);
    const std::vector<RunRow> one = season(1, 5000);
    const RunStopwatch stopwatch{"QTM-1", "", "A", {}};
    Progress progress;
    const double computed = millisecondsPer(20, [&] {
        progress = progressOf(stopwatch, one, {"QTM-1", 0, "", ""});
    });
    lapdex::ui::ProgressChart chart;
    chart.resize(640, 440);
    chart.setProgress(progress);
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    const double drawn = millisecondsPer(20, [&] { chart.render(&image); });
    std::printf(
        "progress of 5000 runs: computed %.3f ms, drawn %.3f ms, together %.3f ms "
        "(target 16 ms)\n",
        computed, drawn, computed + drawn);
    std::vector<RunStopwatch> squad;
    for (int s = 0; s < 100; ++s) squad.push_back({folderOf(s + 1), "", "", {}});
    const std::vector<RunRow> rows = season(100, 120);
    SquadView view;
    const double squadMs = millisecondsPer(20, [&] { view = squadOf(squad, rows, 4); });
    std::printf("squad view of 100 stopwatches x %zu months (%zu runs): %.3f ms (target 50 ms)\n",
                view.months.size(), rows.size(), squadMs);
    return 0;
}
