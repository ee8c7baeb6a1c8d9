// The two-PC rig: data folders written through the store, Syncthing between them, listings.
#include "club_sync_rig.h"

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "club_run_source.h"
#include "configuration.h"
#include "data_folder.h"
#include "file_system.h"
#include "folder_run_source.h"
#include "memo_rewrite.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"

#ifndef K7X_TOOL_PATH
#error "K7X_TOOL_PATH must name the k7x-tool program"
#endif

using testsupport::FixtureResult;
using testsupport::SyncFolderType;

namespace lapdex::testing {
namespace {

// Serial numbers of A's stopwatches by slot; B's own stopwatch has one of its own.
std::string serialOfA(int slot) {
    return "a1b2c3d4e5" + std::to_string(10 + slot);
}
constexpr const char* kSerialOfB = "0f0e0d0c0b0a";

bool makeDataFolder(const std::string& path, const std::vector<std::string>& serials) {
    FileSystem& fs = systemFileSystem();
    if (!fs.createFolder(path).ok()) return false;
    const DataFolder folder(fs, path);
    Configuration config;
    for (int slot = 0; slot < static_cast<int>(serials.size()); ++slot)
        config.registry.entry(slot) = {serials[slot], "Watch " + std::to_string(slot + 1), 0};
    if (!saveConfiguration(folder, config).ok()) return false;
    createStopwatchFolders(folder, config.registry);
    return true;
}

ListedRuns scan(const std::string& dataFolder, const std::string& pc) {
    FolderRunSource source(DataFolder(systemFileSystem(), dataFolder));
    const RunListing listing = source.listRuns(RunQuery{});
    ListedRuns runs;
    for (const RunRow& row : listing.rows)
        runs.insert({pc, row.folderName + "/" + row.fileName, row.run.memo});
    return runs;
}

std::string writeRun(const std::string& dataFolder, int slot, const std::string& serial,
                     RunStart start) {
    const RunFileWriteResult written =
        writeRunFile(systemFileSystem(), dataFolder + "/", slot, serial,
                     steadyRun(start, 3, 6000 + 100 * start.hour + start.minute));
    return written.status == RunFileWriteStatus::Written ? written.path : std::string();
}

}  // namespace

ClubSyncRig::ClubSyncRig(const std::string& folder)
    : a(folder + "/syncthing-a", "PC A"),
      b(folder + "/syncthing-b", "PC B"),
      aData(folder + "/pc-a/Lapdex"),
      bData(folder + "/pc-b/Lapdex"),
      aCopy(folder + "/pc-b/club/" + kClubLabel),
      root(folder) {}

FixtureResult ClubSyncRig::start(int stopwatches) {
    for (testsupport::SyncthingFixture* instance : {&a, &b}) {
        if (FixtureResult made = instance->generate(); !made) return made;
    }
    std::vector<std::string> serials;
    for (int slot = 0; slot < stopwatches; ++slot) serials.push_back(serialOfA(slot));
    std::error_code ec;
    std::filesystem::create_directories(root + "/pc-a", ec);
    std::filesystem::create_directories(root + "/pc-b/club", ec);
    if (!makeDataFolder(aData, serials) || !makeDataFolder(bData, {kSerialOfB}))
        return FixtureResult::failure("cannot make the data folders");
    a.addPeer(b);
    b.addPeer(a);
    a.shareFolder(kFolderId, aData, SyncFolderType::SendOnly);
    b.shareFolder(kFolderId, aCopy, SyncFolderType::ReceiveOnly);
    return startBoth();
}

FixtureResult ClubSyncRig::startBoth() {
    for (testsupport::SyncthingFixture* instance : {&a, &b}) {
        if (FixtureResult started = instance->start(); !started) return started;
    }
    if (FixtureResult connected = a.waitConnected(b); !connected) return connected;
    return b.waitConnected(a);
}

FixtureResult ClubSyncRig::stopBoth() {
    a.stop();
    b.stop();
    if (a.running() || b.running()) return FixtureResult::failure("Syncthing did not stop");
    return FixtureResult{};
}

FixtureResult ClubSyncRig::restart() {
    if (FixtureResult stopped = stopBoth(); !stopped) return stopped;
    return startBoth();
}

std::string ClubSyncRig::writeRunOnA(int slot, int hour, int minute) {
    return writeRun(aData, slot, serialOfA(slot), RunStart{2024, 6, 1, hour, minute, 0});
}

std::string ClubSyncRig::writeRunOnB(int hour) {
    return writeRun(bData, 0, kSerialOfB, RunStart{2024, 6, 1, hour, 30, 0});
}

bool ClubSyncRig::editMemoOnA(const std::string& path, const std::string& memo) {
    return rewriteMemo(systemFileSystem(), path, memo, MemoKind::Run, 0).ok();
}

ListedRuns ClubSyncRig::scanOfA() const {
    return scan(aData, kClubLabel);
}

ListedRuns ClubSyncRig::scanOfB() const {
    return scan(bData, "");
}

ClubSyncRig::ToolListing ClubSyncRig::toolRunsOnB() const {
    ToolListing listing;
    const std::string log = root + "/k7x-tool-" + std::to_string(++toolCalls) + ".json";
    testsupport::ChildProcess tool;
    if (!tool.start({K7X_TOOL_PATH, "runs", bData, "--also", aCopy, "--json"}, log, listing.error))
        return listing;
    int status = 0;
    if (!tool.waitExit(30000, &status)) {
        listing.error = "k7x-tool did not end";
        return listing;
    }
    std::ifstream in(log);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(log);
    listing.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const nlohmann::json rows = nlohmann::json::parse(text, nullptr, false);
    if (!listing.ok() || !rows.is_array()) {
        listing.error = text;
        return listing;
    }
    // The tool names the data folder's own runs by the folder's name; the listings here by "".
    const std::string ownLabel = defaultClubLabel(bData);
    for (const nlohmann::json& row : rows) {
        const std::string pc = row.value("pc", std::string());
        listing.runs.insert({pc == ownLabel ? std::string() : pc, row.value("path", std::string()),
                             row.value("run memo", std::string())});
    }
    return listing;
}

}  // namespace lapdex::testing
