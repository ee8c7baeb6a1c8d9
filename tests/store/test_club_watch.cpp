// The club watch on two real club folders: which changes it tells, for which folder, and which it
// leaves untold, through inotify and through the re-checks of a network share.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "club_watch.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// The labels told, in order, as the watch's thread calls.
class Told {
  public:
    void add(const std::string& label) {
        std::lock_guard<std::mutex> lock(mutex_);
        labels_.push_back(label);
        arrived_.notify_all();
    }
    // Waits up to `timeout` for `count` calls; then `quiet` more for any further call.
    std::vector<std::string> after(std::size_t count, std::chrono::milliseconds timeout,
                                   std::chrono::milliseconds quiet) {
        std::unique_lock<std::mutex> lock(mutex_);
        arrived_.wait_for(lock, timeout, [&] { return labels_.size() >= count; });
        arrived_.wait_for(lock, quiet, [] { return false; });
        return labels_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::string> labels_;
};

// Two club folders, each with Lapdex.dat and one stopwatch folder holding one run.
struct Club {
    testing::TempFolder temp;
    std::string folderA = temp / "PC-A";
    std::string folderB = temp / "PC-B";
    Club() {
        for (const std::string& folder : {folderA, folderB}) {
            fs::create_directories(folder + "/Kuro");
            writeFile(folder + "/Lapdex.dat", "[Settings]\r\n");
            writeFile(folder + "/Kuro/QTM260101_090000_1234567.csv", "run\r\n");
        }
    }
};

struct Case {
    const char* what;
    bool inB;           // acts on PC-B, else on PC-A
    std::size_t calls;  // at least; 0: none at all
    std::function<void(const std::string& folder)> act;
};

const std::vector<Case> kCases = {
    {"run file written", false, 1,
     [](const std::string& f) { writeFile(f + "/Kuro/QTM260102_090000_1234567.csv", "run\r\n"); }},
    {"sync temp renamed into place", true, 1,
     [](const std::string& f) {
         writeFile(f + "/Kuro/.syncthing.QTM260102_090000_1234567.csv.tmp", "run\r\n");
         fs::rename(f + "/Kuro/.syncthing.QTM260102_090000_1234567.csv.tmp",
                    f + "/Kuro/QTM260102_090000_1234567.csv");
     }},
    {"new stopwatch folder with a file", true, 1,
     [](const std::string& f) {
         fs::create_directory(f + "/Shiro");
         writeFile(f + "/Shiro/QTM260103_090000_7654321.csv", "run\r\n");
     }},
    // The folder is told first; the file later can only be told through the folder's new watch.
    {"file in a stopwatch folder that arrived while watched", false, 2,
     [](const std::string& f) {
         fs::create_directory(f + "/Shiro");
         std::this_thread::sleep_for(1500ms);
         writeFile(f + "/Shiro/QTM260103_090000_7654321.csv", "run\r\n");
     }},
    {"run file removed", false, 1,
     [](const std::string& f) { fs::remove(f + "/Kuro/QTM260101_090000_1234567.csv"); }},
    {"Lapdex.dat replaced", true, 1,
     [](const std::string& f) {
         writeFile(f + "/~syncthing~Lapdex.dat.tmp", "[Settings]\r\nLanguage=1\r\n");
         fs::rename(f + "/~syncthing~Lapdex.dat.tmp", f + "/Lapdex.dat");
     }},
    {"only sync temporary files", false, 0,
     [](const std::string& f) {
         writeFile(f + "/Kuro/.syncthing.QTM260104_090000_1234567.csv.tmp", "ru");
         writeFile(f + "/Kuro/~syncthing~QTM260105_090000_1234567.csv.tmp", "run\r\n");
         writeFile(f + "/.syncthing.Lapdex.dat.tmp", "[Sett");
         fs::remove(f + "/Kuro/.syncthing.QTM260104_090000_1234567.csv.tmp");
     }},
};

struct Mode {
    const char* what;
    ClubNotices notices;
    std::chrono::milliseconds recheck;
};

TEST(ClubWatch, TellsTheFolderThatChangedOnceSettled) {
    const Mode modes[] = {{"inotify", ClubNotices::WhereCovered, 10s},
                          {"re-check", ClubNotices::RecheckOnly, 300ms}};
    for (const Mode& mode : modes) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(mode.what) + ": " + c.what);
            Club club;
            Told told;
            ClubWatch watch([&](const std::string& label) { told.add(label); }, 200ms, mode.recheck,
                            mode.notices);
            watch.watch({{club.folderA, "A"}, {club.folderB, "B"}});
            c.act(c.inB ? club.folderB : club.folderA);
            const auto labels =
                told.after(c.calls, c.calls > 0 ? 10s : 0ms, mode.recheck * 3 + 600ms);
            if (c.calls == 0) {
                EXPECT_TRUE(labels.empty()) << labels.front();
                continue;
            }
            ASSERT_GE(labels.size(), c.calls);
            for (const std::string& label : labels) EXPECT_EQ(label, c.inB ? "B" : "A");
        }
    }
}

}  // namespace
}  // namespace lapdex
