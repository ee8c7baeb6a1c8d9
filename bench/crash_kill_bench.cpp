// The long crash-safety loop: a few hundred SIGKILLs of the download-and-memo child, with the
// folder checked after each. Usage: crash_kill_bench [KILLS [SEED]]; prints the figures.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "kill_loop.h"

int main(int argc, char** argv) {
    const int kills = argc > 1 ? std::atoi(argv[1]) : 300;
    const unsigned seed =
        argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 20260901u;
    std::string pattern = (std::filesystem::temp_directory_path() / "lapdex-crash-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 2;
    const std::string data = pattern + "/data";
    std::filesystem::create_directory(data);
    const auto start = std::chrono::steady_clock::now();
    lapdex::crash::KillLoopReport report =
        lapdex::crash::runKillLoop(LAPDEX_CRASH_CHILD, data, kills, seed, 2, 150);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("kills=%d run-files=%d edited=%d leftovers-seen=%d problems=%zu seconds=%.1f\n",
                report.kills, report.runFiles, report.editedRunFiles, report.leftovers,
                report.problems.size(), seconds);
    for (const std::string& problem : report.problems) std::printf("  %s\n", problem.c_str());
    std::error_code ec;
    if (report.problems.empty()) std::filesystem::remove_all(pattern, ec);
    return report.problems.empty() ? 0 : 1;
}
