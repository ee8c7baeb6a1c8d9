// The worker's tick, Dispatch, completions and presence check against the in-process
// reader stand-in, with short tick periods.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "engine/download_worker.h"
#include "model/stopwatch.h"
#include "standin/pcsc_standin.h"
#include "worker_test_support.h"

namespace lapdex {
namespace {

using std::chrono::milliseconds;
using test::FakeHost;
using test::RecordingSink;

constexpr char kSerial[] = "ab8967452301";

template <class F>
void withStandin(F f) {
    sim::Standin& standin = sim::Standin::instance();
    auto lock = standin.lock();
    f(standin);
}

std::shared_ptr<sim::Stopwatch> stopwatchWithRuns(int count) {
    auto watch = std::make_shared<sim::Stopwatch>();
    watch->runs = sim::generateRuns(7, count);
    watch->setBatteryRaw(2410);
    return watch;
}

class DownloadWorkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        withStandin([](sim::Standin& s) { s.reset(); });
    }
    void TearDown() override {
        worker.stop();
        withStandin([](sim::Standin& s) { s.reset(); });
    }

    void layOn(std::shared_ptr<sim::Stopwatch> watch) {
        withStandin([&](sim::Standin& s) { s.card = std::move(watch); });
    }
    void liftOff() { layOn(nullptr); }
    void startWith(MessageId command) {
        worker.post(command);
        worker.start();
    }
    // Lets a number of ticks pass.
    void ticks(int count) { std::this_thread::sleep_for(timing.tick * count + milliseconds(20)); }

    WorkerTiming timing{milliseconds(5), milliseconds(5)};
    std::mutex lock;
    WorkerShared shared;
    FakeHost host;
    RecordingSink sink;
    DownloadWorker worker{lock, shared, host, sink, timing};
};

TEST_F(DownloadWorkerTest, NewStopwatchWithRunsIsRegisteredDownloadedAndWatched) {
    auto watch = stopwatchWithRuns(3);
    std::vector<uint8_t> expected = watch->newRunBytes();
    layOn(watch);
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    liftOff();
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE_GONE));
    ticks(5);
    ASSERT_TRUE(worker.stop());

    EXPECT_EQ(sink.idsWithoutAcks(),
              (std::vector<MessageId>{NTF_TRANSFER_START, NTF_TRANSFER_END, NTF_BATTERY,
                                      NTF_DOWNLOAD_DONE, NTF_DOWNLOAD_DONE_GONE}));
    EXPECT_EQ(sink.count(NTF_COMMAND_ACK), 1);
    EXPECT_EQ(host.registrations, std::vector<std::string>{kSerial});
    ASSERT_EQ(host.batteries.size(), 1u);
    EXPECT_EQ(host.batteries[0].second, 2410);
    ASSERT_EQ(host.writtenRunData.size(), 1u);
    EXPECT_EQ(host.writtenRunData[0], expected);
    EXPECT_EQ(shared.transferLength.load(), expected.size());
    EXPECT_EQ(shared.notifiedTab.load(), 0);
    EXPECT_EQ(watch->beepCount, 1);
    EXPECT_EQ(watch->setTimeCount, 1);
    // The beep's second byte is always 00, whatever an earlier call left behind.
    EXPECT_EQ(watch->lastBeep, (std::array<uint8_t, 2>{1, 0}));
    EXPECT_EQ(watch->eraseRunParams, std::vector<uint8_t>{0x01});
    // One contact in the history, after its runs were written.
    EXPECT_EQ(host.contacts, std::vector<ContactAction>{ContactAction::Download});
}

TEST_F(DownloadWorkerTest, StopwatchLeftOnCausesNothingMoreUntilLifted) {
    layOn(stopwatchWithRuns(1));
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    ticks(10);
    std::vector<MessageId> before = sink.ids();
    EXPECT_EQ(before.back(), NTF_DOWNLOAD_DONE);
    liftOff();
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE_GONE));
    ticks(5);
    EXPECT_EQ(sink.ids().size(), before.size() + 1);
}

TEST_F(DownloadWorkerTest, NewStopwatchWithoutRunsIsRegisteredAndReportedAsNoData) {
    layOn(stopwatchWithRuns(0));
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_NO_DATA));
    liftOff();
    ASSERT_TRUE(sink.waitFor(NTF_NO_DATA_GONE));
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(host.registrations, std::vector<std::string>{kSerial});
    EXPECT_TRUE(host.writtenRunData.empty());
    EXPECT_EQ(sink.count(NTF_TRANSFER_START), 0);
}

TEST_F(DownloadWorkerTest, FullRegistryRefusesAnUnknownStopwatchBeforeReadingIt) {
    host.capacity = 0;
    auto watch = stopwatchWithRuns(2);
    layOn(watch);
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_REGISTRY_FULL));
    ticks(5);
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.idsWithoutAcks(), std::vector<MessageId>{NTF_REGISTRY_FULL});
    EXPECT_TRUE(host.registrations.empty());
    EXPECT_TRUE(host.contacts.empty());  // a stopwatch that was never read is no contact
    EXPECT_EQ(watch->beepCount, 0);
    EXPECT_TRUE(watch->eraseRunParams.empty());
}

TEST_F(DownloadWorkerTest, ClockSyncOffNeverSetsTheClockButBeeps) {
    host.clock = false;
    auto watch = stopwatchWithRuns(1);
    layOn(watch);
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(watch->setTimeCount, 0);
    EXPECT_EQ(watch->beepCount, 1);
}

TEST_F(DownloadWorkerTest, FourFailedTransfersEachPostStartAndEndThenCommError) {
    auto watch = stopwatchWithRuns(30);  // more than one full chunk of run data
    layOn(watch);
    // Every read of the run data answers with a wrong block count.
    withStandin([](sim::Standin& s) {
        s.tamper = [](int, std::vector<uint8_t>& answer) {
            if (answer.size() > 200 && answer[4] == 0x07) answer[15] ^= 0x01;
        };
    });
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_COMM_ERROR));
    ticks(5);
    ASSERT_TRUE(worker.stop());
    std::vector<MessageId> expected;
    for (int attempt = 0; attempt < 4; ++attempt) {
        expected.push_back(NTF_TRANSFER_START);
        expected.push_back(NTF_TRANSFER_END);
    }
    expected.push_back(NTF_COMM_ERROR);
    EXPECT_EQ(sink.idsWithoutAcks(), expected);
    EXPECT_TRUE(host.registrations.empty());
    EXPECT_EQ(watch->beepCount, 0);
    // The serial was read before the transfers failed: the contact is noted as failed, once.
    EXPECT_TRUE(host.contacts.empty());
    const std::vector<std::pair<std::string, ContactAction>> failed{
        {kSerial, ContactAction::Download}};
    EXPECT_EQ(host.failedContacts, failed);
}

TEST_F(DownloadWorkerTest, OneFailedAttemptIsRepeatedWithinTheTick) {
    auto watch = stopwatchWithRuns(1);
    layOn(watch);
    withStandin([](sim::Standin& s) { s.failTransmitAt = 8; });
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.count(NTF_COMM_ERROR), 0);
    EXPECT_EQ(host.registrations.size(), 1u);
    // A failure that a repeat made good is no failed contact.
    EXPECT_TRUE(host.failedContacts.empty());
    EXPECT_EQ(host.contacts, std::vector<ContactAction>{ContactAction::Download});
}

TEST_F(DownloadWorkerTest, PauseAcknowledgesEveryTickAndTouchesNoReader) {
    layOn(stopwatchWithRuns(1));
    startWith(CMD_PAUSE);
    ASSERT_TRUE(sink.waitFor(NTF_COMMAND_ACK, 5));
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.idsWithoutAcks(), std::vector<MessageId>{});
    withStandin([](sim::Standin& s) { EXPECT_EQ(s.establishCount, 0); });
}

TEST_F(DownloadWorkerTest, SeveralCommandsBetweenTwoTicksGiveOneAcknowledgement) {
    worker.post(CMD_PAUSE);
    worker.post(CMD_DOWNLOAD_ALL);
    startWith(CMD_DOWNLOAD_NEW);
    ticks(10);
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.ids(), std::vector<MessageId>{NTF_COMMAND_ACK});
}

TEST_F(DownloadWorkerTest, SwappingStopwatchesWhileWatchingReportsTheFirstAsGone) {
    layOn(stopwatchWithRuns(1));
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    auto other = stopwatchWithRuns(1);
    other->serial = {9, 9, 9, 9, 9, 9};
    layOn(other);
    EXPECT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE_GONE));
}

TEST_F(DownloadWorkerTest, ReloadDuringADownloadSuppressesItsCompletionButNotItsBattery) {
    layOn(stopwatchWithRuns(2));
    std::thread reload;
    host.onWrite = [&] {
        if (reload.joinable()) return;
        // The window asks for Reload while this download is still writing its files.
        reload = std::thread([&] { worker.postLocked(CMD_DOWNLOAD_ALL); });
        while (shared.commandPending.load() == 0) std::this_thread::yield();
    };
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    ASSERT_TRUE(worker.stop());
    reload.join();
    std::vector<MessageId> ids = sink.idsWithoutAcks();
    // First download: battery but no completion; then the Reload finds the stopwatch again.
    std::vector<MessageId> expected{NTF_TRANSFER_START,  NTF_TRANSFER_END,   NTF_BATTERY,
                                    NTF_STOPWATCH_FOUND, NTF_TRANSFER_START, NTF_TRANSFER_END,
                                    NTF_BATTERY,         NTF_DOWNLOAD_DONE};
    ids.resize(std::min(ids.size(), expected.size()));
    EXPECT_EQ(ids, expected);
}

TEST_F(DownloadWorkerTest, ClearErasesAndReportsFoundBeforeDone) {
    auto watch = stopwatchWithRuns(3);
    watch->downloadedRuns = 3;  // all of them already on disk
    host.registered.insert(kSerial);
    layOn(watch);
    startWith(CMD_CLEAR);
    ASSERT_TRUE(sink.waitFor(NTF_CLEAR_DONE));
    liftOff();
    ASSERT_TRUE(sink.waitFor(NTF_CLEAR_DONE_GONE));
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.idsWithoutAcks(), (std::vector<MessageId>{NTF_STOPWATCH_FOUND, NTF_BATTERY,
                                                             NTF_CLEAR_DONE, NTF_CLEAR_DONE_GONE}));
    EXPECT_EQ(watch->eraseRunParams, std::vector<uint8_t>{0x00});
    EXPECT_EQ(host.contacts, std::vector<ContactAction>{ContactAction::Clear});
    EXPECT_TRUE(watch->runs.empty());
    EXPECT_EQ(watch->beepCount, 1);
    EXPECT_TRUE(host.writtenRunData.empty());
}

TEST_F(DownloadWorkerTest, ClearSavesNewRunsOfANewStopwatchBeforeItErases) {
    auto watch = stopwatchWithRuns(3);
    watch->downloadedRuns = 1;  // two were never downloaded
    layOn(watch);
    startWith(CMD_CLEAR);
    ASSERT_TRUE(sink.waitFor(NTF_CLEAR_DONE));
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.idsWithoutAcks(),
              (std::vector<MessageId>{NTF_STOPWATCH_FOUND, NTF_TRANSFER_START, NTF_TRANSFER_END,
                                      NTF_BATTERY, NTF_CLEAR_DONE}));
    EXPECT_EQ(host.registrations, std::vector<std::string>{kSerial});
    ASSERT_EQ(host.writtenRunData.size(), 1u);
    EXPECT_FALSE(host.writtenRunData[0].empty());
    EXPECT_TRUE(watch->runs.empty());
}

TEST_F(DownloadWorkerTest, ClearErasesNothingWhenTheNewRunsCannotBeSaved) {
    host.registered.insert(kSerial);
    host.failWrites = true;  // a disk that refuses the run files
    auto watch = stopwatchWithRuns(2);
    layOn(watch);
    startWith(CMD_CLEAR);
    ASSERT_TRUE(sink.waitFor(NTF_CLEAR_KEPT));
    ticks(3);  // the worker waits for the window and never retries on its own
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.idsWithoutAcks(),
              (std::vector<MessageId>{NTF_STOPWATCH_FOUND, NTF_TRANSFER_START, NTF_TRANSFER_END,
                                      NTF_CLEAR_KEPT}));
    // Only the transfer's own erase (01, which marks runs as downloaded) reached the stopwatch.
    EXPECT_EQ(watch->eraseRunParams, std::vector<uint8_t>{0x01});
    EXPECT_EQ(watch->runs.size(), 2u);
    EXPECT_EQ(watch->beepCount, 0);
}

TEST_F(DownloadWorkerTest, ClearOfANewStopwatchWithARegistryFullErasesNothing) {
    host.capacity = 0;
    auto watch = stopwatchWithRuns(2);
    layOn(watch);
    startWith(CMD_CLEAR);
    ASSERT_TRUE(sink.waitFor(NTF_REGISTRY_FULL));
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.count(NTF_CLEAR_DONE), 0);
    EXPECT_TRUE(watch->eraseRunParams.empty());
    EXPECT_EQ(watch->runs.size(), 2u);
    EXPECT_TRUE(host.registrations.empty());
    EXPECT_TRUE(host.writtenRunData.empty());
}

TEST_F(DownloadWorkerTest, RunFileFailureIsReportedBeforeTheCompletion) {
    host.failWrites = true;
    layOn(stopwatchWithRuns(1));
    startWith(CMD_DOWNLOAD_NEW);
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.idsWithoutAcks(),
              (std::vector<MessageId>{NTF_TRANSFER_START, NTF_TRANSFER_END, NTF_BATTERY,
                                      NTF_RUN_FILE_ERROR, NTF_DOWNLOAD_DONE}));
}

TEST_F(DownloadWorkerTest, NoStopwatchKeepsPollingQuietly) {
    startWith(CMD_DOWNLOAD_NEW);
    ticks(10);
    layOn(stopwatchWithRuns(1));
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    ASSERT_TRUE(worker.stop());
    EXPECT_EQ(sink.count(NTF_COMMAND_ACK), 1);
}

}  // namespace
}  // namespace lapdex
