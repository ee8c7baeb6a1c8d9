// The process the crash test kills: downloads through the in-process reader stand-in and memo
// edits, in a loop, into one data folder. Arguments: data folder, first round.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "crash_runs.h"
#include "engine/engine.h"
#include "memo_rewrite.h"
#include "run_index_keeper.h"
#include "standin/pcsc_standin.h"
#include "worker_test_support.h"

using namespace lapdex;
using std::chrono::milliseconds;

namespace {

void layOn(std::shared_ptr<sim::Stopwatch> watch) {
    auto guard = sim::Standin::instance().lock();
    sim::Standin::instance().card = std::move(watch);
}

// A run file of the folder picked at random, or "" when there is none yet.
std::string anyRunFile(FileSystem& fs, const std::string& folder, std::mt19937& random) {
    std::vector<std::string> runs;
    for (const FolderEntry& e : fs.listFolder(folder).entries) {
        if (crash::roundOf(e.name) && !e.name.ends_with("_bak.csv")) runs.push_back(e.name);
    }
    if (runs.empty()) return {};
    return folder + "/" + runs[random() % runs.size()];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: crash_child DATA_FOLDER FIRST_ROUND\n");
        return 2;
    }
    const std::string dataFolder = argv[1];
    const int first = std::atoi(argv[2]);
    std::mt19937 random(static_cast<unsigned>(first));
    sim::Standin::instance().reset();
    EngineState state{DataFolder(systemFileSystem(), dataFolder)};
    state.config = loadConfiguration(state.data, "JPN");
    createStopwatchFolders(state.data, state.config.registry);
    state.tabs.rebuild(state.config.registry);
    // The run index as the program keeps it: told of every download and memo edit.
    RunIndex index(systemFileSystem(), state.data.path(), crash::runIndexPath(dataFolder));
    if (index.open()) state.runIndex = &index;
    (void)index.refreshAll(indexedStopwatches(state.config.registry));
    test::RecordingSink sink;
    Engine engine{
        state, sink,
        EngineTiming{{milliseconds(1), milliseconds(1)}, milliseconds(50), milliseconds(5000)}};
    engine.start();
    int memo = first * 100;
    for (int round = first; round < first + 100; ++round) {
        auto watch = std::make_shared<sim::Stopwatch>();
        watch->runs = crash::roundRuns(round);
        layOn(watch);
        const int completions = sink.count(NTF_DOWNLOAD_DONE) + sink.count(NTF_NO_DATA);
        engine.post(CMD_DOWNLOAD_NEW);
        while (sink.count(NTF_DOWNLOAD_DONE) + sink.count(NTF_NO_DATA) == completions) {
            std::this_thread::sleep_for(milliseconds(1));
        }
        layOn(nullptr);
        // The page's memo edits: worker paused, the store changed under the worker lock.
        engine.post(CMD_PAUSE);
        engine.withLock([&] {
            FileSystem& fs = state.data.fs();
            for (int edit = 0; edit < 2; ++edit) {
                std::string path = anyRunFile(fs, state.data.stopwatchFolder(0), random);
                if (path.empty()) break;
                const MemoKind kind = random() % 2 ? MemoKind::Run : MemoKind::Lap;
                // Built by appending: "m" + std::to_string(...) trips g++ 12's -Wrestrict
                // at -O3 (a false overlap inside std::string's insert).
                std::string text = "m";
                text += std::to_string(++memo);
                (void)rewriteMemo(fs, path, text, kind, 0);
                index.fileChanged(path);
            }
            (void)index.refreshAll(indexedStopwatches(state.config.registry));
        });
    }
    engine.stop();
    return 0;
}
