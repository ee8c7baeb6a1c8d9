// The operations of the differential run-source test, each done the way the program, a user's hand
// or another program does it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "configuration.h"
#include "data_procedures.h"
#include "file_stamp.h"
#include "index_location.h"
#include "memo_rewrite.h"
#include "run_catalogue.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "run_index_keeper.h"
#include "run_source_rig.h"
#include "scripted_ui.h"

namespace lapdex::testing {
namespace {

// Memos in both cases and widths, so that searches that fold them are compared too.
const char* const kMemos[] = {"",   "向かい風",   "風",       "追い風 強い", "abc",
                              "ab", "雨のち晴れ", "Headwind", "ｶﾀｶﾅ",        "ＡＢＣ"};
const char* const kNames[] = {"走者A", "B班", "QTM-09", "Ａ", "x"};

template <class T, std::size_t N>
const T& pick(const T (&items)[N], std::uint32_t n) {
    return items[n % N];
}

class CountingClock : public LocalClock {
  public:
    explicit CountingClock(int n) : n_(n) {}
    std::tm localNow() const override {
        std::tm t{};
        t.tm_year = 124;
        t.tm_mon = 2;
        t.tm_mday = 10;
        t.tm_sec = n_ % 60;
        t.tm_min = n_ / 60;
        return t;
    }

  private:
    int n_;
};

RunTime timeOf(std::uint32_t units, TimeFormat format) {
    return format == TimeFormat::Clock ? clockTime(units) : RunTime{0, 0, 0, 0, units};
}

}  // namespace

// A run of 1 to 4 laps on one of four days in March 2024, in either time format.
RunRecord randomRun(std::uint32_t seed) {
    std::mt19937 r(seed);
    RunRecord run;
    run.start = {2024, 3, int(1 + r() % 4), int(r() % 24), int(r() % 60), int(r() % 60)};
    run.timeFormat = r() % 5 == 0 ? TimeFormat::DecimalMinute : TimeFormat::Clock;
    const bool clock = run.timeFormat == TimeFormat::Clock;
    const int laps = int(1 + r() % 4);
    std::uint32_t split = 0;
    std::uint32_t best = ~0U;
    for (int i = 1; i <= laps; ++i) {
        const std::uint32_t lap = clock ? 6000 + r() % 3000 : 1000 + r() % 600;
        split += lap;
        run.laps.push_back({i, timeOf(lap, run.timeFormat), timeOf(split, run.timeFormat), {}});
        if (lap < best) best = lap, run.bestLapNumber = i;
    }
    run.lapCount = laps;
    run.total = run.laps.back().split;
    run.bestLap = timeOf(best, run.timeFormat);
    run.averageLap = timeOf(split / std::uint32_t(laps), run.timeFormat);
    run.memo = pick(kMemos, r());
    return run;
}

timespec timeOfFile(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mtim;
}

void setTime(const std::string& path, timespec mtime) {
    const timespec times[2] = {mtime, mtime};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// Writes `bytes` over the file in place (same inode), as cp or an editor saving in place does.
void overwrite(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CREAT, 0444);
    if (fd < 0) return;
    (void)!::write(fd, bytes.data(), bytes.size());
    ::close(fd);
}

bool SequenceRig::setUp() {
    if (root_.path().empty()) return false;
    data_ = root_ / "data/";
    if (!fs_.createFolder(root_ / "data").ok() || !fs_.createFolder(root_ / "cache").ok())
        return false;
    // Where k7x-tool, given the same cache folder, finds the same index file.
    database_ = indexDatabasePath(root_ / "cache/Lapdex/", fs_.canonicalPath(root_ / "data"));
    Configuration config;
    if (!saveConfiguration(DataFolder(fs_, data_), config).ok()) return false;
    std::string folder;
    (void)registerNew(folder);
    for (std::uint32_t i = 0; i < 3; ++i) {
        if (!writeRunFile(fs_, data_, 0, "a00000000001", randomRun(i)).ok()) return false;
    }
    // Written long before: the index may trust the folders' times from the start.
    age();
    index_ = openIndex();
    tellIndex();
    return index_ != nullptr;
}

std::unique_ptr<RunIndex> SequenceRig::openIndex() {
    auto index = std::make_unique<RunIndex>(fs_, data_, database_);
    index->useClock([this] { return indexClock(); });
    // The refresh thread's work is done by the checks, after the page's queries.
    index->onRefreshWanted([this](const std::string& name) { asked_.push_back(name); });
    return index->open() ? std::move(index) : nullptr;
}

// What the program does whenever the registry changed.
void SequenceRig::tellIndex() {
    const Configuration config = loadConfiguration(DataFolder(fs_, data_), "ENG");
    if (index_) (void)index_->refreshAll(indexedStopwatches(config.registry));
}

std::vector<std::string> SequenceRig::registeredFolders() {
    const Configuration config = loadConfiguration(DataFolder(fs_, data_), "ENG");
    std::vector<std::string> folders;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (config.registry.isInUse(slot)) folders.push_back(stopwatchFolderName(slot));
    }
    return folders;
}

// Every run-named file of every folder, however its folder may be blocked, in name order.
std::vector<RunFilePlace> SequenceRig::runFiles() {
    std::vector<RunFilePlace> files;
    for (const FolderEntry& folder : systemFileSystem().listFolder(data_).entries) {
        if (folder.kind != EntryKind::Folder || folder.name.rfind("QTM-", 0) != 0) continue;
        for (const FolderEntry& file : systemFileSystem().listFolder(data_ + folder.name).entries) {
            if (file.kind == EntryKind::File && !runDayKey(file.name).empty())
                files.push_back({folder.name, file.name});
        }
    }
    std::sort(files.begin(), files.end(), [](const RunFilePlace& a, const RunFilePlace& b) {
        return a.folderName + "/" + a.fileName < b.folderName + "/" + b.fileName;
    });
    return files;
}

std::string SequenceRig::path(const RunFilePlace& place) const {
    return data_ + place.folderName + "/" + place.fileName;
}

std::string SequenceRig::registerNew(std::string& folderName) {
    Configuration config = loadConfiguration(DataFolder(fs_, data_), "ENG");
    char serial[16];
    std::snprintf(serial, sizeof serial, "a%011x", ++serials_);
    const int slot = addStopwatch(config, DataFolder(fs_, data_), serial, nullptr);
    if (slot < 0) return "register: no slot free";
    folderName = stopwatchFolderName(slot);
    return std::string("register ") + serial + " in " + folderName;
}

std::string SequenceRig::download(const Op& op) {
    std::string said;
    std::string folder;
    if (op.a % 4 == 0) {
        said = registerNew(folder) + "; ";
        tellIndex();
    }
    const std::vector<std::string> folders = registeredFolders();
    if (folders.empty()) return said + "download: nothing registered";
    if (folder.empty()) folder = folders[op.a % folders.size()];
    const int slot = std::stoi(folder.substr(4)) - 1;
    const std::string serial =
        loadConfiguration(DataFolder(fs_, data_), "ENG").registry.entry(slot).serialText;
    said += "download into " + folder + ":";
    for (std::uint32_t i = 0; i <= op.b % 3; ++i) {
        const RunFileWriteResult written =
            writeRunFile(fs_, data_, slot, serial, randomRun(op.c + i));
        said += " " + written.path.substr(written.path.rfind('/') + 1);
        if (!written.ok()) said += " (not written)";
    }
    if (index_) index_->folderWritten(folder);
    return said;
}

std::string SequenceRig::registryChange(const Op& op) {
    Configuration config = loadConfiguration(DataFolder(fs_, data_), "ENG");
    const std::vector<std::string> folders = registeredFolders();
    if (op.kind == OpKind::Register) {
        std::string folder;
        const std::string said = registerNew(folder);
        tellIndex();
        return said;
    }
    if (folders.empty()) return std::string(opName(op.kind)) + ": nothing registered";
    const std::string folder = folders[op.a % folders.size()];
    const int slot = std::stoi(folder.substr(4)) - 1;
    std::string said;
    if (op.kind == OpKind::Rename) {
        said = "rename " + folder + " to " + pick(kNames, op.b);
        if (!renameStopwatch(config, DataFolder(fs_, data_), slot, pick(kNames, op.b)))
            said += " (refused)";
    } else {
        said = "remove " + folder + " from the registry";
        (void)removeStopwatch(config, DataFolder(fs_, data_), slot);
    }
    tellIndex();
    return said;
}

// A memo edit or a deletion on the stopwatch page, which tells the index of the file.
std::string SequenceRig::pageChange(const Op& op) {
    const std::vector<RunFilePlace> files = runFiles();
    if (files.empty()) return std::string(opName(op.kind)) + ": no run file";
    const RunFilePlace& place = files[op.a % files.size()];
    const std::string file = path(place);
    std::string said;
    if (op.kind == OpKind::DeleteRun) {
        said = "delete " + place.folderName + "/" + place.fileName;
        if (!deleteRunFile(fs_, file).ok()) said += " (refused)";
    } else {
        const MemoKind kind = op.c % 2 ? MemoKind::Lap : MemoKind::Run;
        said = std::string("set the ") +
               (op.c % 2 ? "lap " + std::to_string(op.c % 3 + 1) : "run") + " memo of " +
               place.folderName + "/" + place.fileName + " to \"" + pick(kMemos, op.b) + "\"";
        if (!rewriteMemo(fs_, file, pick(kMemos, op.b), kind, int(op.c % 3)).ok())
            said += " (refused)";
    }
    if (index_) index_->fileChanged(file);
    return said;
}

// Another data set of one or two stopwatches imported, after which the program starts again.
std::string SequenceRig::importDataSet(const Op& op) {
    const std::string other = root_ / ("import-" + std::to_string(++imports_)) + "/";
    if (!fs_.createFolder(other).ok()) return "import: no folder";
    Configuration config;
    const std::uint32_t count = 1 + op.a % 2;
    for (std::uint32_t slot = 0; slot < count; ++slot) {
        char serial[16];
        std::snprintf(serial, sizeof serial, "b%011x", ++serials_);
        config.registry.entry(int(slot)) = {serial, pick(kNames, op.b + slot), 0};
    }
    (void)saveConfiguration(DataFolder(fs_, other), config);
    createStopwatchFolders(DataFolder(fs_, other), config.registry);
    for (std::uint32_t i = 0; i < 2 + op.c % 3; ++i) {
        const int slot = int(i % count);
        (void)writeRunFile(fs_, other, slot, config.registry.entry(slot).serialText,
                           randomRun(op.c + i));
    }
    ScriptedUi ui;
    ui.folder = withoutTrailingSlash(other);
    Configuration current = loadConfiguration(DataFolder(fs_, data_), "ENG");
    const ProcedureOutcome outcome =
        importData(ui, DataFolder(fs_, data_), current, CountingClock(imports_));
    index_.reset();
    index_ = openIndex();
    tellIndex();
    return "import " + std::to_string(count) + " stopwatches, then start again" +
           (outcome == ProcedureOutcome::Done ? "" : " (import failed)");
}

std::string SequenceRig::openSecondIndex() {
    second_ = openIndex();
    if (!second_) return "second index: cannot open";
    const Configuration config = loadConfiguration(DataFolder(fs_, data_), "ENG");
    (void)second_->refreshAll(indexedStopwatches(config.registry));
    return "open a second index on the same database, as k7x-tool does";
}

std::string SequenceRig::apply(const Op& op) {
    second_.reset();
    // The kernel stamps files from a clock that may lag the one read here by a tick.
    const std::int64_t stepStart = wallClockNs() - 50'000'000;
    std::string said = applyOp(op);
    followMovedClock(stepStart);
    return said;
}

std::string SequenceRig::applyOp(const Op& op) {
    switch (op.kind) {
        case OpKind::Download:
            return download(op);
        case OpKind::Register:
        case OpKind::Rename:
        case OpKind::Remove:
            return registryChange(op);
        case OpKind::MemoEdit:
        case OpKind::DeleteRun:
            return pageChange(op);
        case OpKind::Import:
            return importDataSet(op);
        case OpKind::HandEdit:
            return handEdit(op);
        case OpKind::HandReplace:
            return handReplace(op);
        case OpKind::HandDelete:
        case OpKind::HandAdd:
            return handDeleteOrAdd(op);
        case OpKind::HandDamage:
            return handDamage(op);
        case OpKind::FolderUnreadable:
        case OpKind::FolderReadable:
        case OpKind::FileUnreadable:
            return fault(op);
        case OpKind::FatTimes:
        case OpKind::FutureFolder:
            return times(op);
        case OpKind::SecondIndex:
            return openSecondIndex();
        case OpKind::Age:
            age();
            return "make every folder and file a day older";
        case OpKind::ClockBack:
            return clockBack(op);
        case OpKind::OtherProgram:
            return otherProgram(op);
        case OpKind::Count:
            break;
    }
    return "nothing";
}

}  // namespace lapdex::testing
