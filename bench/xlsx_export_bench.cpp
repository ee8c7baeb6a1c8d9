// runs.xlsx of 20,000 runs and 300,000 laps: the time to make and write it, the file's size and
// the peak memory, beside runs.csv and laps.csv of the same runs. Prints figures; not a test.
// Usage: build/bench/xlsx_export_bench [OUTFOLDER]   (a fresh temporary folder by default)
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "export_files.h"

using namespace lapdex;

namespace {

constexpr int kRuns = 20000;
constexpr int kLapsPerRun = 15;

// Runs of 15 laps on 100 stopwatches, every fifth with memos a spreadsheet would misread.
std::vector<ExportRun> benchRuns() {
    std::vector<ExportRun> runs(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        ExportRun& r = runs[static_cast<std::size_t>(i)];
        char serial[16], start[32], path[64];
        std::snprintf(serial, sizeof serial, "0000000000%02x", i % 100);
        std::snprintf(start, sizeof start, "2024-%02d-%02dT%02d:%02d:00", i / 2000 % 12 + 1,
                      i / 100 % 28 + 1, 6 + i % 12, i % 60);
        std::snprintf(path, sizeof path, "QTM-%02d/QTM%06d_%s.csv", i % 100 + 1, i, serial);
        r.tabName = "走者" + std::to_string(i % 100 + 1);
        r.serialText = serial;
        r.relativePath = path;
        RunDetails& run = r.run;
        run.start = start;
        run.lapCount = kLapsPerRun;
        run.memo = i % 5 == 0 ? "2024-05-01 向かい風, \"強い\"" : "";
        std::int64_t split = 0;
        for (int n = 1; n <= kLapsPerRun; ++n) {
            const std::int64_t lap = 6000 + (i * 7 + n * 13) % 900;
            split += lap;
            run.laps.push_back({n, lap, split, n == 3 && i % 5 == 0 ? "=1+1" : ""});
            if (run.bestLapCs < 0 || lap < run.bestLapCs)
                run.bestLapCs = lap, run.bestLapNumber = n;
        }
        run.totalCs = split;
        run.averageLapCs = split / kLapsPerRun;
    }
    return runs;
}

long peakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Processor seconds of this process so far: on a busy machine a fairer figure than the clock's.
double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Makes and writes one export; prints its time, its files' size and the peak memory so far.
bool measure(const char* what, const std::vector<ExportRun>& runs, ExportFormat format,
             const std::string& out) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    const auto files = exportFiles(runs, format, TcxFiles::OneForAll, systemLocalToUtc);
    const double made = secondsSince(start);
    const ExportResult result =
        writeExportFiles(systemFileSystem(), out + "/data", out, files, Overwrite::Replace);
    const double total = secondsSince(start);
    const double cpu = cpuSeconds() - cpuStart;
    std::uintmax_t bytes = 0;
    for (const std::string& path : result.written) bytes += std::filesystem::file_size(path);
    std::printf(
        "%-5s made in %.2f s, written in %.2f s in all (%.2f s of processor), %.1f MB, "
        "peak memory %.0f MB\n",
        what, made, total, cpu, static_cast<double>(bytes) / 1e6,
        static_cast<double>(peakKilobytes()) / 1024);
    return result.ok();
}

}  // namespace

int main(int argc, char** argv) {
    std::string out = argc > 1 ? argv[1] : std::string();
    if (out.empty()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "xlsx-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return 1;
        out = pattern;
    }
    const std::vector<ExportRun> runs = benchRuns();
    std::printf("%d runs, %d laps; peak memory with the runs loaded %.0f MB\n", kRuns,
                kRuns * kLapsPerRun, static_cast<double>(peakKilobytes()) / 1024);
    // The workbook first, so its peak is not hidden by the CSV's.
    const bool ok = measure("xlsx", runs, ExportFormat::Workbook, out) &&
                    measure("csv", runs, ExportFormat::Spreadsheet, out);
    if (argc <= 1) std::filesystem::remove_all(out);
    return ok ? 0 : 1;
}
