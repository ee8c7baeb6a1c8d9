// Downloads onto a disk that fills up: at every write of a download in turn through a file
// system that refuses writes with ENOSPC, and once on a small tmpfs where the machine lets
// us mount one. No partial file, a readable Lapdex.dat, the user told, and a Reload once
// space is back writes exactly the missing runs.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>

#include "full_disk_file_system.h"
#include "profile_file.h"
#include "store_rig.h"

namespace lapdex {
namespace {

using std::chrono::milliseconds;
using test::StoreRig;

constexpr int kRuns = 12;

int countOf(const std::vector<MessageId>& ids, MessageId id) {
    return static_cast<int>(std::count(ids.begin(), ids.end(), id));
}

int runFileCount(const std::map<std::string, std::string>& files) {
    return static_cast<int>(std::count_if(files.begin(), files.end(),
                                          [](const auto& f) { return f.first.ends_with(".csv"); }));
}

// Every file present is complete: equal to the same file of a clean download.
void expectOnlyCompleteFiles(const std::map<std::string, std::string>& files,
                             const std::map<std::string, std::string>& reference,
                             const std::string& where) {
    for (const auto& [name, bytes] : files) {
        auto it = reference.find(name);
        ASSERT_NE(it, reference.end()) << "unexpected file " << name << " " << where;
        EXPECT_EQ(bytes, it->second) << name << " " << where;
    }
}

struct CleanDownload {
    std::map<std::string, std::string> files;
    int writes = 0;
};

CleanDownload cleanDownload() {
    testing::FullDiskFileSystem fs;
    StoreRig rig(fs);
    rig.layOn(test::multiChunkStopwatch(kRuns));
    rig.start(CMD_DOWNLOAD_NEW);
    EXPECT_TRUE(rig.sink.waitFor(NTF_DOWNLOAD_DONE));
    EXPECT_TRUE(rig.worker.stop());
    return {rig.files(), fs.writes()};
}

// Runs after the disk filled up: the stopwatch took the erase, so only Reload brings them.
void reloadAfterSpaceIsBack(StoreRig& rig, const std::shared_ptr<sim::Stopwatch>& watch,
                            const std::string& where) {
    rig.layOn(nullptr);
    ASSERT_TRUE(rig.sink.waitFor(NTF_DOWNLOAD_DONE_GONE)) << where;
    rig.layOn(watch);
    int done = rig.sink.count(NTF_DOWNLOAD_DONE);
    int errors = rig.sink.count(NTF_RUN_FILE_ERROR);
    rig.worker.postLocked(CMD_DOWNLOAD_ALL);
    ASSERT_TRUE(rig.sink.waitFor(NTF_DOWNLOAD_DONE, done + 1)) << where;
    ASSERT_TRUE(rig.worker.stop());
    EXPECT_EQ(rig.sink.count(NTF_RUN_FILE_ERROR), errors) << where;
}

TEST(DiskFull, EveryWriteOfADownloadMayFindTheDiskFull) {
    const CleanDownload clean = cleanDownload();
    ASSERT_EQ(runFileCount(clean.files), kRuns);
    // The folder, Lapdex.dat and one write per run file.
    ASSERT_EQ(clean.writes, kRuns + 2);
    for (int n = 1; n <= clean.writes; ++n) {
        const std::string where = "disk full from write " + std::to_string(n);
        testing::FullDiskFileSystem fs;
        fs.fullFrom(n);
        StoreRig rig(fs);
        auto watch = test::multiChunkStopwatch(kRuns);
        rig.layOn(watch);
        rig.start(CMD_DOWNLOAD_NEW);
        ASSERT_TRUE(rig.sink.waitFor(NTF_DOWNLOAD_DONE)) << where;
        {
            std::lock_guard<std::mutex> guard(rig.state.lock);
            std::map<std::string, std::string> files = rig.files();
            expectOnlyCompleteFiles(files, clean.files, where);
            const int stored = runFileCount(files);
            EXPECT_LT(stored, kRuns) << where;
            // The window names the folder and how many runs are missing.
            EXPECT_EQ(rig.state.runFileShortfall.total, kRuns) << where;
            EXPECT_EQ(rig.state.runFileShortfall.unsaved, kRuns - stored) << where;
            EXPECT_EQ(rig.state.runFileShortfall.folder, rig.state.data.stopwatchFolder(0))
                << where;
            // Told once, before the completion.
            std::vector<MessageId> ids = rig.sink.idsWithoutAcks();
            EXPECT_EQ(countOf(ids, NTF_RUN_FILE_ERROR), 1) << where;
            auto error = std::find(ids.begin(), ids.end(), NTF_RUN_FILE_ERROR);
            auto done = std::find(ids.begin(), ids.end(), NTF_DOWNLOAD_DONE);
            EXPECT_LT(error, done) << where;
            // Lapdex.dat is either the complete file or absent (the registration stays in memory).
            ProfileLoad dat = loadProfile(fs, rig.dataPath() + "/Lapdex.dat");
            EXPECT_TRUE(dat.ok() || !files.count("Lapdex.dat")) << where;
        }
        const int missing = kRuns - runFileCount(rig.files());
        const bool folderMissing = !std::filesystem::is_directory(rig.dataPath() + "/QTM-01");
        fs.spaceBack();
        const int writesBefore = fs.writes();
        reloadAfterSpaceIsBack(rig, watch, where);
        std::map<std::string, std::string> files = rig.files();
        expectOnlyCompleteFiles(files, clean.files, where);
        EXPECT_EQ(runFileCount(files), kRuns) << where;
        // Exactly the missing runs were written (and the folder, when it was missing).
        EXPECT_EQ(fs.writes() - writesBefore, missing + (folderMissing ? 1 : 0)) << where;
        if (HasFatalFailure()) return;
    }
    RecordProperty("cases", clean.writes);
}

// A real full disk: a small tmpfs mounted on the test's own folder. Needs root; skipped
// where mounting is not allowed.
class TmpfsMount {
  public:
    TmpfsMount(const std::string& at, const std::string& size) : at_(at) {
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    }
    ~TmpfsMount() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool resize(const std::string& size) {
        return ::mount("tmpfs", at_.c_str(), "tmpfs", MS_REMOUNT, ("size=" + size).c_str()) == 0;
    }

  private:
    std::string at_;
    bool mounted_ = false;
};

TEST(DiskFull, SmallTmpfsFillsUpDuringADownload) {
    const CleanDownload clean = cleanDownload();
    testing::TempFolder outer;
    std::string mountPoint = outer / "disk";
    std::filesystem::create_directory(mountPoint);
    // Room for Lapdex.dat and a few run files (each takes a 4 KiB page).
    TmpfsMount disk(mountPoint, "24k");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    {
        std::vector<std::string> names;
        sim::Standin::instance().reset();
        auto watch = test::multiChunkStopwatch(kRuns);
        EngineState state{DataFolder(systemFileSystem(), mountPoint)};
        state.config = loadConfiguration(state.data, "JPN");
        test::RecordingSink sink;
        StoreWorkerHost host{state, sink};
        DownloadWorker worker{state.lock, state.shared, host, sink,
                              WorkerTiming{milliseconds(2), milliseconds(2)}};
        {
            auto guard = sim::Standin::instance().lock();
            sim::Standin::instance().card = watch;
        }
        worker.post(CMD_DOWNLOAD_NEW);
        worker.start();
        ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
        std::map<std::string, std::string> files;
        {
            std::lock_guard<std::mutex> guard(state.lock);
            files = test::filesBelow(mountPoint);
        }
        expectOnlyCompleteFiles(files, clean.files, "tmpfs");
        const int stored = runFileCount(files);
        EXPECT_GT(stored, 0);
        EXPECT_LT(stored, kRuns);
        EXPECT_EQ(sink.count(NTF_RUN_FILE_ERROR), 1);

        ASSERT_TRUE(disk.resize("1m"));
        {
            auto guard = sim::Standin::instance().lock();
            sim::Standin::instance().card = nullptr;
        }
        ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE_GONE));
        {
            auto guard = sim::Standin::instance().lock();
            sim::Standin::instance().card = watch;
        }
        worker.postLocked(CMD_DOWNLOAD_ALL);
        ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE, 2));
        ASSERT_TRUE(worker.stop());
        files = test::filesBelow(mountPoint);
        expectOnlyCompleteFiles(files, clean.files, "tmpfs after Reload");
        EXPECT_EQ(runFileCount(files), kRuns);
        EXPECT_EQ(sink.count(NTF_RUN_FILE_ERROR), 1);
        sim::Standin::instance().reset();
    }
}

}  // namespace
}  // namespace lapdex
