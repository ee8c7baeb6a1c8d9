// The club run source: the own folder's and the club folders' answers merged into one, each run
// once, and the names sync engines leave behind.
#include "club_run_source.h"

#include <algorithm>
#include <map>
#include <thread>
#include <tuple>
#include <utility>

namespace lapdex {
namespace {

// What makes two rows the same run: the stopwatch, the start and the laps as the listing has them.
auto runKey(const RunRow& row) {
    return std::tie(row.serialText, row.run.start, row.run.lapCount, row.run.totalCs,
                    row.run.bestLapCs, row.run.slowestLapCs, row.run.averageLapCs);
}
using RunKey = decltype(runKey(std::declval<const RunRow&>()));

bool rowBefore(const RunRow& a, const RunRow& b) {
    return std::tie(a.run.start, a.folderName, a.fileName, a.pc) <
           std::tie(b.run.start, b.folderName, b.fileName, b.pc);
}

// One folder of the club as a listing asks it: its label and what it answered.
struct MemberAnswer {
    const std::string* label;
    RunSource* source;
    RunListing listing;
};

// Keeps each run of the first folder (in `answers` order) that has it; a folder's own copies of
// one run (two files) are all kept, as the folder alone would list them.
std::vector<RunRow> dedupedRows(const std::vector<MemberAnswer>& answers) {
    std::map<RunKey, std::size_t> owner;
    std::vector<RunRow> rows;
    for (std::size_t m = 0; m < answers.size(); ++m) {
        for (const RunRow& row : answers[m].listing.rows) {
            const auto found = owner.try_emplace(runKey(row), m).first;
            if (found->second != m) continue;
            rows.push_back(row);
            rows.back().pc = *answers[m].label;
        }
    }
    std::sort(rows.begin(), rows.end(), rowBefore);
    return rows;
}

// Whether the first `limit` of `rows` are sure although some folders were cut short: rows that
// start before every cut folder's last row are all known (copies of a run share its start), and
// more than `limit` of them also make the cut itself sure.
bool cutIsSure(const std::vector<MemberAnswer>& answers, const std::vector<RunRow>& rows,
               std::size_t limit) {
    const std::string* cut = nullptr;
    for (const MemberAnswer& answer : answers) {
        if (!answer.listing.truncated || answer.listing.rows.empty()) continue;
        const std::string& last = answer.listing.rows.back().run.start;
        if (cut == nullptr || last < *cut) cut = &last;
    }
    if (cut == nullptr) return true;
    const auto known = std::count_if(rows.begin(), rows.end(),
                                     [cut](const RunRow& row) { return row.run.start < *cut; });
    return static_cast<std::size_t>(known) > limit;
}

// The folders' answers as one: rows deduplicated and labelled, every problem with its folder's
// label. Not cut to a limit yet.
RunListing mergedListing(const std::vector<MemberAnswer>& answers) {
    RunListing merged;
    merged.answered = true;
    merged.rows = dedupedRows(answers);
    for (const MemberAnswer& answer : answers) {
        for (const RunProblem& problem : answer.listing.problems) {
            merged.problems.push_back(problem);
            merged.problems.back().pc = *answer.label;
        }
    }
    std::stable_sort(merged.problems.begin(), merged.problems.end(),
                     [](const RunProblem& a, const RunProblem& b) { return a.path < b.path; });
    return merged;
}

// Asks the first folder on this thread and the others, in turn, on a second one: the first
// answer after a start then waits for the slower of this PC's exact comparison and the club
// folders' checks, not for both. Each source is asked by one thread only.
void askSideBySide(std::vector<MemberAnswer>& answers, const RunQuery& query) {
    if (answers.size() < 2) {
        for (MemberAnswer& answer : answers) answer.listing = answer.source->listRuns(query);
        return;
    }
    std::thread others([&answers, &query] {
        for (std::size_t m = 1; m < answers.size(); ++m)
            answers[m].listing = answers[m].source->listRuns(query);
    });
    answers[0].listing = answers[0].source->listRuns(query);
    others.join();
}

// What a club folder that cannot answer at all adds to a listing: no runs, and itself named.
RunListing unreachableFolder() {
    RunListing listing;
    listing.answered = true;
    listing.problems.push_back({"", kUnreachableClubFolder, {}});
    return listing;
}

}  // namespace

std::string defaultClubLabel(const std::string& path) {
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '/') trimmed.pop_back();
    const std::size_t slash = trimmed.rfind('/');
    std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    return name.empty() ? "club" : name;
}

ClubRunSource::ClubRunSource(RunSource& own, std::vector<Member> clubFolders)
    : own_(own), clubFolders_(std::move(clubFolders)) {}

std::optional<std::vector<RunStopwatch>> ClubRunSource::registeredStopwatches() {
    std::optional<std::vector<RunStopwatch>> all = own_.registeredStopwatches();
    if (!all) return std::nullopt;
    for (const Member& member : clubFolders_) {
        std::optional<std::vector<RunStopwatch>> theirs = member.source->registeredStopwatches();
        if (!theirs) continue;  // listRuns names the folder
        for (RunStopwatch& stopwatch : *theirs) {
            stopwatch.pc = member.label;
            all->push_back(std::move(stopwatch));
        }
    }
    return all;
}

RunListing ClubRunSource::listRuns(const RunQuery& query) {
    static const std::string kOwnLabel;
    std::vector<MemberAnswer> answers;
    const auto wanted = [&query](const std::string& label) {
        return query.pcs.empty() ||
               std::find(query.pcs.begin(), query.pcs.end(), label) != query.pcs.end();
    };
    if (wanted(kOwnLabel)) answers.push_back({&kOwnLabel, &own_, {}});
    for (Member& member : clubFolders_) {
        if (wanted(member.label)) answers.push_back({&member.label, member.source, {}});
    }
    RunQuery each = query;
    each.pcs.clear();
    const std::size_t limit = query.limit > 0 ? static_cast<std::size_t>(query.limit) : 0;
    // Each folder is asked for as many rows as the whole answer wants; where copies of one run
    // leave too few sure rows, it is asked again for twice as many.
    for (;;) {
        askSideBySide(answers, each);
        for (MemberAnswer& answer : answers) {
            if (answer.listing.answered) continue;
            // Only the own folder's silence silences the club: another PC's folder on a share
            // that is away is named, and the other folders still answer.
            if (answer.source == &own_) return RunListing{};
            answer.listing = unreachableFolder();
        }
        RunListing merged = mergedListing(answers);
        if (limit > 0 && !cutIsSure(answers, merged.rows, limit)) {
            each.limit *= 2;
            continue;
        }
        if (limit > 0 && merged.rows.size() > limit) {
            merged.rows.resize(limit);
            merged.truncated = true;
        }
        return merged;
    }
}

RunRead ClubRunSource::readRun(const std::string& folderName, const std::string& fileName) {
    return own_.readRun(folderName, fileName);
}

RunRead ClubRunSource::readRunOf(const RunRow& row) {
    if (row.pc.empty()) return own_.readRun(row.folderName, row.fileName);
    for (const Member& member : clubFolders_) {
        if (member.label == row.pc) return member.source->readRun(row.folderName, row.fileName);
    }
    RunRead read;
    read.outcome = RunRead::Outcome::Gone;
    read.reason = "no club folder labelled " + row.pc;
    return read;
}

}  // namespace lapdex
