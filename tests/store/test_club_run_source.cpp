// The club run source over this PC's data folder and two club folders that share runs: indexed and
// scanned members answer alike, each run is listed once from the folder that should win, and a
// sync engine's files in a club folder are never runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "club_run_source.h"
#include "data_folder_fixture.h"
#include "folder_run_source.h"
#include "run_file_fixture.h"
#include "run_index_keeper.h"
#include "run_index_truth.h"

namespace lapdex {
namespace {

constexpr const char* kSerialA = "0123456789ab";
constexpr const char* kSerialB = "00000000beef";
constexpr const char* kConflictStamp = ".sync-conflict-20261210-101010-ABCDEFG";

std::string conflictName(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.substr(0, name.size() - 4) + kConflictStamp + ".csv";
}

// Three data folders: this PC's ("own"), and the club folders "pc-b" and "pc-c". Stopwatch A is
// registered on every PC (in another slot on pc-b), so its runs reach several folders.
class ClubSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(testing::makeDataFolder(fs, own, {{kSerialA, "A"}, {kSerialB, "B"}}));
        ASSERT_TRUE(testing::makeDataFolder(fs, pcB, {{kSerialB, "B"}, {kSerialA, "A on B"}}));
        ASSERT_TRUE(testing::makeDataFolder(fs, pcC, {{kSerialA, "A on C"}}));
        const RunRecord shared = testing::steadyRun({2024, 5, 1, 9, 0, 0}, 3, 6000, "own memo");
        const std::string ownShared = write(own, 0, kSerialA, shared);
        write(own, 0, kSerialA, testing::steadyRun({2024, 5, 1, 8, 0, 0}, 2, 5000));
        write(own, 1, kSerialB, testing::steadyRun({2024, 5, 1, 9, 0, 0}, 2, 7000));
        // A conflict copy in the own folder stays a run there, as the page lists it.
        copy(ownShared, own + "/QTM-01/" + conflictName(ownShared));
        RunRecord sharedOnB = shared;
        sharedOnB.memo = "memo b";
        write(pcB, 1, kSerialA, sharedOnB);
        write(pcB, 0, kSerialB, testing::steadyRun({2024, 5, 2, 7, 0, 0}, 1, 9000));
        const std::string club = write(pcB, 1, kSerialA, clubRun("memo b"));
        write(pcC, 0, kSerialA, clubRun("memo c"));
        // Same stopwatch and start as the shared run, other laps: another run.
        write(pcC, 0, kSerialA, testing::steadyRun({2024, 5, 1, 9, 0, 0}, 3, 6100));
        // A sync engine's files in a club folder: run-like names that are no runs.
        copy(club, pcB + "/QTM-02/" + conflictName(club));
        copy(club, pcB + "/QTM-02/.syncthing." + conflictName(club) + ".tmp");
        copy(club, pcB + "/QTM-02/~syncthing~" + conflictName(club) + ".tmp");
        copy(pcC + "/Lapdex.dat", pcC + "/Lapdex" + kConflictStamp + ".dat");
    }

    static RunRecord clubRun(std::string memo) {
        return testing::steadyRun({2024, 5, 3, 10, 0, 0}, 4, 6500, std::move(memo), 10);
    }
    std::string write(const std::string& data, int slot, const char* serial, const RunRecord& run) {
        const RunFileWriteResult written =
            writeRunFile(fs, withTrailingSlash(data), slot, serial, run);
        EXPECT_EQ(written.status, RunFileWriteStatus::Written);
        return written.path;
    }
    static void copy(const std::string& from, const std::string& to) {
        testing::writeBytes(to, testing::fileBytes(from));
    }
    // The index of a data folder, its registry told, each in its own database.
    std::unique_ptr<RunIndex> indexOf(const std::string& data, FolderOwner owner) {
        auto index = std::make_unique<RunIndex>(
            fs, data, root / ("cache/" + defaultClubLabel(data) + ".sqlite"), owner);
        EXPECT_TRUE(index->open());
        EXPECT_TRUE(index->refreshAll(readRegistry(DataFolder(fs, data)).stopwatches));
        return index;
    }

    testing::FaultyFileSystem fs;
    testing::TempFolder root;
    // The user's cache folder, as the keepers of club folders find it.
    std::string cache = root / "cache";
    EnvironmentLookup environment = [this](const char* name) {
        return std::string_view(name) == "XDG_CACHE_HOME" ? cache.c_str() : nullptr;
    };
    std::string own = root / "own";
    std::string pcB = root / "pc-b";
    std::string pcC = root / "pc-c";
    FolderRunSource ownScan{DataFolder(fs, own)};
    FolderRunSource bScan{DataFolder(fs, pcB), FolderOwner::Club};
    FolderRunSource cScan{DataFolder(fs, pcC), FolderOwner::Club};
    ClubRunSource scanned{ownScan, {{"pc-b", &bScan}, {"pc-c", &cScan}}};
};

RunQuery queryOf(std::vector<std::string> pcs, std::vector<std::string> words = {},
                 std::vector<std::string> folderNames = {}) {
    RunQuery query;
    query.pcs = std::move(pcs);
    query.words = std::move(words);
    query.folderNames = std::move(folderNames);
    return query;
}

bool sameRun(const RunRow& a, const RunRow& b) {
    return std::tie(a.serialText, a.run.start, a.run.lapCount, a.run.totalCs, a.run.bestLapCs,
                    a.run.slowestLapCs, a.run.averageLapCs) ==
           std::tie(b.serialText, b.run.start, b.run.lapCount, b.run.totalCs, b.run.bestLapCs,
                    b.run.slowestLapCs, b.run.averageLapCs);
}

// What the club must answer, from a plain scan of each folder asked (in the order that decides
// which copy of a run wins): a folder's row is left out when an earlier folder has that run.
RunListing expectedListing(const std::vector<std::pair<std::string, RunSource*>>& folders,
                           const RunQuery& query) {
    RunListing expected;
    expected.answered = true;
    RunQuery whole = query;
    whole.limit = 0;
    whole.pcs.clear();
    for (const auto& [label, scan] : folders) {
        if (!query.pcs.empty() && std::count(query.pcs.begin(), query.pcs.end(), label) == 0)
            continue;
        const RunListing listing = scan->listRuns(whole);
        const std::size_t earlier = expected.rows.size();
        for (RunRow row : listing.rows) {
            const auto first = expected.rows.begin() + static_cast<std::ptrdiff_t>(earlier);
            if (std::any_of(expected.rows.begin(), first,
                            [&row](const RunRow& kept) { return sameRun(kept, row); }))
                continue;
            row.pc = label;
            expected.rows.push_back(row);
        }
        for (RunProblem problem : listing.problems) {
            problem.pc = label;
            expected.problems.push_back(problem);
        }
    }
    std::sort(expected.rows.begin(), expected.rows.end(), [](const RunRow& a, const RunRow& b) {
        return std::tie(a.run.start, a.folderName, a.fileName, a.pc) <
               std::tie(b.run.start, b.folderName, b.fileName, b.pc);
    });
    std::stable_sort(expected.problems.begin(), expected.problems.end(),
                     [](const RunProblem& a, const RunProblem& b) { return a.path < b.path; });
    if (query.limit > 0 && expected.rows.size() > static_cast<std::size_t>(query.limit)) {
        expected.rows.resize(static_cast<std::size_t>(query.limit));
        expected.truncated = true;
    }
    return expected;
}

TEST(ClubNames, TellsSyncFilesAndLabelsFolders) {
    const struct {
        const char* name;
        bool temporary, conflict, runOfOwn, runOfClub;
    } kNames[] = {
        {"QTM240131_093015_x.csv", false, false, true, true},
        {".syncthing.QTM240131_093015_x.csv.tmp", true, false, false, false},
        {"~syncthing~QTM240131_093015_x.csv.tmp", true, false, false, false},
        {".syncthing..tmp", false, false, false, false},
        {".syncthing.QTM240131_093015.sync-conflict-20261210-101010-ABCDEFG.csv.tmp", true, false,
         false, false},
        {"QTM240131_093015.sync-conflict-20261210-101010-ABCDEFG.csv", false, true, true, false},
        {"Lapdex.sync-conflict-20261210-101010-ABCDEFG.dat", false, true, false, false},
        {"notes.sync-conflict-20261210-101010-ABCDEFG", false, true, false, false},
        {"QTM240131_093015.sync-conflict-2026121-101010-ABCDEFG.csv", false, false, true, true},
        {"QTM240131_093015.sync-conflict-20261210-101010-.csv", false, false, true, true},
        {".sync-conflict-20261210-101010-ABCDEFG.csv", false, false, false, false},
    };
    for (const auto& c : kNames) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isSyncTemporaryName(c.name), c.temporary);
        EXPECT_EQ(isSyncConflictName(c.name), c.conflict);
        EXPECT_EQ(!runDayKeyIn(c.name, FolderOwner::Own).empty(), c.runOfOwn);
        EXPECT_EQ(!runDayKeyIn(c.name, FolderOwner::Club).empty(), c.runOfClub);
    }
    const std::pair<const char*, const char*> kLabels[] = {
        {"/srv/club/PC-B/", "PC-B"}, {"/srv/club/PC-B", "PC-B"}, {"PC-C", "PC-C"}, {"/", "club"}};
    for (const auto& [path, label] : kLabels) EXPECT_EQ(defaultClubLabel(path), label) << path;
}

// Club folders through their run indexes and through folder scans: every answer equal.
TEST_F(ClubSourceTest, IndexedAndScannedClubFoldersAnswerAlike) {
    const auto ownIndex = indexOf(own, FolderOwner::Own);
    const auto bIndex = indexOf(pcB, FolderOwner::Club);
    const auto cIndex = indexOf(pcC, FolderOwner::Club);
    ClubRunSource indexed(*ownIndex, {{"pc-b", bIndex.get()}, {"pc-c", cIndex.get()}});
    EXPECT_EQ(indexed.registeredStopwatches(), scanned.registeredStopwatches());
    RunQuery clubsOnly, ownAndC, limited, cut, second, word;
    clubsOnly.pcs = {"pc-b", "pc-c"};
    ownAndC.pcs = {"pc-c", ""};
    limited.limit = 2;
    cut.limit = 4;
    cut.pcs = {"pc-b", ""};
    second.folderNames = {"QTM-02"};
    word.words = {"MEMO"};
    std::size_t rows = 0;
    for (const RunQuery& query : {RunQuery{}, clubsOnly, ownAndC, limited, cut, second, word}) {
        const RunListing answer = indexed.listRuns(query);
        rows += answer.rows.size();
        EXPECT_EQ(testing::describe(indexed, answer),
                  testing::describe(scanned, scanned.listRuns(query)));
    }
    EXPECT_GT(rows, 20U);
    // A club folder's index has a database of its own beside the one it would have as an own.
    EXPECT_NE(makeRunIndex(DataFolder(fs, pcB), environment, FolderOwner::Club)->databasePath(),
              makeRunIndex(DataFolder(fs, pcB), environment)->databasePath());
}

// A club folder's index opened again answers at once from its folders' settled times, listing
// none; its keeper then compares every file behind them, finds a run rewritten in place (which
// leaves the folder's time as it was) and says so once a refresh changed anything.
TEST_F(ClubSourceTest, AReopenedClubIndexAnswersAtOnceAndItsKeeperComparesEveryFile) {
    const auto later = [] { return wallClockNs() + 60'000'000'000; };  // every file settled
    const DataFolder data(fs, pcB);
    const std::vector<RunStopwatch> stopwatches = readRegistry(data).stopwatches;
    const RunRow target = bScan.listRuns(queryOf({}, {"memo b"})).rows.at(0);
    const std::string path = pcB + "/" + target.folderName + "/" + target.fileName;
    const struct {
        bool rewrite;
        int told;
    } kOpenings[] = {{false, 1}, {true, 1}, {false, 0}, {true, 1}};
    std::string database;
    for (const auto& c : kOpenings) {
        if (c.rewrite) {
            std::string bytes = testing::fileBytes(path);
            const std::size_t memo = bytes.find("memo ");
            ASSERT_NE(memo, std::string::npos);
            bytes[memo + 5] = bytes[memo + 5] == 'b' ? 'B' : 'b';
            std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << bytes;
        }
        fs.listings = 0;
        if (!database.empty()) {
            RunIndex reopened(fs, pcB, database, FolderOwner::Club);
            reopened.useClock(later);
            ASSERT_TRUE(reopened.open());
            reopened.registryChanged(stopwatches);
            EXPECT_TRUE(reopened.listRuns({}).answered);
            EXPECT_EQ(fs.listings, 0);
        }
        RunIndexKeeper keeper(data, environment, FolderOwner::Club);
        database = keeper.index()->databasePath();
        keeper.index()->useClock(later);
        int told = 0;
        keeper.whenChanged([&told] { ++told; });
        keeper.refreshInBackground(stopwatches);
        keeper.wait();
        EXPECT_EQ(told, c.told);
        EXPECT_EQ(fs.listings, static_cast<int>(stopwatches.size()));
        EXPECT_EQ(testing::describe(*keeper.index(), keeper.index()->listRuns({})),
                  testing::describe(bScan, bScan.listRuns({})));
    }
}

// Which copy of a shared run is listed, for choices of folders and stopwatches and every limit.
TEST_F(ClubSourceTest, ListsEachRunOnceFromTheFolderThatWins) {
    const std::vector<std::pair<std::string, RunSource*>> folders{
        {"", &ownScan}, {"pc-b", &bScan}, {"pc-c", &cScan}};
    const struct {
        const char* what;
        std::vector<std::string> pcs, folderNames, words;
        const char* sharedFrom;  // the pc whose copy of the shared run is listed; null: none
        const char* clubFrom;    // likewise for the run of pc-b and pc-c
    } kCases[] = {
        {"every folder", {}, {}, {}, "", "pc-b"},
        {"the own only", {""}, {}, {}, "", nullptr},
        {"the club folders", {"pc-b", "pc-c"}, {}, {}, "pc-b", "pc-b"},
        {"pc-c before the own", {"pc-c", ""}, {}, {}, "", "pc-c"},
        {"pc-c alone", {"pc-c"}, {}, {}, nullptr, "pc-c"},
        {"an unknown pc", {"pc-x"}, {}, {}, nullptr, nullptr},
        {"QTM-02 of each pc", {}, {"QTM-02"}, {}, "pc-b", "pc-b"},
        {"the copy whose memo matches", {}, {}, {"memo c"}, nullptr, "pc-c"},
    };
    const RunRow sharedRow = ownScan.listRuns(queryOf({}, {"own memo"})).rows.at(0);
    const RunRow clubRow = cScan.listRuns(queryOf({}, {"memo c"})).rows.at(0);
    for (const auto& c : kCases) {
        RunQuery query = queryOf(c.pcs, c.words, c.folderNames);
        const std::size_t all = expectedListing(folders, query).rows.size();
        for (int limit = 0; limit <= static_cast<int>(all) + 1; ++limit) {
            SCOPED_TRACE(std::string(c.what) + ", limit " + std::to_string(limit));
            query.limit = limit;
            const RunListing listing = scanned.listRuns(query);
            EXPECT_EQ(testing::describe(scanned, listing),
                      testing::describe(scanned, expectedListing(folders, query)));
            if (limit != 0) continue;
            for (const auto& [run, from] :
                 {std::pair{&sharedRow, c.sharedFrom}, {&clubRow, c.clubFrom}}) {
                std::vector<std::string> pcs;
                for (const RunRow& row : listing.rows)
                    if (sameRun(row, *run) &&
                        row.fileName.find(kConflictStamp) == std::string::npos)
                        pcs.push_back(row.pc);
                EXPECT_EQ(pcs, from ? std::vector<std::string>{from} : std::vector<std::string>{});
            }
            // A row is read from the folder it names: its memo is that folder's copy's.
            for (const RunRow& row : listing.rows) {
                EXPECT_EQ(scanned.readRunOf(row).run.memo, row.run.memo) << row.fileName;
                EXPECT_TRUE(row.pc.empty() ||
                            row.fileName.find(kConflictStamp) == std::string::npos);
            }
        }
    }
}

// A club folder that cannot answer at all is named and the others still answer; only the own
// folder's silence leaves the listing unanswered. A row of a pc no longer in the club is gone.
TEST_F(ClubSourceTest, AFolderThatCannotAnswerIsNamedAndTheOthersAnswer) {
    fs.readFails[pcC + "/Lapdex.dat"] = EACCES;
    const struct {
        std::vector<std::string> pcs;
        bool named;
    } kCases[] = {{{}, true}, {{"pc-c"}, true}, {{"", "pc-b"}, false}, {{"pc-b"}, false}};
    for (const auto& c : kCases) {
        const RunListing listing = scanned.listRuns(queryOf(c.pcs));
        ASSERT_TRUE(listing.answered) << ::testing::PrintToString(c.pcs);
        const RunProblem unreachable{"", kUnreachableClubFolder, "pc-c"};
        EXPECT_EQ(std::count(listing.problems.begin(), listing.problems.end(), unreachable),
                  c.named ? 1 : 0);
        // The user reads the folder by its label, never as an empty path.
        for (const RunProblem& problem : listing.problems)
            EXPECT_EQ(problemPlace(problem).rfind(problem.pc, 0), 0u) << problemPlace(problem);
        const bool otherRows = std::any_of(listing.rows.begin(), listing.rows.end(),
                                           [](const RunRow& row) { return row.pc != "pc-c"; });
        EXPECT_EQ(otherRows, c.pcs != std::vector<std::string>{"pc-c"});
        EXPECT_TRUE(std::none_of(listing.rows.begin(), listing.rows.end(),
                                 [](const RunRow& row) { return row.pc == "pc-c"; }));
    }
    const auto stopwatches = scanned.registeredStopwatches();
    ASSERT_TRUE(stopwatches.has_value());
    EXPECT_TRUE(std::none_of(stopwatches->begin(), stopwatches->end(),
                             [](const RunStopwatch& s) { return s.pc == "pc-c"; }));
    fs.readFails[own + "/Lapdex.dat"] = EACCES;
    EXPECT_FALSE(scanned.listRuns({}).answered);
    EXPECT_FALSE(scanned.registeredStopwatches().has_value());
    fs.readFails.erase(own + "/Lapdex.dat");
    RunRow row = ownScan.listRuns({}).rows.at(0);
    EXPECT_TRUE(scanned.readRunOf(row).ok());
    row.pc = "pc-x";
    EXPECT_EQ(scanned.readRunOf(row).outcome, RunRead::Outcome::Gone);
}

// The conflict copies of a data folder, each once, and nothing else a sync engine left.
TEST_F(ClubSourceTest, ListsTheConflictCopiesOfADataFolder) {
    std::vector<std::string> written;
    for (const std::string& folder : {pcB, pcC, own}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.find(kConflictStamp) != std::string::npos && name[0] != '.' && name[0] != '~')
                written.push_back(std::filesystem::relative(entry.path(), folder).string());
        }
        std::sort(written.begin(), written.end());
        EXPECT_EQ(syncConflictCopies(fs, folder), written) << folder;
        EXPECT_FALSE(written.empty());
        written.clear();
    }
}

}  // namespace
}  // namespace lapdex
