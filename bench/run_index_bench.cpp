// The run index against the folder scan: building it, refreshing it at start-up with nothing
// changed, day marks and listing, searching, and its size. Prints figures; not a test.
// Run on an optimised build: build/bench/run_index_bench [FOLDERS] [FILES_PER_FOLDER]
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_runs.h"
#include "cp932.h"
#include "indexed_catalogue.h"
#include "run_file_format.h"
#include "run_index.h"

using namespace lapdex;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// File times this close to the moment they are compared are not trusted to show the next change
// (FAT keeps 2 s): files just written are read again until then.
constexpr auto kSettle = std::chrono::milliseconds(3100);

const char* const kWords[] = {"向かい風",     "雨",       "追い風で好調",
                              "スタート遅れ", "足の痛み", "ペース配分良し"};

RunRecord sampleRun(int i) {
    // 40 runs a day from 1 January 2024, each at its own minute.
    using namespace std::chrono;
    const year_month_day day{sys_days{2024y / January / 1} + days{i / 40}};
    const int k = i % 40;
    RunRecord run;
    run.start = RunStart{int(day.year()),
                         int(unsigned(day.month())),
                         int(unsigned(day.day())),
                         8 + k / 6,
                         (k % 6) * 10,
                         i % 60};
    bench::addBenchLaps(run, 5 + i % 6, static_cast<std::uint32_t>(i % 97));
    if (i % 10 == 0) run.memo = kWords[i / 10 % 6];
    if (i % 25 == 0) run.laps[1].memo = kWords[(i / 25 + 1) % 6];
    return run;
}

// One folder of `count` run files; returns their total size in bytes.
std::uintmax_t fillFolder(const std::string& folder, int first, int count) {
    std::filesystem::create_directories(folder);
    std::uintmax_t bytes = 0;
    for (int i = first; i < first + count; ++i) {
        const RunRecord run = sampleRun(i);
        const std::string text = utf8ToCp932(runFileText(run)).text;
        std::ofstream(folder + "/" + runFileName(run.start, "0123456789ab"), std::ios::binary)
            << text;
        bytes += text.size();
    }
    return bytes;
}

class BenchPage : public CataloguePage {
  public:
    class Cells : public RunCellStore {
      public:
        void storeCell(int, int, const std::string&, int) override {}
    };
    std::string stopwatchFolder() const override { return folder; }
    int registeredCount() const override { return 1; }
    std::vector<std::string>& runPaths() override { return paths; }
    RunCellStore& cellStore() override { return cells; }
    bool showsMonthView() const override { return true; }
    DisplayedRange displayedRange() const override { return range; }
    void setDayStates(const std::vector<std::uint32_t>&) override {}
    std::string folder;
    std::vector<std::string> paths;
    Cells cells;
    DisplayedRange range;
};

template <class F>
double averageMs(int repeats, F&& action) {
    const auto start = Clock::now();
    for (int i = 0; i < repeats; ++i) action(i);
    return msSince(start) / repeats;
}

std::uintmax_t databaseBytes(const std::string& path) {
    std::uintmax_t total = 0;
    for (const char* suffix : {"", "-wal"}) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path + suffix, ec);
        if (!ec) total += size;
    }
    return total;
}

// The run source's promise costs one listing per folder and one lstat() per run file on every
// call: a verified listRuns over 100 folders of 200 unchanged runs each.
int verifiedListing(FileSystem& fs, const std::string& root) {
    const std::string data = root + "/verified/";
    std::vector<RunStopwatch> stopwatches;
    for (int f = 0; f < 100; ++f) {
        char name[16];
        std::snprintf(name, sizeof name, "QTM-%02d", f + 1);
        stopwatches.push_back({name, "0123456789ab", name, {}});
        (void)fillFolder(data + name, f * 200, 200);
    }
    std::this_thread::sleep_for(kSettle);
    RunIndex index(fs, data, root + "/cache/verified.sqlite");
    if (!index.open() || !index.refreshAll(stopwatches)) return std::puts("index failed"), 1;
    for (const auto use : {RunIndex::Notifications::Ignored, RunIndex::Notifications::Used}) {
        index.useNotifications(use);
        std::size_t rows = 0;
        const double all = averageMs(10, [&](int) { rows = index.listRuns({}).rows.size(); });
        RunQuery one;
        one.folderNames = {"QTM-50"};
        const double single = averageMs(50, [&](int) { (void)index.listRuns(one); });
        RunQuery day;
        day.fromDate = day.toDate = "2024-03-01";
        const double dayMs = averageMs(10, [&](int) { (void)index.listRuns(day); });
        const double search = averageMs(10, [&](int) { (void)index.search({}); });
        std::printf(
            "verified listRuns, 100 folders x 200 runs unchanged, notifications %s: all %zu rows "
            "%.1f ms, one day %.1f ms, one folder %.2f ms; window search of all rows %.1f ms\n",
            use == RunIndex::Notifications::Used ? "used" : "ignored", rows, all, dayMs, single,
            search);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int folders = argc > 1 ? std::atoi(argv[1]) : 100;
    const int perFolder = argc > 2 ? std::atoi(argv[2]) : 1000;
    char pattern[] = "/tmp/lapdex-index-bench-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    const std::string data = root + "/data/";
    FileSystem& fs = systemFileSystem();
    if (verifiedListing(fs, root) != 0) return 1;

    // One stopwatch with 20,000 runs: the page and the first build.
    auto start = Clock::now();
    const std::uintmax_t bigBytes = fillFolder(data + "QTM-01", 0, 20000);
    std::printf("20,000 run files written in %.0f ms\n", msSince(start));
    std::this_thread::sleep_for(kSettle);
    const std::vector<RunStopwatch> one{{"QTM-01", "0123456789ab", "QTM-01", {}}};
    {
        RunIndex index(fs, data, root + "/cache/one.sqlite");
        start = Clock::now();
        if (!index.open() || !index.refreshAll(one)) return std::puts("index failed"), 1;
        std::printf("index build from 20,000 run files: %.0f ms (target 3000)\n", msSince(start));
        std::printf("index size %.1f MB against %.1f MB of run files\n",
                    databaseBytes(index.databasePath()) / 1e6, bigBytes / 1e6);
        BenchPage page;
        page.folder = data + "QTM-01";
        page.range = DisplayedRange{{2024, 2, 25}, {2024, 4, 6}, 3};
        const double scanMarks = averageMs(20, [&](int) { (void)dayMasksByDaySearch(fs, page); });
        const double oneScanMarks = averageMs(20, [&](int) { (void)computeDayMasks(fs, page); });
        const double indexMarks =
            averageMs(20, [&](int) { (void)indexedDayMasks(index, fs, page); });
        const double scanList = averageMs(20, [&](int i) {
            page.paths.clear();
            (void)listRunsOfDay(fs, page, {2024, 3, 1 + i % 28});
        });
        const double indexList = averageMs(20, [&](int i) {
            page.paths.clear();
            (void)listIndexedRunsOfDay(index, fs, page, {2024, 3, 1 + i % 28});
        });
        std::printf(
            "day marks of 3 months: index %.2f ms, one folder scan %.2f ms, one search per day "
            "%.2f ms\n",
            indexMarks, oneScanMarks, scanMarks);
        std::printf("day listing (%zu runs read): index %.2f ms, folder scan %.2f ms\n",
                    page.paths.size(), indexList, scanList);
        std::printf(
            "month switch or day selection (marks + listing): index %.2f ms, folder scan %.2f ms "
            "(target 16)\n",
            indexMarks + indexList, oneScanMarks + scanList);
    }

    // Many stopwatches: start-up refresh and search.
    std::uintmax_t allBytes = 0;
    std::vector<RunStopwatch> many;
    start = Clock::now();
    for (int f = 0; f < folders; ++f) {
        char name[16];
        std::snprintf(name, sizeof name, "QTM-%02d", f + 1);
        many.push_back({name, "0123456789ab", name, {}});
        allBytes +=
            fillFolder(data + name, f * perFolder + 20000 * (f == 0), f == 0 ? 0 : perFolder);
    }
    allBytes += bigBytes;
    std::printf("%d folders written in %.0f ms\n", folders, msSince(start));
    std::this_thread::sleep_for(kSettle);
    const std::string manyPath = root + "/cache/many.sqlite";
    {
        RunIndex index(fs, data, manyPath);
        start = Clock::now();
        if (!index.open() || !index.refreshAll(many)) return std::puts("index failed"), 1;
        std::printf("index build from all run files: %.0f ms\n", msSince(start));
    }
    RunIndex index(fs, data, manyPath);
    start = Clock::now();
    (void)index.open();
    const double openMs = msSince(start);
    start = Clock::now();
    (void)index.refreshAll(many);
    std::printf(
        "start-up, nothing changed: open with quick check %.1f ms, refresh of %d folders %.1f ms "
        "(target 100)\n",
        openMs, folders, msSince(start));
    const auto runs = index.search({});
    std::printf("runs in the index: %zu; index %.1f MB against %.1f MB of run files\n",
                runs ? runs->size() : 0, databaseBytes(manyPath) / 1e6, allBytes / 1e6);
    RunQuery wordAndDates;
    wordAndDates.words = {"向かい風"};
    wordAndDates.fromDate = "2024-03-01";
    wordAndDates.toDate = "2025-06-30";
    wordAndDates.limit = 200;
    RunQuery shortWord = wordAndDates;
    shortWord.words = {"雨"};
    RunQuery laps;
    laps.lapCount = 7;
    laps.limit = 200;
    RunQuery lapsAll = laps;
    lapsAll.limit = 0;
    std::size_t found = 0;
    const auto timed = [&](const RunQuery& q) {
        return averageMs(10, [&](int) { found = index.search(q)->size(); });
    };
    double ms = timed(wordAndDates);
    std::printf(
        "search, memo word (trigram) + date range, first 200: %.2f ms, %zu rows (target 50)\n", ms,
        found);
    ms = timed(shortWord);
    std::printf("search, one-character memo word + date range, first 200: %.2f ms, %zu rows\n", ms,
                found);
    ms = timed(laps);
    std::printf("search, lap count, first 200: %.2f ms, %zu rows\n", ms, found);
    ms = timed(lapsAll);
    std::printf("search, lap count, every row: %.2f ms, %zu rows\n", ms, found);
    std::filesystem::remove_all(root);
    return 0;
}
