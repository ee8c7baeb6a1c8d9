// The engine over real pcscd + vpcd + stopwatch-sim: time from laying on a stopwatch with
// a full 65,535-byte memory to its last run file, and the CPU the worker spends polling an
// empty reader. Run as root with no other pcscd: build/bench/engine_download_bench [SECONDS]
#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "engine/engine.h"
#include "file_system.h"
#include "pcscd_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

class WaitingSink : public lapdex::NotificationSink {
public:
    void post(lapdex::MessageId id) override {
        std::lock_guard<std::mutex> guard(mutex_);
        if (id == lapdex::NTF_DOWNLOAD_DONE || id == lapdex::NTF_COMM_ERROR) {
            last_ = id;
            changed_.notify_all();
        }
    }
    lapdex::MessageId wait(std::chrono::seconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, timeout, [this] { return last_ != 0; });
        return last_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    lapdex::MessageId last_ = 0;
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of another process from /proc/PID/stat (user + system).
double processCpuSeconds(int pid) {
    std::FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!file) return 0;
    char buffer[1024] = {};
    size_t length = std::fread(buffer, 1, sizeof buffer - 1, file);
    std::fclose(file);
    std::string text(buffer, length);
    size_t field = text.rfind(')');
    unsigned long user = 0, system = 0;
    if (field == std::string::npos ||
        std::sscanf(text.c_str() + field + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                    &user, &system) != 2) {
        return 0;
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

size_t countFiles(const std::string& folder) {
    size_t count = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        ++count;
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 30;
    testsupport::PcscdFixture fixture;
    if (auto started = fixture.start(); !started) {
        std::fprintf(stderr, "engine_download_bench: %s\n", started.error.c_str());
        return 1;
    }
    std::string data = fixture.folder() + "/data/";
    std::filesystem::create_directories(data);
    lapdex::EngineState state(lapdex::DataFolder(lapdex::systemFileSystem(), data));
    state.config = lapdex::loadConfiguration(state.data, "JPN");
    state.tabs.rebuild(state.config.registry);
    WaitingSink sink;
    lapdex::Engine engine(state, sink);
    engine.start();

    double cpuBefore = cpuSeconds();
    double pcscdBefore = processCpuSeconds(fixture.pcscdPid());
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    double ours = cpuSeconds() - cpuBefore;
    double pcscd = processCpuSeconds(fixture.pcscdPid()) - pcscdBefore;
    std::printf("Polling an empty reader for %d s: worker %.3f s CPU (%.2f%% of one core), "
                "pcscd %.3f s (%.2f%%)\n",
                idleSeconds, ours, 100.0 * ours / idleSeconds, pcscd, 100.0 * pcscd / idleSeconds);

    auto laid = Clock::now();
    if (auto on = fixture.layStopwatch({"--generate", "7:4000", "--allow-odd-runs"}); !on) {
        std::fprintf(stderr, "engine_download_bench: %s\n", on.error.c_str());
        return 1;
    }
    lapdex::MessageId outcome = sink.wait(std::chrono::seconds(120));
    double seconds = std::chrono::duration<double>(Clock::now() - laid).count();
    size_t files = countFiles(data + "QTM-01");
    engine.stop();
    if (outcome != lapdex::NTF_DOWNLOAD_DONE) {
        std::fprintf(stderr, "engine_download_bench: the download did not finish\n");
        return 1;
    }
    std::printf("Full memory (65,535 bytes): %zu run files %.3f s after laying the stopwatch on "
                "(including up to one 500 ms tick and pcscd's card detection)\n",
                files, seconds);
    return 0;
}
