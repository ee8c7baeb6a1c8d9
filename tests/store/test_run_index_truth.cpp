// The run index answers what reading every run file now would answer: stopwatches registered
// during a session, files changed behind the program's back in every way that keeps or restores
// their size and times, folders that cannot be listed, and two programs sharing one index.
#include <gtest/gtest.h>

#include "run_catalogue.h"
#include "run_file_fixture.h"
#include "run_index_truth.h"

namespace lapdex {
namespace {

using testing::RunIndexTruth;

// The window's search as lines of the fresh index's listing (rows only), for comparing.
std::vector<std::string> searchedRows(RunIndex& index, const RunQuery& query) {
    const std::optional<std::vector<RunRow>> rows = index.search(query);
    if (!rows) return {"no answer"};
    RunListing listing;
    listing.answered = true;
    listing.rows = *rows;
    return testing::describe(index, listing);
}

std::vector<std::string> withoutProblems(std::vector<std::string> lines) {
    std::erase_if(lines, [](const std::string& line) { return line.rfind("problem ", 0) == 0; });
    return lines;
}

TEST_F(RunIndexTruth, AStopwatchRegisteredDuringASessionIsInEveryAnswerAtOnce) {
    write(testing::clockExample());
    ASSERT_TRUE(index->refreshAll(stopwatches));
    // Laid on while the program runs: registered, its folder made, its runs written; the index
    // is told of the registration only, as the worker tells it.
    const RunStopwatch added{"QTM-03", "0000000000c3", "新人"};
    registry.push_back(added);
    ASSERT_TRUE(fs.createFolder(data + "QTM-03").ok());
    RunRecord run = testing::clockExample();
    run.start.day = 20;
    write(run, 2);
    index->stopwatchRecorded(added);
    const auto listed = index->stopwatches();
    ASSERT_TRUE(listed.has_value());
    ASSERT_EQ(listed->size(), 3U);
    EXPECT_EQ(listed->back().tabName, "新人");
    // The window's search first: it must not rely on the run source having compared the folder.
    EXPECT_EQ(searchedRows(*index, {}), withoutProblems(freshAnswer()));
    expectSameAsFreshRead("run source");
    const auto names = index->runsOfDay(data + "QTM-03", "QTM240120");
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->size(), 1U);
    // A rename and a removal through the whole registry reach the answers as quickly.
    registry = {stopwatches[0], {"QTM-03", "0000000000c3", "二年"}};
    index->registryChanged(registry);
    EXPECT_EQ(searchedRows(*index, {}), withoutProblems(freshAnswer()));
    expectSameAsFreshRead("renamed and removed");
}

}  // namespace
}  // namespace lapdex
