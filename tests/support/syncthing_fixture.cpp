// Generating, configuring, starting and asking a test's own Syncthing instance.
#include "syncthing_fixture.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRequestMs = 10000;
constexpr const char* kLogName = "/syncthing.log";

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

// Replaces the text of the first element <name>…</name> at or after `from`; false when the
// file has none.
bool setElement(std::string& xml, const std::string& name, const std::string& value,
                size_t from = 0) {
    const std::string open = "<" + name + ">";
    const size_t start = xml.find(open, from);
    const size_t end = xml.find("</" + name + ">", start);
    if (start == std::string::npos || end == std::string::npos) return false;
    xml.replace(start + open.size(), end - start - open.size(), value);
    return true;
}

// Waits for `done` (polled every 100 ms) until `timeoutMs` passes.
template <class Done>
bool pollUntil(int timeoutMs, Done done) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

}  // namespace

SyncthingFixture::SyncthingFixture(std::string home, std::string name)
    : homeFolder(std::move(home)), deviceName(std::move(name)) {}

std::string SyncthingFixture::whyNoSyncthing() {
    if (onPath("syncthing")) return "";
    return "syncthing is not installed (Debian: apt-get install syncthing); the test of two "
           "Syncthing instances needs it";
}

FixtureResult SyncthingFixture::generate() {
    if (const std::string why = whyNoSyncthing(); !why.empty()) return FixtureResult::skip(why);
    std::error_code ec;
    fs::create_directories(homeFolder, ec);
    ChildProcess generator;
    std::string error;
    const std::string log = homeFolder + kLogName;
    if (!generator.start({"syncthing", "generate", "--home=" + homeFolder, "--no-default-folder"},
                         log, error)) {
        return FixtureResult::failure(error);
    }
    int status = 0;
    if (!generator.waitExit(kTimeoutMs, &status) || status != 0)
        return FixtureResult::failure("syncthing generate failed:\n" + logTail());
    const std::string output = readFile(log);
    const std::string label = "Device ID: ";
    const size_t at = output.find(label);
    if (at == std::string::npos)
        return FixtureResult::failure("syncthing generate printed no device ID:\n" + output);
    device = output.substr(at + label.size(), output.find_first_of("\r\n", at) - at - label.size());
    listenPort = freeLocalPort();
    apiPort = freeLocalPort();
    if (listenPort == 0 || apiPort == 0) return FixtureResult::failure("no free local port");
    apiKey = "lapdex-test-" + std::to_string(getpid()) + "-" + std::to_string(apiPort);
    return FixtureResult{};
}

void SyncthingFixture::addPeer(const SyncthingFixture& peer) {
    peers.push_back({peer.deviceId(), peer.name(), peer.listenAddress()});
}

void SyncthingFixture::shareFolder(const std::string& id, const std::string& path,
                                   SyncFolderType type) {
    std::error_code ec;
    fs::create_directories(path + "/.stfolder", ec);
    folders.push_back({id, path, type});
}

std::string SyncthingFixture::folderXml(const Folder& folder) const {
    const char* type = folder.type == SyncFolderType::SendOnly ? "sendonly" : "receiveonly";
    std::string xml = "    <folder id=\"" + folder.id + "\" label=\"" + folder.id + "\" path=\"" +
                      folder.path + "\" type=\"" + type +
                      "\" rescanIntervalS=\"3600\" fsWatcherEnabled=\"true\" "
                      "fsWatcherDelayS=\"1\" ignorePerms=\"false\" autoNormalize=\"true\">\n"
                      "        <filesystemType>basic</filesystemType>\n"
                      "        <device id=\"" +
                      device + "\" introducedBy=\"\"></device>\n";
    for (const Peer& peer : peers)
        xml += "        <device id=\"" + peer.id + "\" introducedBy=\"\"></device>\n";
    return xml +
           "        <minDiskFree unit=\"%\">1</minDiskFree>\n"
           "        <maxConflicts>10</maxConflicts>\n"
           "        <markerName>.stfolder</markerName>\n"
           "    </folder>\n";
}

// The generated config.xml keeps everything it has but what a private, local instance needs.
FixtureResult SyncthingFixture::configure() {
    const std::string path = homeFolder + "/config.xml";
    std::string xml = readFile(path);
    const size_t gui = xml.find("<gui");
    bool edited = gui != std::string::npos &&
                  setElement(xml, "address", "127.0.0.1:" + std::to_string(apiPort), gui) &&
                  setElement(xml, "apikey", apiKey, gui);
    const std::pair<const char*, std::string> options[] = {{"listenAddress", listenAddress()},
                                                           {"globalAnnounceEnabled", "false"},
                                                           {"localAnnounceEnabled", "false"},
                                                           {"relaysEnabled", "false"},
                                                           {"natEnabled", "false"},
                                                           {"urAccepted", "-1"},
                                                           {"startBrowser", "false"},
                                                           {"crashReportingEnabled", "false"},
                                                           {"autoUpgradeIntervalH", "0"}};
    for (const auto& [name, value] : options) edited = edited && setElement(xml, name, value);
    if (!edited) return FixtureResult::failure("unexpected config.xml:\n" + xml);
    std::string added;
    for (const Folder& folder : folders) added += folderXml(folder);
    for (const Peer& peer : peers) {
        added += "    <device id=\"" + peer.id + "\" name=\"" + peer.name +
                 "\" compression=\"metadata\" introducer=\"false\">\n        <address>" +
                 peer.address + "</address>\n    </device>\n";
    }
    xml.insert(xml.find("<gui"), added + "    ");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << xml;
    configured = true;
    return FixtureResult{};
}

FixtureResult SyncthingFixture::start() {
    if (device.empty()) return FixtureResult::failure("start() before generate()");
    if (!configured) {
        if (FixtureResult done = configure(); !done) return done;
    }
    // env execs Syncthing in its own place, so the child's pid stays Syncthing's.
    const std::vector<std::string> argv{"env",          "STNODEFAULTFOLDER=1",  "syncthing",
                                        "serve",        "--home=" + homeFolder, "--no-browser",
                                        "--no-restart", "--no-upgrade"};
    std::string error;
    if (!process.start(argv, homeFolder + kLogName, error)) return FixtureResult::failure(error);
    return waitForApi();
}

FixtureResult SyncthingFixture::waitForApi() {
    bool ended = false;
    const bool answered = pollUntil(kTimeoutMs, [&] {
        ended = !process.running();
        return ended || rest(HttpMethod::Get, "/rest/system/ping").ok();
    });
    if (answered && !ended) return FixtureResult{};
    return FixtureResult::failure(std::string("Syncthing ") +
                                  (ended ? "ended early" : "did not answer in time") + ":\n" +
                                  logTail());
}

HttpAnswer SyncthingFixture::rest(HttpMethod method, const std::string& target) {
    return localHttp(method, apiPort, target, "X-API-Key", apiKey, kRequestMs);
}

FixtureResult SyncthingFixture::restJson(const std::string& target, nlohmann::json& answer) {
    const HttpAnswer got = rest(HttpMethod::Get, target);
    if (!got.ok()) {
        return FixtureResult::failure("GET " + target + ": " + std::to_string(got.status) + " " +
                                      got.error + got.body);
    }
    answer = nlohmann::json::parse(got.body, nullptr, false);
    if (answer.is_discarded()) return FixtureResult::failure("GET " + target + ": not JSON");
    return FixtureResult{};
}

FixtureResult SyncthingFixture::waitConnected(const SyncthingFixture& peer) {
    nlohmann::json connections;
    const bool connected = pollUntil(kTimeoutMs, [&] {
        return restJson("/rest/system/connections", connections) &&
               connections["connections"][peer.deviceId()]["connected"] == true;
    });
    if (connected) return FixtureResult{};
    return FixtureResult::failure(deviceName + " did not connect to " + peer.name() + ":\n" +
                                  logTail());
}

FixtureResult SyncthingFixture::scannedStatus(const std::string& id, nlohmann::json& status) {
    const HttpAnswer scanned = rest(HttpMethod::Post, "/rest/db/scan?folder=" + id);
    if (!scanned.ok()) {
        return FixtureResult::failure("scan of " + id + ": " + std::to_string(scanned.status) +
                                      " " + scanned.error + scanned.body);
    }
    return restJson("/rest/db/status?folder=" + id, status);
}

std::string SyncthingFixture::logTail() const {
    const std::string text = readFile(homeFolder + kLogName);
    return text.size() > 3000 ? text.substr(text.size() - 3000) : text;
}

}  // namespace testsupport
