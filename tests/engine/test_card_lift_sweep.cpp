// Lifting the stopwatch at every exchange of a download and of a Reload, then laying it on
// again: every run ends up in its run file, byte for byte, with nothing partial or doubled.
// Through each reader style, and the run files are the same whichever reader served.
#include <gtest/gtest.h>

#include <algorithm>

#include "reader_styles.h"
#include "store_rig.h"

namespace lapdex {
namespace {

using std::chrono::milliseconds;
using test::ReaderStyle;
using test::StoreRig;

struct Reference {
    std::map<std::string, std::string> files;
    int exchanges = 0;  // exchanges of one clean attempt, up to its beep
};

// A clean download with a slow tick, so the presence check has not begun when it is counted.
Reference cleanDownload(ReaderStyle style) {
    StoreRig rig(systemFileSystem(), milliseconds(300));
    test::useReaderStyle(style);
    rig.layOn(test::multiChunkStopwatch());
    rig.start(CMD_DOWNLOAD_NEW);
    EXPECT_TRUE(rig.sink.waitFor(NTF_DOWNLOAD_DONE));
    Reference ref;
    ref.exchanges = rig.exchanges();
    rig.worker.stop();
    ref.files = rig.files();
    return ref;
}

const Reference& reference(ReaderStyle style) {
    static std::map<ReaderStyle, Reference> references;
    auto found = references.find(style);
    if (found == references.end()) found = references.emplace(style, cleanDownload(style)).first;
    return found->second;
}

class CardLiftSweep : public ::testing::TestWithParam<ReaderStyle> {
  protected:
    const Reference& reference() const { return lapdex::reference(GetParam()); }
    // A rig whose stand-in reader answers in this test's style.
    void useStyle() const { test::useReaderStyle(GetParam()); }
};

std::vector<MessageId> after(const std::vector<MessageId>& ids, size_t from) {
    return {ids.begin() + static_cast<std::ptrdiff_t>(std::min(from, ids.size())), ids.end()};
}

int countOf(const std::vector<MessageId>& ids, MessageId id) {
    return static_cast<int>(std::count(ids.begin(), ids.end(), id));
}

// Runs and the outcome of one case, checked against the clean download.
void expectSameFilesAsReference(StoreRig& rig, const Reference& reference, int k) {
    std::map<std::string, std::string> files = rig.files();
    // Names first: a temporary, partial or doubled file shows here.
    ASSERT_EQ(test::keysOf(files), test::keysOf(reference.files)) << "lift at exchange " << k;
    for (const auto& [name, bytes] : reference.files) {
        EXPECT_EQ(files[name], bytes) << name << ", lift at exchange " << k;
        if (name != "Lapdex.dat") {
            EXPECT_TRUE(systemFileSystem().isReadOnly(rig.dataPath() + "/" + name)) << name;
        }
    }
}

TEST_P(CardLiftSweep, ReferenceDownloadSpansSeveralChunks) {
    // Run data of four chunks and several run files: the sweep covers chunking.
    EXPECT_GT(test::multiChunkStopwatch()->newRunBytes().size(), 3u * 192u);
    EXPECT_GT(reference().exchanges, 20);
    EXPECT_EQ(reference().files.size(), 9u);  // 8 run files and Lapdex.dat
    // Byte for byte the run files (and Lapdex.dat) that an ACS reader with Get Response gives.
    EXPECT_EQ(reference().files, lapdex::reference(ReaderStyle::AcsGetResponse).files);
}

// Download of new runs: lift at exchange k, lay on again, then what the window does.
TEST_P(CardLiftSweep, NewRunsAreAllStoredWhateverExchangeTheLiftHits) {
    const int total = reference().exchanges;
    int erasedFirst = 0;
    for (int k = 1; k <= total; ++k) {
        StoreRig rig;
        useStyle();
        auto watch = test::multiChunkStopwatch();
        rig.layOn(watch, k);
        rig.start(CMD_DOWNLOAD_NEW);
        ASSERT_TRUE(rig.waitExchanges(k)) << k;
        std::vector<MessageId> first = rig.sink.idsWithoutAcks();
        const bool erasedBeforeLift = !watch->eraseRunParams.empty();
        const bool commError = countOf(first, NTF_COMM_ERROR) == 1;
        const bool done = countOf(first, NTF_DOWNLOAD_DONE) == 1;
        EXPECT_LE(countOf(first, NTF_TRANSFER_START), 4) << k;
        EXPECT_TRUE(test::transfersArePaired(first)) << k;
        if (commError) {
            // The error closes the attempts: nothing follows it until the window answers.
            EXPECT_EQ(first.back(), NTF_COMM_ERROR) << k;
            EXPECT_EQ(countOf(first, NTF_DOWNLOAD_DONE), 0) << k;
        }
        if (done) {
            // The transfer was complete; the lift hit the clock or the beep.
            ASSERT_TRUE(rig.sink.waitFor(NTF_DOWNLOAD_DONE_GONE)) << k;
        }
        // The window resumes polling when its dialog closes; the user lays the stopwatch on.
        size_t mark = rig.sink.ids().size();
        rig.layOn(watch);
        if (commError || done) rig.worker.post(CMD_DOWNLOAD_NEW);
        auto settled = [&] {
            std::vector<MessageId> later = after(rig.sink.ids(), mark);
            return countOf(later, NTF_DOWNLOAD_DONE) + countOf(later, NTF_NO_DATA) > 0;
        };
        for (int wait = 0; wait < 5000 && !settled(); ++wait)
            std::this_thread::sleep_for(milliseconds(1));
        ASSERT_TRUE(settled()) << k;
        std::vector<MessageId> second = after(rig.sink.idsWithoutAcks(), first.size());
        EXPECT_EQ(countOf(second, NTF_COMM_ERROR), 0) << k;
        // The library hands the runs over even when the erase after the last chunk fails, so
        // runs the stopwatch no longer offers as new are always in their files already.
        if (countOf(second, NTF_NO_DATA) == 1) {
            EXPECT_TRUE(erasedBeforeLift) << k;
            ++erasedFirst;
        }
        ASSERT_TRUE(rig.worker.stop());
        std::vector<MessageId> all = rig.sink.idsWithoutAcks();
        EXPECT_TRUE(test::transfersArePaired(all)) << k;
        EXPECT_EQ(countOf(all, NTF_TAB_ADDED), 1) << k;
        EXPECT_EQ(countOf(all, NTF_RUN_FILE_ERROR), 0) << k;
        EXPECT_EQ(rig.state.config.registry.registeredCount(), 1) << k;
        expectSameFilesAsReference(rig, reference(), k);
        if (HasFatalFailure()) return;
    }
    // Lifts at the clock setting and the beep come after the erase: the second contact then
    // finds no new runs, and the files are complete all the same.
    EXPECT_GT(erasedFirst, 0);
    RecordProperty("cases", total);
    RecordProperty("erasedFirst", erasedFirst);
}

// Reload of a stopwatch whose runs were all downloaded before, into an empty folder.
TEST_P(CardLiftSweep, ReloadRecoversEveryRunWhateverExchangeTheLiftHits) {
    // Exchanges of one clean Reload attempt.
    int total = 0;
    {
        StoreRig rig(systemFileSystem(), milliseconds(300));
        useStyle();
        rig.preRegister();
        auto watch = test::multiChunkStopwatch();
        watch->downloadedRuns = watch->runs.size();
        rig.layOn(watch);
        rig.start(CMD_DOWNLOAD_ALL);
        ASSERT_TRUE(rig.sink.waitFor(NTF_DOWNLOAD_DONE));
        total = rig.exchanges();
        ASSERT_TRUE(rig.worker.stop());
        expectSameFilesAsReference(rig, reference(), 0);
    }
    ASSERT_GT(total, 20);
    for (int k = 1; k <= total; ++k) {
        StoreRig rig;
        useStyle();
        rig.preRegister();
        auto watch = test::multiChunkStopwatch();
        watch->downloadedRuns = watch->runs.size();
        rig.layOn(watch, k);
        rig.start(CMD_DOWNLOAD_ALL);
        ASSERT_TRUE(rig.waitExchanges(k)) << k;
        std::vector<MessageId> first = rig.sink.idsWithoutAcks();
        EXPECT_TRUE(test::transfersArePaired(first)) << k;
        EXPECT_LE(countOf(first, NTF_STOPWATCH_FOUND), 4) << k;
        const bool done = countOf(first, NTF_DOWNLOAD_DONE) == 1;
        if (!done && countOf(first, NTF_COMM_ERROR) == 1) {
            EXPECT_EQ(first.back(), NTF_COMM_ERROR) << k;
        }
        if (done) {
            ASSERT_TRUE(rig.sink.waitFor(NTF_DOWNLOAD_DONE_GONE)) << k;
        }
        // The user lays the stopwatch on again and asks for Reload once more.
        rig.layOn(watch);
        if (!done) {
            rig.worker.postLocked(CMD_DOWNLOAD_ALL);
            ASSERT_TRUE(rig.sink.waitFor(NTF_DOWNLOAD_DONE)) << k;
        }
        ASSERT_TRUE(rig.worker.stop());
        std::vector<MessageId> all = rig.sink.idsWithoutAcks();
        EXPECT_TRUE(test::transfersArePaired(all)) << k;
        EXPECT_EQ(countOf(all, NTF_RUN_FILE_ERROR), 0) << k;
        expectSameFilesAsReference(rig, reference(), k);
        if (HasFatalFailure()) return;
    }
    RecordProperty("cases", total);
}

INSTANTIATE_TEST_SUITE_P(ReaderStyles, CardLiftSweep, ::testing::ValuesIn(test::kReaderStyles),
                         test::readerStyleName);

}  // namespace
}  // namespace lapdex
