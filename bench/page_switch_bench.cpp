// How long the stopwatch page takes to switch months, pick a day and select a run when the
// stopwatch's folder holds 20,000 run files. Prints milliseconds per action; not a test.
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <fstream>

#include "c_user_dialog.h"
#include "month_calendar.h"
#include "run_file_writer.h"
#include "run_index.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

constexpr int kRunFiles = 20000;
constexpr int kRunsPerDay = 40;  // 500 days from 1 January 2024

class BenchHost : public PageHost {
public:
    explicit BenchHost(std::string folder) : folder_(std::move(folder)) {}
    void pauseWorker() override {}
    void resumeWorker() override {}
    void withWorkerLock(const std::function<void()>& work) override { work(); }
    std::string currentStopwatchFolder() override { return folder_; }
    int registeredCount() const override { return 1; }
    bool askYesNo(std::string_view) override { return false; }
    void showError(std::string_view) override {}
    void refreshBatteryNow() override {}
    void openWithDesktop(const std::string&) override {}
    void runDeleted() override {}
    bool discard(const std::string&) override { return false; }

private:
    std::string folder_;
};

RunRecord sampleRun() {
    RunRecord run;
    run.start = RunStart{2023, 12, 1, 9, 0, 0};
    for (int i = 1; i <= 10; ++i) {
        const std::uint32_t split = 7050u * static_cast<std::uint32_t>(i);
        run.laps.push_back(LapEntry{i, RunTime{0, 1, 10, 50, 0},
                                    RunTime{0, split / 6000 % 60, split / 100 % 60, split % 100, 0}, {}});
    }
    run.lapCount = 10;
    run.total = run.laps.back().split;
    run.bestLapNumber = 1;
    run.bestLap = run.averageLap = run.laps.front().lap;
    return run;
}

// One run file made by the writer, copied under 20,000 names (the content is not what is measured).
void fillFolder(const std::string& dataFolder) {
    const std::string folder = dataFolder + "QTM-01";
    (void)systemFileSystem().createFolder(folder);
    const RunFileWriteResult sample = writeRunFile(systemFileSystem(), dataFolder, 0, "0123456789ab", sampleRun());
    const std::string bytes = systemFileSystem().readFile(sample.path).bytes;
    const QDate first(2024, 1, 1);
    for (int i = 0; i < kRunFiles; ++i) {
        const QDate day = first.addDays(i / kRunsPerDay);
        const int second = (i % kRunsPerDay) * 90;
        char name[64];
        std::snprintf(name, sizeof name, "/QTM%02d%02d%02d_%02d%02d%02d_0123456789ab.csv", day.year() % 100,
                      day.month(), day.day(), 8 + second / 3600, second / 60 % 60, second % 60);
        std::ofstream(folder + name, std::ios::binary) << bytes;
    }
}

template <class F>
double averageMs(int repeats, CUserDialog& page, F&& action) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repeats; ++i) {
        action(i);
        QCoreApplication::sendPostedEvents(&page);  // the day marks the calendar asked for
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / repeats;
}

void measure(BenchHost& host, RunIndex* index);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir data;
    const std::string dataFolder = data.path().toStdString() + "/";
    QElapsedTimer fill;
    fill.start();
    fillFolder(dataFolder);
    std::printf("%d run files written in %.0f ms\n", kRunFiles, static_cast<double>(fill.elapsed()));
    BenchHost host(dataFolder + "QTM-01");
    // The same page twice: scanning the folder (the reference), then answered by the run index.
    QTemporaryDir cache;
    RunIndex index(systemFileSystem(), dataFolder, cache.path().toStdString() + "/runs.sqlite");
    QThread::msleep(1100);  // the folder's time settles, as it has long done at any real start
    QElapsedTimer build;
    build.start();
    if (!index.open() || !index.refreshAll({{"QTM-01", "0123456789ab", "QTM-01", {}}})) return 1;
    std::printf("run index built from %d run files in %.0f ms\n", kRunFiles,
                static_cast<double>(build.elapsed()));
    for (RunIndex* source : {static_cast<RunIndex*>(nullptr), &index}) {
        std::printf("\n== %s\n", source ? "with the run index" : "folder scan");
        measure(host, source);
    }
    return 0;
}

namespace {

void measure(BenchHost& host, RunIndex* index) {
    CUserDialog page(nullptr, host);
    page.setRunIndex(index);
    page.initialisePage();
    page.show();
    MonthCalendar& calendar = *page.calendar();
    calendar.setSelectedDate(QDate(2024, 3, 10));
    const double months = averageMs(20, page, [&](int i) {
        if (i % 2 == 0) calendar.showNextMonths();
        else calendar.showPreviousMonths();
    });
    const double days = averageMs(40, page, [&](int i) {
        QTest::keyClick(&calendar, i % 2 == 0 ? Qt::Key_Right : Qt::Key_Left);
    });
    const double runs = averageMs(40, page, [&](int i) { page.runList()->setCurrentRow((i * 7) % kRunsPerDay); });
    const double marks = averageMs(20, page, [&](int) { page.computeDayMasks(); });
    const double listing = averageMs(20, page, [&](int) { page.showDay(); });
    std::printf("runs listed for the day: %d\n", page.runList()->count());
    std::printf("  of which day marks alone: %.2f ms, day listing alone: %.2f ms\n", marks, listing);
    std::printf("month switch (day marks of 4 months + day listing): %.2f ms\n", months);
    std::printf("day selection (day marks + day listing of %d runs): %.2f ms\n", kRunsPerDay, days);
    std::printf("run selection (one run file read): %.2f ms\n", runs);
}

}  // namespace
