// The answers the differential run-source test compares: every query of the run source, and what
// the roster, the bests, the team day, the exports and the stopwatch page compute from them.
#include <algorithm>
#include <map>
#include <random>

#include "export_run.h"
#include "fake_catalogue_page.h"
#include "folder_run_source.h"
#include "indexed_catalogue.h"
#include "personal_bests.h"
#include "roster.h"
#include "run_source_rig.h"
#include "team_day.h"

namespace lapdex::testing {
namespace {

std::string runText(const RunDetails& run) {
    std::string text = run.start + " f" + std::to_string(int(run.timeFormat)) + " n" +
                       std::to_string(run.lapCount) + " t" + std::to_string(run.totalCs) + " b" +
                       std::to_string(run.bestLapCs) + "#" + std::to_string(run.bestLapNumber) +
                       " a" + std::to_string(run.averageLapCs) + " s" +
                       std::to_string(run.slowestLapCs) + "#" +
                       std::to_string(run.slowestLapNumber) + " \"" + run.memo + "\"";
    for (const LapDetails& lap : run.laps) {
        text += " [" + std::to_string(lap.number) + " " + std::to_string(lap.lapCs) + " " +
                std::to_string(lap.splitCs) + " \"" + lap.memo + "\"]";
    }
    return text;
}

std::string rowText(const RunRow& row) {
    return row.folderName + "/" + row.fileName + " " + row.serialText + " \"" + row.tabName +
           "\" " + runText(row.run) + "\n";
}

std::string problemsText(const std::vector<RunProblem>& problems) {
    std::vector<std::string> paths;
    for (const RunProblem& p : problems) paths.push_back("problem " + p.path + "\n");
    std::sort(paths.begin(), paths.end());
    std::string text;
    for (const std::string& p : paths) text += p;
    return text;
}

std::string listingText(const RunListing& listing) {
    std::string text = listing.answered ? "answered" : "no answer";
    text += listing.truncated ? ", truncated\n" : "\n";
    for (const RunRow& row : listing.rows) text += rowText(row);
    return text + problemsText(listing.problems);
}

std::string stopwatchText(const RunStopwatch& s) {
    return s.folderName + " " + s.serialText + " \"" + s.tabName + "\"";
}

template <class T, class Text>
std::string answerText(const SourceAnswer<T>& answer, Text text) {
    return (answer.value ? text(*answer.value) : std::string("no answer\n")) +
           problemsText(answer.problems);
}

std::string rosterText(const Roster& roster) {
    std::string text;
    for (const RosterEntry& e : roster.entries) {
        text += stopwatchText(e.stopwatch) + " " + std::to_string(e.runs) + " " + e.firstStart +
                " " + e.lastStart + " " + std::to_string(e.usualLapCount) + " " +
                std::to_string(e.bestLapCs) + " " + std::to_string(e.bestTotalCs) + " " +
                std::to_string(int(e.timeFormat)) + " " + e.lastContact + "\n";
    }
    return text;
}

std::string bestText(const BestTime& best) {
    return std::to_string(best.cs) + "#" + std::to_string(best.lapNumber) + " " + best.fileName +
           " " + best.start;
}

std::string bestsText(const std::vector<PersonalBests>& all) {
    std::string text;
    for (const PersonalBests& b : all) {
        text += stopwatchText(b.stopwatch) + " lap " + bestText(b.fastestLap);
        for (const auto& [laps, best] : b.fastestTotal)
            text += " total" + std::to_string(laps) + " " + bestText(best);
        for (const auto& [laps, best] : b.fastestLapOfCount)
            text += " lap" + std::to_string(laps) + " " + bestText(best);
        text += "\n";
    }
    return text;
}

std::string dayText(const TeamDay& day) {
    std::string text = day.date + " columns " + std::to_string(day.lapColumns) + "\n";
    for (const TeamDayRun& r : day.runs) {
        text += r.folderName + "/" + r.fileName + " \"" + r.tabName + "\" " + r.start + " " +
                std::to_string(r.totalCs) + " " + std::to_string(r.bestLapCs) + " " +
                std::to_string(r.averageLapCs);
        for (std::size_t i = 0; i < r.lapsCs.size(); ++i)
            text += " " + std::to_string(r.lapsCs[i]) + "/" + std::to_string(r.splitsCs[i]);
        text += "\n";
    }
    return text;
}

std::string exportText(const std::vector<ExportRun>& runs) {
    std::string text;
    for (const ExportRun& r : runs)
        text +=
            r.relativePath + " " + r.serialText + " \"" + r.tabName + "\" " + runText(r.run) + "\n";
    return text;
}

std::string readText(const RunRead& read) {
    return std::to_string(int(read.outcome)) + (read.ok() ? " " + runText(read.run) : "");
}

// The queries asked after each step: each condition alone over what the data folder holds, and
// random combinations of them.
std::vector<RunQuery> queriesFor(const std::vector<RunRow>& all,
                                 const std::vector<std::string>& folders, std::size_t step) {
    std::vector<RunQuery> queries(1);
    auto add = [&queries](auto set) { set(queries.emplace_back()); };
    for (int limit : {1, 3}) add([&](RunQuery& q) { q.limit = limit; });
    for (const std::string& folder : folders) add([&](RunQuery& q) { q.folderNames = {folder}; });
    std::set<std::string> dates;
    std::set<int> lapCounts{7};
    std::vector<std::int64_t> totals;
    for (const RunRow& row : all) {
        dates.insert(row.run.start.substr(0, 10));
        lapCounts.insert(row.run.lapCount);
        totals.push_back(row.run.totalCs);
    }
    for (const std::string& date : dates) add([&](RunQuery& q) { q.fromDate = q.toDate = date; });
    add([](RunQuery& q) { q.fromDate = "2024-03-02"; });
    add([](RunQuery& q) { q.toDate = "2024-03-02"; });
    for (const char* word : {"風", "向かい風", "追い風 強い", "ab", "abc", "晴れ", "無い言葉",
                             "HEAD", "ｈｅａｄ", "カタカナ", "ﾀｶ", "Ａb"})
        add([&](RunQuery& q) { q.words = {word}; });
    add([](RunQuery& q) { q.words = {"追い風", "強い"}; });
    for (int laps : lapCounts) add([&](RunQuery& q) { q.lapCount = laps; });
    std::sort(totals.begin(), totals.end());
    const std::int64_t middle = totals.empty() ? 20000 : totals[totals.size() / 2];
    add([&](RunQuery& q) { q.minTotalCs = middle; });
    add([&](RunQuery& q) { q.maxTotalCs = middle; });
    std::mt19937 random(static_cast<std::uint32_t>(step * 7919 + all.size()));
    for (int i = 0; i < 3; ++i) {
        RunQuery q = queries[random() % queries.size()];
        const RunQuery& other = queries[random() % queries.size()];
        q.words.insert(q.words.end(), other.words.begin(), other.words.end());
        if (q.fromDate.empty()) q.fromDate = other.fromDate;
        if (q.lapCount == 0) q.lapCount = other.lapCount;
        if (q.maxTotalCs < 0) q.maxTotalCs = other.maxTotalCs;
        q.limit = int(random() % 3);
        queries.push_back(q);
    }
    return queries;
}

std::string queryText(const RunQuery& q) {
    std::string text = "query";
    for (const std::string& f : q.folderNames) text += " folder=" + f;
    if (!q.fromDate.empty()) text += " from=" + q.fromDate;
    if (!q.toDate.empty()) text += " to=" + q.toDate;
    for (const std::string& w : q.words) text += " word=\"" + w + "\"";
    if (q.lapCount) text += " laps=" + std::to_string(q.lapCount);
    if (q.minTotalCs >= 0) text += " min=" + std::to_string(q.minTotalCs);
    if (q.maxTotalCs >= 0) text += " max=" + std::to_string(q.maxTotalCs);
    if (q.limit) text += " limit=" + std::to_string(q.limit);
    return text;
}

// The names of `folder`'s runs of `dayKey` in its listing order, as the catalogue's scan finds
// them.
std::vector<std::string> scannedRunsOfDay(FileSystem& fs, const std::string& folder,
                                          const std::string& dayKey) {
    std::vector<std::string> names;
    for (const FolderEntry& e : fs.listFolder(folder).entries) {
        if (e.kind == EntryKind::File && runDayKey(e.name) == dayKey) names.push_back(e.name);
    }
    return names;
}

std::string namesText(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) text += n + "\n";
    return text;
}

}  // namespace

bool SequenceRig::same(const std::string& what, const std::string& indexed,
                       const std::string& scanned, std::string& difference) {
    if (indexed == scanned) {
        ++compared_;
        return true;
    }
    difference = what + "\n  index:\n" + indexed + "  folder scan:\n" + scanned;
    return false;
}

std::string SequenceRig::check(std::size_t step) {
    if (!toolFailure_.empty()) return toolFailure_;
    std::string difference = checkIndex(*index_, step);
    if (difference.empty() && second_) {
        difference = checkIndex(*second_, step);
        if (!difference.empty()) difference = "(second index) " + difference;
    }
    return difference;
}

std::string SequenceRig::checkIndex(RunIndex& index, std::size_t step) {
    FolderRunSource scan(DataFolder(fs_, data_));
    std::string d;
    auto stopwatches = [](const std::optional<std::vector<RunStopwatch>>& all) {
        std::string text = all ? "" : "no answer";
        for (const RunStopwatch& s : all.value_or(std::vector<RunStopwatch>{}))
            text += stopwatchText(s) + "\n";
        return text;
    };
    if (!same("registered stopwatches", stopwatches(index.registeredStopwatches()),
              stopwatches(scan.registeredStopwatches()), d))
        return d;
    const RunListing all = scan.listRuns(RunQuery{});
    d = checkQueries(index, scan, all, step);
    if (d.empty()) d = checkComputed(index, scan, all, step);
    return d.empty() ? checkCatalogue(index) : d;
}

// Every query, and a read of every run and of every file the scan could not make a run of.
std::string SequenceRig::checkQueries(RunIndex& index, RunSource& scan, const RunListing& all,
                                      std::size_t step) {
    std::string d;
    std::vector<std::string> folders;
    for (const RunStopwatch& s : scan.registeredStopwatches().value_or(std::vector<RunStopwatch>{}))
        folders.push_back(s.folderName);
    for (const RunQuery& q : queriesFor(all.rows, folders, step)) {
        if (!same(queryText(q), listingText(index.listRuns(q)), listingText(scan.listRuns(q)), d))
            return d;
    }
    std::vector<std::pair<std::string, std::string>> reads{{"QTM-01", "QTM240301_000000_x.csv"},
                                                           {"QTM-77", "QTM240301_000000_x.csv"}};
    for (const RunRow& row : all.rows) reads.emplace_back(row.folderName, row.fileName);
    for (const RunProblem& p : all.problems) {
        const std::size_t slash = p.path.find('/');
        if (slash != std::string::npos)
            reads.emplace_back(p.path.substr(0, slash), p.path.substr(slash + 1));
    }
    for (const auto& [folder, file] : reads) {
        if (!same("read " + folder + "/" + file, readText(index.readRun(folder, file)),
                  readText(scan.readRun(folder, file)), d))
            return d;
    }
    return {};
}

// What the roster, the bests, the exports and the team day compute through each source.
std::string SequenceRig::checkComputed(RunIndex& index, RunSource& scan, const RunListing& all,
                                       std::size_t step) {
    const DataFolder data(fs_, data_);
    const std::string date = "2024-03-0" + std::to_string(1 + step % 4);
    const std::string folder =
        all.rows.empty() ? "QTM-01" : all.rows[step % all.rows.size()].folderName;
    auto computed = [&](RunSource& source) {
        return "roster\n" + answerText(loadRoster(source, data), rosterText) + "bests\n" +
               answerText(loadPersonalBests(source, ""), bestsText) + "bests of " + folder + "\n" +
               answerText(loadPersonalBests(source, folder), bestsText) + "export rows\n" +
               answerText(collectExportRuns(source, all.rows), exportText) + "team day\n" +
               answerText(loadTeamDay(source, date), dayText);
    };
    const std::string indexed = computed(index);
    std::string d;
    return same("roster, bests, export rows, team day " + date, indexed, computed(scan), d) ? ""
                                                                                            : d;
}

// The stopwatch page's day marks and day listing as the page asks for them, before and after the
// refresh thread compared the folders the index asked it to: never a comparison on the page's
// thread, and the catalogue's own folder scan's answer either way.
std::string SequenceRig::checkCatalogue(RunIndex& index) {
    asked_.clear();
    for (int pass = 0; pass < 2; ++pass) {
        const std::uint64_t comparisons = index.comparisons();
        std::string d = checkCataloguePass(index);
        if (!d.empty()) return (pass == 0 ? "" : "(after the refresh) ") + d;
        if (index.comparisons() != comparisons) return "the page's queries compared a folder";
        for (const std::string& name : std::vector<std::string>(asked_))
            (void)index.compareFolder(name);
    }
    return {};
}

std::string SequenceRig::checkCataloguePass(RunIndex& index) {
    std::string d;
    const std::vector<std::string> folders = registeredFolders();
    for (const std::string& name : folders) {
        const std::string folder = data_ + name + "/";
        // Where the index answers, it answers as the scan; where not, the page scans.
        for (int day = 1; day <= 4; ++day) {
            const std::string key = "QTM24030" + std::to_string(day);
            const auto indexed = index.runsOfDay(folder, key);
            dayAnswers_ += indexed.has_value();
            if (indexed && !same("runs of " + name + " " + key, namesText(*indexed),
                                 namesText(scannedRunsOfDay(fs_, folder, key)), d))
                return d;
        }
        const auto days = index.daysBetween(folder, "QTM240301", "QTM240331");
        std::map<std::string, std::string> scanned;
        for (const FolderEntry& e : fs_.listFolder(folder).entries) {
            const std::string key = runDayKey(e.name);
            if (e.kind == EntryKind::File && key >= "QTM240301" && key <= "QTM240331")
                scanned.emplace(key, e.name);
        }
        std::map<std::string, std::string> found;
        if (days) found.insert(days->begin(), days->end());
        auto text = [](const std::map<std::string, std::string>& m) {
            std::string t;
            for (const auto& [k, v] : m) t += k + " " + v + "\n";
            return t;
        };
        if (days && !same("days of " + name, text(found), text(scanned), d)) return d;
        FakePage indexed, scannedPage;
        for (FakePage* page : {&indexed, &scannedPage}) {
            page->folder = data_ + name;
            page->registered = int(folders.size());
            page->range = {{2024, 2, 26}, {2024, 4, 6}, 3};
        }
        const auto indexMasks = computeDayMasks(&index, fs_, indexed);
        const auto scanMasks = computeDayMasks(fs_, scannedPage);
        std::string a, b;
        for (auto m : indexMasks) a += std::to_string(m) + " ";
        for (auto m : scanMasks) b += std::to_string(m) + " ";
        if (!same("day marks of " + name, a, b, d)) return d;
        for (int day = 1; day <= 4; ++day) {
            indexed.paths.clear();
            scannedPage.paths.clear();
            (void)listRunsOfDay(&index, fs_, indexed, CalendarDate{2024, 3, day});
            (void)listRunsOfDay(fs_, scannedPage, CalendarDate{2024, 3, day});
            if (!same("day listing of " + name + " 2024-03-0" + std::to_string(day),
                      namesText(indexed.paths), namesText(scannedPage.paths), d))
                return d;
        }
    }
    return {};
}

}  // namespace lapdex::testing
