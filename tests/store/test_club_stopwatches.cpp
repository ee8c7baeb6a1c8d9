// Stopwatches of several data folders: a stopwatch is its PC and folder name together, so two
// PCs' "QTM-01" stay two lines in the roster, the team day, progress and the bests, and each line
// equals what the same computation gives over a plain scan of its own folder.
#include <gtest/gtest.h>

#include "club_run_source.h"
#include "data_folder_fixture.h"
#include "folder_run_source.h"
#include "personal_bests.h"
#include "progress.h"
#include "roster.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "stopwatch_groups.h"
#include "team_day.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

struct FolderRun {
    int slot;
    RunStart start;
    int laps;
    std::uint32_t lapCs;
};

struct Folder {
    const char* pc;
    std::vector<testing::RegisteredStopwatch> stopwatches;
    std::vector<FolderRun> runs;
};

struct ClubCase {
    const char* name;
    std::vector<Folder> folders;
};

// Every answer over the club, restricted to `pc`, must equal the answer over `scan` alone with
// `pc` set on it.
void expectSameAsScan(RunSource& club, RunSource& scan, const std::string& pc,
                      const DataFolder& data, const std::vector<std::string>& dates) {
    SCOPED_TRACE("PC " + pc);
    const SourceAnswer<Roster> clubRoster = loadRoster(club, data);
    SourceAnswer<Roster> ownRoster = loadRoster(scan, data);
    ASSERT_TRUE(clubRoster.value && ownRoster.value);
    std::vector<RosterEntry> clubEntries;
    for (const RosterEntry& e : clubRoster.value->entries)
        if (e.stopwatch.pc == pc) clubEntries.push_back(e);
    for (RosterEntry& e : ownRoster.value->entries) e.stopwatch.pc = pc;
    EXPECT_EQ(clubEntries, ownRoster.value->entries);

    for (const RosterEntry& e : ownRoster.value->entries) {
        const std::string& folder = e.stopwatch.folderName;
        SourceAnswer<Progress> mine = loadProgress(scan, {folder, 0, "", "", ""});
        const SourceAnswer<Progress> theirs = loadProgress(club, {folder, 0, "", "", pc});
        ASSERT_TRUE(mine.value && theirs.value) << folder;
        mine.value->stopwatch.pc = pc;
        EXPECT_EQ(*theirs.value, *mine.value) << folder;
        EXPECT_EQ(loadRunsThatSetBests(club, folder, pc).value,
                  loadRunsThatSetBests(scan, folder).value)
            << folder;

        const SourceAnswer<std::vector<PersonalBests>> bests = loadPersonalBests(club, folder);
        const SourceAnswer<std::vector<PersonalBests>> alone = loadPersonalBests(scan, folder);
        ASSERT_TRUE(bests.value && alone.value && alone.value->size() == 1);
        const auto same =
            std::find_if(bests.value->begin(), bests.value->end(),
                         [&](const PersonalBests& b) { return b.stopwatch.pc == pc; });
        ASSERT_NE(same, bests.value->end()) << folder;
        EXPECT_EQ(same->fastestLap, alone.value->front().fastestLap);
        EXPECT_EQ(same->fastestTotal, alone.value->front().fastestTotal);
    }

    for (const std::string& date : dates) {
        const SourceAnswer<TeamDay> clubDay = loadTeamDay(club, date);
        SourceAnswer<TeamDay> ownDay = loadTeamDay(scan, date);
        ASSERT_TRUE(clubDay.value && ownDay.value);
        std::vector<TeamDayRun> clubRuns;
        for (const TeamDayRun& r : clubDay.value->runs)
            if (r.pc == pc) clubRuns.push_back(r);
        for (TeamDayRun& r : ownDay.value->runs) r.pc = pc;
        EXPECT_EQ(clubRuns, ownDay.value->runs) << date;
    }
}

TEST(ClubStopwatches, EachDataFolderKeepsItsOwnLinesAsItsScanGivesThem) {
    const RunStart morning{2026, 12, 9, 7, 0, 0};
    const RunStart evening{2026, 12, 9, 18, 30, 0};
    const RunStart nextDay{2026, 12, 10, 7, 0, 0};
    const std::vector<ClubCase> cases = {
        {"two PCs each with a QTM-01 of its own serial",
         {{"", {{"0123456789ab", "Sato"}}, {{0, morning, 4, 6000}, {0, nextDay, 4, 5900}}},
          {"PC-B", {{"00000000beef", "Ito"}}, {{0, morning, 4, 6100}, {0, evening, 2, 5000}}}}},
        {"one stopwatch read on two PCs, with runs of its own on each",
         {{"", {{"0123456789ab", "Sato"}}, {{0, morning, 4, 6000}}},
          {"PC-B", {{"0123456789ab", "Sato"}}, {{0, evening, 4, 5800}, {0, nextDay, 3, 6000}}}}},
        {"three folders, a second stopwatch in one, runs only in the club's",
         {{"", {{"0123456789ab", "Sato"}}, {}},
          {"PC-B",
           {{"00000000beef", "Ito"}, {"00000000cafe", "Kato"}},
           {{0, morning, 4, 6100}, {1, morning, 4, 6050}, {1, nextDay, 4, 6000}}},
          {"PC-C", {{"0000000f00d1", "Abe"}}, {{0, evening, 5, 7000}}}}},
    };
    const std::vector<std::string> dates = {"2026-12-09", "2026-12-10"};
    for (const ClubCase& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempFolder root;
        FileSystem& fs = systemFileSystem();
        std::vector<DataFolder> folders;
        for (std::size_t i = 0; i < c.folders.size(); ++i) {
            const Folder& f = c.folders[i];
            const std::string path = root / ("data" + std::to_string(i));
            ASSERT_TRUE(testing::makeDataFolder(fs, path, f.stopwatches));
            for (const FolderRun& r : f.runs) {
                const RunFileWriteResult written =
                    writeRunFile(fs, path + "/", r.slot, f.stopwatches[r.slot].serial,
                                 testing::steadyRun(r.start, r.laps, r.lapCs));
                ASSERT_EQ(written.status, RunFileWriteStatus::Written);
            }
            folders.emplace_back(fs, path);
        }
        std::vector<FolderRunSource> scans;
        scans.reserve(folders.size());
        for (const DataFolder& d : folders) scans.emplace_back(d);
        std::vector<ClubRunSource::Member> members;
        for (std::size_t i = 1; i < scans.size(); ++i)
            members.push_back({c.folders[i].pc, &scans[i]});
        ClubRunSource club(scans.front(), members);

        // Every registered stopwatch is a line of its own, even where two share a folder name.
        const SourceAnswer<Roster> roster = loadRoster(club, folders.front());
        ASSERT_TRUE(roster.value);
        std::size_t registered = 0;
        for (const Folder& f : c.folders) registered += f.stopwatches.size();
        EXPECT_EQ(roster.value->entries.size(), registered);
        for (std::size_t i = 0; i < scans.size(); ++i)
            expectSameAsScan(club, scans[i], c.folders[i].pc, folders[i], dates);
    }
}

}  // namespace
}  // namespace lapdex
