// Test doubles for the download worker: a notification recorder and a scripted host.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/notification_sink.h"
#include "engine/worker_context.h"
#include "engine/worker_host.h"

namespace lapdex::test {

// Records every posted notification; tests wait for one to arrive.
class RecordingSink : public NotificationSink {
  public:
    void post(MessageId id) override {
        std::lock_guard<std::mutex> guard(mutex_);
        ids_.push_back(id);
        changed_.notify_all();
    }

    // Waits until `id` has been posted `count` times in all; false on time-out.
    bool waitFor(MessageId id, int count = 1,
                 std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout,
                                 [&] { return std::count(ids_.begin(), ids_.end(), id) >= count; });
    }

    std::vector<MessageId> ids() {
        std::lock_guard<std::mutex> guard(mutex_);
        return ids_;
    }

    // The notifications without the command acknowledgements, which depend on timing.
    std::vector<MessageId> idsWithoutAcks() {
        std::vector<MessageId> all = ids();
        all.erase(std::remove(all.begin(), all.end(), NTF_COMMAND_ACK), all.end());
        return all;
    }

    int count(MessageId id) {
        std::vector<MessageId> all = ids();
        return static_cast<int>(std::count(all.begin(), all.end(), id));
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<MessageId> ids_;
};

// A registry in memory; records what the worker asked of it. Called with the worker lock
// held, so tests read it after the worker has stopped or under that lock.
class FakeHost : public WorkerHost {
  public:
    std::set<std::string> registered;
    int capacity = 100;
    bool clock = true;
    bool failWrites = false;
    std::vector<std::string> registrations;
    std::vector<std::pair<std::string, uint16_t>> batteries;
    std::vector<std::vector<uint8_t>> writtenRunData;
    std::function<void()> onWrite;

    bool isRegistered(const std::string& serial) override { return registered.count(serial) > 0; }
    bool registryFull(const std::string&) override {
        return static_cast<int>(registered.size()) >= capacity;
    }
    void registerStopwatch(const std::string& serial) override {
        registered.insert(serial);
        registrations.push_back(serial);
    }
    void recordBattery(const std::string& serial, uint16_t raw) override {
        batteries.emplace_back(serial, raw);
    }
    bool writeRunFiles(const WorkerContext& ctx) override {
        writtenRunData.emplace_back(ctx.runData.begin(), ctx.runData.begin() + ctx.runDataLength);
        if (onWrite) onWrite();
        return !failWrites;
    }
    int tabOf(const std::string& serial) override { return registered.count(serial) ? 0 : -1; }
    bool clockSync() override { return clock; }
    void contactEnded(const WorkerContext&, ContactAction action) override {
        contacts.push_back(action);
    }
    void contactFailed(const WorkerContext& ctx, ContactAction action) override {
        failedContacts.emplace_back(ctx.serialText, action);
    }
    std::vector<ContactAction> contacts;
    std::vector<std::pair<std::string, ContactAction>> failedContacts;
};

}  // namespace lapdex::test
