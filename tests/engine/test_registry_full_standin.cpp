// The engine with the real store and the in-process reader stand-in when a new stopwatch finds no
// slot: the registry-full notification whether all 100 slots are taken or every free slot's folder
// holds another stopwatch's runs, and the runs stay on the stopwatch.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "engine/engine.h"
#include "file_system.h"
#include "model/stopwatch.h"
#include "standin/pcsc_standin.h"
#include "temp_folder.h"
#include "worker_test_support.h"

namespace lapdex {
namespace {

using std::chrono::milliseconds;

constexpr char kOtherSerial[] = "0000000000ff";
constexpr char kWatchSerial[] = "ab8967452301";  // the stand-in stopwatch's serial text

// One data folder, engine and stopwatch on the stand-in.
struct Rig {
    Rig() { sim::Standin::instance().reset(); }
    ~Rig() {
        engine.stop();
        sim::Standin::instance().reset();
    }
    // A run file of another stopwatch in the folder of `slot` (its name carries the serial).
    void foreignRunIn(int slot) {
        const std::string folder = state.data.stopwatchFolder(slot);
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/QTM240101_093015_" + kOtherSerial + ".csv") << "run\r\n";
    }
    void start() {
        (void)saveConfiguration(state.data, state.config);
        state.tabs.rebuild(state.config.registry);
        watch->runs = sim::generateRuns(5, 3);
        watch->setBatteryRaw(2450);
        {
            auto lock = sim::Standin::instance().lock();
            sim::Standin::instance().card = watch;
        }
        engine.start();
    }

    testing::TempFolder dataPath;
    EngineState state{DataFolder(systemFileSystem(), dataPath.path())};
    test::RecordingSink sink;
    Engine engine{
        state, sink,
        EngineTiming{{milliseconds(5), milliseconds(5)}, milliseconds(5), milliseconds(5000)}};
    std::shared_ptr<sim::Stopwatch> watch = std::make_shared<sim::Stopwatch>();
};

TEST(RegistryFullStandin, ANewStopwatchWithNoSlotToTakeGetsTheRegistryFullMessage) {
    const struct {
        const char* what;
        std::function<void(Rig&)> lay;
        int slotTaken;  // -1: the registry is full
    } kCases[] = {
        {"all 100 slots in use",
         [](Rig& rig) {
             for (int slot = 0; slot < kSlotCount; ++slot) {
                 char serial[16];
                 std::snprintf(serial, sizeof serial, "%012x", 0x100 + slot);
                 rig.state.config.registry.entry(slot) = {serial, "S" + std::to_string(slot), 0};
             }
         },
         -1},
        {"every free slot's folder holds another stopwatch's runs",
         [](Rig& rig) {
             for (int slot = 0; slot < kSlotCount; ++slot) rig.foreignRunIn(slot);
         },
         -1},
        {"one free slot's folder holds none",
         [](Rig& rig) {
             for (int slot = 0; slot < kSlotCount; ++slot) {
                 if (slot != 36) rig.foreignRunIn(slot);
             }
         },
         36},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.state.config = loadConfiguration(rig.state.data, "JPN");
        c.lay(rig);
        const int before = rig.state.config.registry.registeredCount();
        rig.start();
        const MessageId expected = c.slotTaken < 0 ? NTF_REGISTRY_FULL : NTF_DOWNLOAD_DONE;
        ASSERT_TRUE(rig.sink.waitFor(expected));
        rig.engine.stop();
        EXPECT_EQ(rig.sink.count(NTF_RUN_FILE_ERROR), 0);
        EXPECT_EQ(rig.sink.count(NTF_REGISTRY_FULL), c.slotTaken < 0 ? 1 : 0);
        const int slot = rig.state.config.registry.findBySerial(kWatchSerial);
        EXPECT_EQ(slot, c.slotTaken);
        EXPECT_EQ(rig.state.config.registry.registeredCount(), before + (c.slotTaken < 0 ? 0 : 1));
        // Nothing was read off a stopwatch that could not be registered: its runs stay new.
        EXPECT_EQ(rig.watch->downloadedRuns, c.slotTaken < 0 ? 0U : rig.watch->runs.size());
    }
}

}  // namespace
}  // namespace lapdex
