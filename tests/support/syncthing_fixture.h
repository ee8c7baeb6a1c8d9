// One real Syncthing instance of a test, confined to 127.0.0.1 and the test's own folder.
//
// The instance's home is made by `syncthing generate`; before the first start its config.xml is
// edited so that it listens on 127.0.0.1 only, with global and local discovery, relays, NAT
// traversal, usage reporting and crash reporting off, its peers at their 127.0.0.1 addresses and
// its folders shared with them. `syncthing serve --no-restart` runs without its monitor process,
// so the child's pid is Syncthing's own: it is stopped by that pid (SIGTERM, then SIGKILL).
// The GUI is off the network too: its REST API answers on a port of 127.0.0.1 with a key the
// fixture chose.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "child_process.h"
#include "fixture_result.h"
#include "local_http.h"

namespace testsupport {

enum class SyncFolderType { SendOnly, ReceiveOnly };

class SyncthingFixture {
  public:
    static constexpr int kTimeoutMs = 30000;

    // `home` (made by generate()) lies in the test's own temporary folder; `name` is the
    // device's name as its peers see it.
    SyncthingFixture(std::string home, std::string name);
    ~SyncthingFixture() { stop(); }
    SyncthingFixture(const SyncthingFixture&) = delete;
    SyncthingFixture& operator=(const SyncthingFixture&) = delete;

    // Why no Syncthing can run here ("" when `syncthing` is installed).
    static std::string whyNoSyncthing();

    // Makes the home with `syncthing generate`, reads the device ID it printed and chooses the
    // free ports of the listener and the REST API. Skips when Syncthing is not installed.
    FixtureResult generate();
    // Before the first start: `peer` (generated) becomes a known device at its address.
    void addPeer(const SyncthingFixture& peer);
    // Before the first start: the folder `path` is shared as `id` with every peer added. The
    // folder and Syncthing's marker in it are made when missing.
    void shareFolder(const std::string& id, const std::string& path, SyncFolderType type);

    // Edits config.xml (the first time only), starts `syncthing serve` and waits until its REST
    // API answers.
    FixtureResult start();
    // SIGTERM to Syncthing's pid, SIGKILL after `graceMs`. Does nothing when it is not running.
    void stop(int graceMs = 10000) { process.stop(graceMs); }
    bool running() { return process.running(); }
    int pid() const { return process.pid(); }

    // A request to the REST API with the fixture's key.
    HttpAnswer rest(HttpMethod method, const std::string& target);
    // The parsed answer of a GET; a failure names the target and the answer.
    FixtureResult restJson(const std::string& target, nlohmann::json& answer);
    // Waits until the REST API reports `peer` connected.
    FixtureResult waitConnected(const SyncthingFixture& peer);
    // Rescans the folder `id` (the REST call returns when the scan is done) and gives its
    // /rest/db/status, e.g. "receiveOnlyTotalItems": the local changes of a receive-only folder.
    FixtureResult scannedStatus(const std::string& id, nlohmann::json& status);

    const std::string& deviceId() const { return device; }
    const std::string& name() const { return deviceName; }
    std::string listenAddress() const { return "tcp://127.0.0.1:" + std::to_string(listenPort); }
    const std::string& home() const { return homeFolder; }
    // The last part of everything Syncthing printed, for a failing test's message.
    std::string logTail() const;

  private:
    struct Peer {
        std::string id, name, address;
    };
    struct Folder {
        std::string id, path;
        SyncFolderType type;
    };
    FixtureResult configure();
    std::string folderXml(const Folder& folder) const;
    FixtureResult waitForApi();

    std::string homeFolder;
    std::string deviceName;
    std::string device;
    std::string apiKey;
    uint16_t listenPort = 0;
    uint16_t apiPort = 0;
    bool configured = false;
    std::vector<Peer> peers;
    std::vector<Folder> folders;
    ChildProcess process;
};

}  // namespace testsupport
