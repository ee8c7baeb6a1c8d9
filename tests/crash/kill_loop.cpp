#include "kill_loop.h"

#include <signal.h>

#include <chrono>
#include <map>
#include <random>
#include <set>
#include <span>
#include <thread>

#include "child_process.h"
#include "configuration.h"
#include "cp932.h"
#include "crash_runs.h"
#include "profile_file.h"
#include "run_catalogue.h"
#include "run_decoder.h"
#include "run_file_format.h"
#include "run_file_reader.h"
#include "run_index_keeper.h"

namespace lapdex::crash {
namespace {

// File name -> text as the download writes it, for round d.
std::map<std::string, std::string> downloadedTexts(int d) {
    std::map<std::string, std::string> texts;
    std::vector<uint8_t> bytes = sim::encodeRuns(roundRuns(d));
    decodeRunData(
        std::span<const uint8_t>(bytes), timeFormatFromProductType(2), [&](RunRecord&& record) {
            texts[runFileName(record.start, kSerial)] = utf8ToCp932(runFileText(record)).text;
        });
    return texts;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

bool isMemo(const std::string& rest) {
    if (rest.size() < 4 || rest.front() != '"' || rest.back() != '"' || rest[1] != 'm')
        return false;
    for (size_t i = 2; i + 1 < rest.size(); ++i) {
        if (rest[i] < '0' || rest[i] > '9') return false;
    }
    return true;
}

// The file is the downloaded text, except that memos may have been set.
std::string compareWithDownload(const std::string& file, const std::string& downloaded,
                                bool& edited) {
    std::vector<std::string> got = linesOf(file);
    std::vector<std::string> want = linesOf(downloaded);
    if (got.size() != want.size())
        return "has " + std::to_string(got.size()) + " lines instead of " +
               std::to_string(want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        if (got[i] == want[i]) continue;
        if (got[i].starts_with(want[i]) && isMemo(got[i].substr(want[i].size()))) {
            edited = true;
            continue;
        }
        return "line " + std::to_string(i + 1) + " reads \"" + got[i] + "\"";
    }
    return {};
}

class CountingCells : public RunCellStore {
  public:
    void storeCell(int, int, const std::string&, int) override { ++cells; }
    int cells = 0;
};

class ListingPage : public CataloguePage {
  public:
    explicit ListingPage(std::string folder) : folder_(std::move(folder)) {}
    std::string stopwatchFolder() const override { return folder_; }
    int registeredCount() const override { return 1; }
    std::vector<std::string>& runPaths() override { return paths; }
    RunCellStore& cellStore() override { return cells; }
    bool showsMonthView() const override { return false; }
    DisplayedRange displayedRange() const override { return {}; }
    void setDayStates(const std::vector<std::uint32_t>&) override {}
    std::vector<std::string> paths;

  private:
    std::string folder_;
    CountingCells cells;
};

// The run index the child was writing when it was killed: it opens (or is rebuilt) and answers
// exactly what the folder holds, before and after the start-up refresh.
void checkRunIndex(const std::string& dataFolder,
                   const std::map<std::string, std::set<std::string>>& runsOfDay,
                   KillLoopReport& report) {
    FileSystem& fs = systemFileSystem();
    RunIndex index(fs, dataFolder, runIndexPath(dataFolder));
    if (!index.open())
        return report.problems.push_back("the run index can neither be opened nor rebuilt");
    const std::string folder = withTrailingSlash(dataFolder) + "QTM-01";
    std::size_t files = 0;
    for (const auto& [prefix, paths] : runsOfDay) {
        files += paths.size();
        const auto names = index.runsOfDay(folder, prefix);
        if (!names) continue;  // a folder it never saw is left to the scan
        std::set<std::string> listed;
        for (const std::string& name : *names) listed.insert(folder + "/" + name);
        if (listed != paths)
            report.problems.push_back("the run index answers wrongly for " + prefix);
    }
    const Configuration config = loadConfiguration(DataFolder(fs, dataFolder), "JPN");
    if (!index.refreshAll(indexedStopwatches(config.registry)))
        return report.problems.push_back("the run index cannot be refreshed");
    const auto all = index.search({});
    if (config.registry.registeredCount() > 0 && (!all || all->size() != files)) {
        report.problems.push_back("the run index finds " + std::to_string(all ? all->size() : 0) +
                                  " runs, not " + std::to_string(files));
    }
}

}  // namespace

void checkDataFolder(const std::string& dataFolder, KillLoopReport& report) {
    FileSystem& fs = systemFileSystem();
    auto problem = [&](const std::string& text) { report.problems.push_back(text); };
    const std::string dat = withTrailingSlash(dataFolder) + "Lapdex.dat";
    if (fs.kindOf(dat) != EntryKind::None) {
        ProfileLoad load = loadProfile(fs, dat);
        if (!load.ok()) problem("Lapdex.dat cannot be loaded");
        if (load.profile.readString("User", "QTM01_SERIAL", "") != kSerial)
            problem("Lapdex.dat lost the registration");
    }
    const std::string folder = withTrailingSlash(dataFolder) + "QTM-01";
    FolderListing listing = fs.listFolder(folder);
    if (!listing.ok()) return;  // killed before the first registration
    std::map<int, std::map<std::string, std::string>> expected;
    std::map<std::string, std::set<std::string>> runsOfDay;  // "QTMyymmdd" -> paths
    report.runFiles = 0;
    report.editedRunFiles = 0;
    for (const FolderEntry& entry : listing.entries) {
        const std::string path = folder + "/" + entry.name;
        std::optional<int> round = roundOf(entry.name);
        if (entry.name.starts_with(".") || entry.name.ends_with("_bak.csv")) {
            ++report.leftovers;
            continue;
        }
        if (!round) {
            problem("unexpected file " + entry.name);
            continue;
        }
        if (!expected.count(*round)) expected[*round] = downloadedTexts(*round);
        auto want = expected[*round].find(entry.name);
        if (want == expected[*round].end()) {
            problem("no such run " + entry.name);
            continue;
        }
        FsBytes bytes = fs.readFile(path);
        bool edited = false;
        std::string difference = compareWithDownload(bytes.bytes, want->second, edited);
        if (!difference.empty()) problem(entry.name + " " + difference);
        CountingCells cells;
        if (!readRunFile(fs, path, 1, cells) || cells.cells == 0)
            problem(entry.name + " cannot be read");
        ++report.runFiles;
        if (edited) ++report.editedRunFiles;
        runsOfDay[entry.name.substr(0, 9)].insert(path);
    }
    for (const auto& [prefix, paths] : runsOfDay) {
        ListingPage page(folder);
        (void)findRunsOfDay(fs, page, prefix, SearchMode::Listing);
        std::set<std::string> listed(page.paths.begin(), page.paths.end());
        if (listed != paths || page.paths.size() != paths.size()) {
            problem("the catalogue lists " + std::to_string(page.paths.size()) + " runs of " +
                    prefix + " instead of " + std::to_string(paths.size()));
        }
    }
    checkRunIndex(dataFolder, runsOfDay, report);
}

KillLoopReport runKillLoop(const std::string& childPath, const std::string& dataFolder, int kills,
                           std::uint32_t seed, int minDelayMs, int maxDelayMs) {
    KillLoopReport report;
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(minDelayMs, maxDelayMs);
    for (int kill = 0; kill < kills; ++kill) {
        testsupport::ChildProcess child;
        std::string error;
        if (!child.start({childPath, dataFolder, std::to_string(kill * 100)}, dataFolder + ".log",
                         error)) {
            report.problems.push_back("cannot start the child: " + error);
            return report;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
        if (child.running()) ::kill(child.pid(), SIGKILL);
        child.waitExit(10000);
        ++report.kills;
        const size_t before = report.problems.size();
        checkDataFolder(dataFolder, report);
        if (report.problems.size() != before) {
            report.problems.insert(report.problems.begin() + static_cast<std::ptrdiff_t>(before),
                                   "after kill " + std::to_string(kill + 1) + ":");
            return report;
        }
    }
    return report;
}

}  // namespace lapdex::crash
