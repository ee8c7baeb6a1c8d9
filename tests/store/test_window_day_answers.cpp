// The page's day list and calendar marks over the run index: the folder scan's answer whatever
// happened to the folder, with no comparison of the index on the caller's thread; the comparison
// is asked of the refresh thread once for each state of the folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "fake_catalogue_page.h"
#include "file_stamp.h"
#include "indexed_catalogue.h"
#include "run_file_fixture.h"
#include "run_index_truth.h"

namespace lapdex {
namespace {

using testing::FakePage;
using testing::RunIndexTruth;

constexpr std::int64_t kSecondNs = 1'000'000'000;
constexpr std::int64_t kAheadNs = 60 * kSecondNs;

void setMtime(const std::string& path, std::int64_t ns) {
    const timespec times[2] = {{ns / kSecondNs, ns % kSecondNs}, {ns / kSecondNs, ns % kSecondNs}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

RunRecord runOfDay(int day, const std::string& memo) {
    RunRecord run = testing::clockExample();
    run.start.day = day;
    run.memo = memo;
    return run;
}

class WindowDayAnswers : public RunIndexTruth {
  public:
    std::string folder() const { return data + "QTM-01"; }

    FakePage page() const {
        FakePage p;
        p.folder = folder();
        p.registered = 2;
        p.range = {{2023, 12, 25}, {2024, 2, 4}, 3};
        return p;
    }

    // Three repaints of the page through its entry points, each against the catalogue's scan.
    void expectPageAsScan() {
        for (int repaint = 0; repaint < 3; ++repaint) {
            FakePage indexed = page(), scanned = page();
            EXPECT_EQ(computeDayMasks(index.get(), fs, indexed), computeDayMasks(fs, scanned));
            for (int day = 1; day <= 4; ++day) {
                FakePage listed = page(), plain = page();
                const CalendarDate date{2024, 1, day};
                EXPECT_EQ(listRunsOfDay(index.get(), fs, listed, date),
                          listRunsOfDay(fs, plain, date));
                EXPECT_EQ(listed.paths, plain.paths) << day;
                EXPECT_EQ(listed.cells.cells, plain.cells.cells) << day;
            }
        }
    }

    std::vector<std::string> asked;
};

struct FolderChange {
    const char* what;
    std::function<void(WindowDayAnswers& test, const std::string& path)> change;
    bool folderTimeChanges;     // seen without notifications too
    bool answeredAfterCompare;  // the index answers the page itself once compared
};

TEST_F(WindowDayAnswers, ScanAnswersUntilTheRefreshThreadHasCompared) {
    const FolderChange kChanges[] = {
        {"a run added by hand",
         [](WindowDayAnswers& t, const std::string&) { t.write(runOfDay(4, "BBBB")); }, true, true},
        {"a run deleted by hand, the folder's time put back",
         [](WindowDayAnswers& t, const std::string& path) {
             const std::int64_t before = stampOf(t.folder()).mtimeNs;
             ::unlink(path.c_str());
             setMtime(t.folder(), before);
         },
         true, true},
        {"a run rewritten in place, same size, times put back",
         [](WindowDayAnswers&, const std::string& path) {
             const std::int64_t before = stampOf(path).mtimeNs;
             std::string bytes = testing::fileBytes(path);
             bytes.replace(bytes.find("AAAA"), 4, "CCCC");
             const int fd = ::open(path.c_str(), O_WRONLY);
             ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
             ::close(fd);
             setMtime(path, before);
         },
         false, true},
        {"a run added while the folder's time never settles (the clock stays near it)",
         [](WindowDayAnswers& t, const std::string&) {
             t.write(runOfDay(4, "BBBB"));
             t.index->useClock([folder = t.folder()] { return stampOf(folder).mtimeNs + 1; });
         },
         true, false},
    };
    index->onRefreshWanted([this](const std::string& name) { asked.push_back(name); });
    for (const auto use : {RunIndex::Notifications::Ignored, RunIndex::Notifications::Used}) {
        for (const FolderChange& c : kChanges) {
            const bool notified = use == RunIndex::Notifications::Used;
            SCOPED_TRACE(std::string(c.what) + (notified ? ", notified" : ", not notified"));
            index->useNotifications(use);
            index->useClock([] { return wallClockNs() + kAheadNs; });
            std::filesystem::remove_all(folder());
            ASSERT_TRUE(fs.createFolder(folder()).ok());
            std::string path;
            for (int day = 1; day <= 3; ++day) path = write(runOfDay(day, "AAAA"));
            ASSERT_TRUE(index->compareFolder("QTM-01"));
            ASSERT_TRUE(index->runsOfDay(folder(), "QTM240101").has_value());
            asked.clear();
            c.change(*this, path);
            const std::uint64_t comparisons = index->comparisons();
            expectPageAsScan();
            EXPECT_EQ(index->comparisons(), comparisons) << "compared on the caller's thread";
            const bool seen = notified || c.folderTimeChanges;
            EXPECT_EQ(asked,
                      seen ? std::vector<std::string>{"QTM-01"} : std::vector<std::string>{});
            // The refresh thread's work, then the page again: answered by the index where it can,
            // and not asked again for a folder whose state has not changed.
            for (const std::string& name : std::vector<std::string>(asked))
                (void)index->compareFolder(name);
            EXPECT_EQ(index->runsOfDay(folder(), "QTM240104").has_value(), c.answeredAfterCompare);
            const std::uint64_t compared = index->comparisons();
            const std::size_t asks = asked.size();
            expectPageAsScan();
            EXPECT_EQ(index->comparisons(), compared);
            EXPECT_EQ(asked.size(), asks);
        }
    }
}

}  // namespace
}  // namespace lapdex
