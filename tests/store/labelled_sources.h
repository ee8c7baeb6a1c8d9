// Several data folders answered as one run source for tests of what is computed over a club: each
// member's rows, stopwatches and problems carry its label as `pc` ("" for the own folder).
#pragma once

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "run_source.h"

namespace lapdex::testing {

// The members must outlive it. Unlike a club's source it never merges runs: tests give it folders
// without shared runs.
class LabelledSources : public RunSource {
  public:
    struct Member {
        std::string pc;
        RunSource* source;
    };
    explicit LabelledSources(std::vector<Member> members) : members_(std::move(members)) {}

    std::optional<std::vector<RunStopwatch>> registeredStopwatches() override {
        std::vector<RunStopwatch> all;
        for (const Member& m : members_) {
            std::optional<std::vector<RunStopwatch>> some = m.source->registeredStopwatches();
            if (!some) return std::nullopt;
            for (RunStopwatch& s : *some) s.pc = m.pc, all.push_back(std::move(s));
        }
        return all;
    }

    RunListing listRuns(const RunQuery& query) override {
        RunListing all;
        all.answered = true;
        for (const Member& m : members_) {
            if (!query.pcs.empty() &&
                std::find(query.pcs.begin(), query.pcs.end(), m.pc) == query.pcs.end())
                continue;
            RunListing some = m.source->listRuns(query);
            if (!some.answered) return {};
            for (RunRow& row : some.rows) row.pc = m.pc, all.rows.push_back(std::move(row));
            for (RunProblem& p : some.problems) p.pc = m.pc, all.problems.push_back(std::move(p));
        }
        std::stable_sort(all.rows.begin(), all.rows.end(), [](const RunRow& a, const RunRow& b) {
            return std::tie(a.run.start, a.folderName, a.fileName, a.pc) <
                   std::tie(b.run.start, b.folderName, b.fileName, b.pc);
        });
        return all;
    }

    RunRead readRun(const std::string& folderName, const std::string& fileName) override {
        return members_.front().source->readRun(folderName, fileName);
    }

    RunRead readRunOf(const RunRow& row) override {
        for (const Member& m : members_)
            if (m.pc == row.pc) return m.source->readRun(row.folderName, row.fileName);
        return {RunRead::Outcome::Gone, {}, "no such PC"};
    }

  private:
    std::vector<Member> members_;
};

}  // namespace lapdex::testing
