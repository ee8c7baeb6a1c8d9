// Speed of the run file work: day masks and a day listing over a large stopwatch folder, and
// decoding plus writing a full run data buffer. Targets: masks < 20 ms, listing < 10 ms,
// decode + write < 300 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "run_catalogue.h"
#include "run_decoder.h"
#include "run_file_batch.h"

namespace lapdex {
namespace {

constexpr int kRunFiles = 20000;

std::string makeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lapdex-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

class RemovedAtExit {
public:
    explicit RemovedAtExit(std::string path) : path_(std::move(path)) {}
    ~RemovedAtExit() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// 20,000 run files spread over 2023-01-01 .. 2024-12-31 (about 27 a day), small but well-formed.
const std::string& runFolder() {
    static RemovedAtExit folder = [] {
        RemovedAtExit made(makeTempFolder());
        const std::string runs = made.path() + "/QTM-01";
        std::filesystem::create_directory(runs);
        const std::string text = "n1\r\nn2\r\n\r\n\r\nh\r\n2024/01/31   09:30:15,00:00:10.00,1,1,00:00:10.00,"
                                 "00:00:10.00,\r\n\r\nl\r\n1,00:00:10.00,00:00:10.00,\r\n";
        for (int i = 0; i < kRunFiles; ++i) {
            const int dayIndex = i % 731;
            const int year = 2023 + dayIndex / 366;
            const int month = 1 + (dayIndex % 366) / 31;
            const int day = 1 + (dayIndex % 366) % 31 % 28;
            char name[80];
            std::snprintf(name, sizeof name, "%s/QTM%02d%02d%02d_%02d%02d%02d_0123456789ab.csv", runs.c_str(),
                          year % 100, month > 12 ? 12 : month, day, (i / 731) % 24, i % 60, (i / 7) % 60);
            if (FILE* f = std::fopen(name, "wb")) {
                std::fwrite(text.data(), 1, text.size(), f);
                std::fclose(f);
            }
        }
        return made;
    }();
    return folder.path();
}

class BenchPage : public CataloguePage {
public:
    std::string stopwatchFolder() const override { return runFolder() + "/QTM-01"; }
    int registeredCount() const override { return 1; }
    std::vector<std::string>& runPaths() override { return paths; }
    RunCellStore& cellStore() override { return cells; }
    bool showsMonthView() const override { return true; }
    DisplayedRange displayedRange() const override { return {{2024, 2, 26}, {2024, 5, 5}, 4}; }
    void setDayStates(const std::vector<std::uint32_t>& m) override { masks = m; }

    struct CountingStore : RunCellStore {
        void storeCell(int, int, const std::string&, int) override { ++count; }
        long count = 0;
    } cells;
    std::vector<std::string> paths;
    std::vector<std::uint32_t> masks;
};

void BM_ComputeDayMasks(benchmark::State& state) {
    runFolder();  // created once, outside the timing
    BenchPage page;
    FileSystem& fs = systemFileSystem();
    for (auto _ : state) benchmark::DoNotOptimize(computeDayMasks(fs, page));
    if (page.masks != dayMasksByDaySearch(fs, page)) state.SkipWithError("masks differ");
}
BENCHMARK(BM_ComputeDayMasks)->Unit(benchmark::kMillisecond);

void BM_ListRunsOfDay(benchmark::State& state) {
    runFolder();
    BenchPage page;
    FileSystem& fs = systemFileSystem();
    for (auto _ : state) {
        page.paths.clear();
        benchmark::DoNotOptimize(listRunsOfDay(fs, page, {2024, 3, 14}));
    }
    state.counters["runs"] = static_cast<double>(page.paths.size());
}
BENCHMARK(BM_ListRunsOfDay)->Unit(benchmark::kMillisecond);

// A full 65,535-byte buffer: 1,023 runs of 12 laps and a tail too short for another run.
std::vector<std::uint8_t> fullRunData() {
    std::vector<std::uint8_t> data;
    for (int run = 0; data.size() + 64 <= 65535; ++run) {
        const std::uint8_t header[16] = {0, 0, static_cast<std::uint8_t>(1 + run % 28),
                                         static_cast<std::uint8_t>(1 + run / 28 % 12), 24,
                                         static_cast<std::uint8_t>(run % 60), static_cast<std::uint8_t>(run / 60 % 60),
                                         static_cast<std::uint8_t>(run / 3600), 0, 0, 0, 0, 12, 0, 0, 0};
        data.insert(data.end(), header, header + 16);
        for (int lap = 1; lap <= 12; ++lap) data.insert(data.end(), {static_cast<std::uint8_t>(lap * 7), 10, static_cast<std::uint8_t>(lap), 0});
    }
    data.resize(65535, 0);
    return data;
}

void BM_DecodeAndWriteFullBuffer(benchmark::State& state) {
    const std::vector<std::uint8_t> data = fullRunData();
    RemovedAtExit folder(makeTempFolder());
    std::size_t written = 0;
    int round = 0;
    for (auto _ : state) {
        // A fresh data folder each round: the writer never overwrites, and deleting thousands of
        // files between rounds would make the file system's inode allocation the thing measured.
        state.PauseTiming();
        const std::string dataFolder = folder.path() + "/" + std::to_string(round++) + "/";
        std::filesystem::create_directories(dataFolder + "QTM-01");
        state.ResumeTiming();
        // As the engine does it: one batch for the whole download.
        RunFileBatch batch(systemFileSystem(), dataFolder, 0, "0123456789ab");
        decodeRunData(data, TimeFormat::Clock, [&](RunRecord&& record) { batch.add(record); });
        const std::vector<RunFileWriteResult> results = batch.commit();
        written = static_cast<std::size_t>(std::count_if(results.begin(), results.end(), [](const RunFileWriteResult& r) {
            return r.status == RunFileWriteStatus::Written;
        }));
    }
    state.counters["files"] = static_cast<double>(written);
}
BENCHMARK(BM_DecodeAndWriteFullBuffer)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DecodeFullBuffer(benchmark::State& state) {
    const std::vector<std::uint8_t> data = fullRunData();
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeRunData(data, TimeFormat::DecimalMinute, [](RunRecord&& r) {
            benchmark::DoNotOptimize(r.averageLap);
        }));
    }
}
BENCHMARK(BM_DecodeFullBuffer)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lapdex

BENCHMARK_MAIN();
