// Shared by the run index's truth tests: a data folder with an index, and the reference answer
// of a fresh index that reads every run file anew.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "run_file_writer.h"
#include "run_index.h"
#include "temp_folder.h"

namespace lapdex::testing {

// The real file system, except that listing a folder or reading a file fails where a test says
// so: as root, chmod 000 does not stop a read. The failures are set while no query runs; the
// counters may be bumped from several threads (the club source asks folders side by side).
class FaultyFileSystem : public PosixFileSystem {
  public:
    // Folder path (no trailing '/') -> errno of its listing; `partial` lists half its entries
    // before the failure, as a readdir() that fails midway.
    std::map<std::string, int> listingFails;
    bool partial = false;
    std::map<std::string, int> readFails;  // file path -> errno
    std::atomic<int> listings = 0;
    std::atomic<int> reads = 0;

    FolderListing listFolder(const std::string& folder) override {
        ++listings;
        FolderListing listing = PosixFileSystem::listFolder(folder);
        const auto fails = listingFails.find(withoutTrailingSlash(folder));
        if (fails == listingFails.end()) return listing;
        listing.status = {FsError::Io, fails->second};
        if (partial)
            listing.entries.resize(listing.entries.size() / 2);
        else
            listing.entries.clear();
        return listing;
    }
    FsBytes readFile(const std::string& path) override {
        ++reads;
        const auto fails = readFails.find(path);
        if (fails == readFails.end()) return PosixFileSystem::readFile(path);
        return {{FsError::Io, fails->second}, {}};
    }
};

// Every field of a listing as lines of text, with each row's laps as readRunOf gives them, so two
// listings compare with a readable difference.
inline std::vector<std::string> describe(RunSource& source, const RunListing& listing) {
    std::vector<std::string> lines{listing.answered ? "answered" : "not answered"};
    for (const RunRow& row : listing.rows) {
        const RunDetails& r = row.run;
        std::string line = row.folderName + "|" + row.serialText + "|" + row.tabName + "|" +
                           row.fileName + "|" + r.start + "|" +
                           std::to_string(static_cast<int>(r.timeFormat)) + "|" +
                           std::to_string(r.lapCount) + "|" + std::to_string(r.totalCs) + "|" +
                           std::to_string(r.bestLapCs) + "|" + std::to_string(r.bestLapNumber) +
                           "|" + std::to_string(r.averageLapCs) + "|" +
                           std::to_string(r.slowestLapCs) + "|" + r.memo + "|" + row.pc + "|laps";
        const RunRead read = source.readRunOf(row);
        if (!read.ok()) line += " not read: " + read.reason;
        for (const LapDetails& lap : read.run.laps) {
            line += " " + std::to_string(lap.number) + "/" + std::to_string(lap.lapCs) + "/" +
                    std::to_string(lap.splitCs) + "/" + lap.memo;
        }
        lines.push_back(line);
    }
    for (const RunProblem& problem : listing.problems)
        lines.push_back("problem " + problem.pc + ":" + problem.path + ": " + problem.reason);
    if (listing.truncated) lines.push_back("truncated");
    return lines;
}

class RunIndexTruth : public ::testing::Test {
  public:
    void SetUp() override {
        data = withTrailingSlash(root / "data");
        ASSERT_TRUE(fs.createFolder(data).ok());
        for (const RunStopwatch& stopwatch : stopwatches)
            ASSERT_TRUE(fs.createFolder(data + stopwatch.folderName).ok());
        index = std::make_unique<RunIndex>(fs, data, root / "cache/runs.sqlite");
        ASSERT_TRUE(index->open());
        ASSERT_TRUE(index->refreshAll(stopwatches));
    }

    std::string write(const RunRecord& record, int slot = 0) {
        const RunFileWriteResult result = writeRunFile(
            fs, data, slot, registry[static_cast<std::size_t>(slot)].serialText, record);
        EXPECT_EQ(result.status, RunFileWriteStatus::Written);
        return result.path;
    }

    // The answer of an index that has never seen the folder: every run file read now.
    std::vector<std::string> freshAnswer(const RunQuery& query = {}) {
        RunIndex fresh(fs, data,
                       root / ("cache/fresh-" + std::to_string(++freshCount) + ".sqlite"));
        EXPECT_TRUE(fresh.open());
        fresh.registryChanged(registry);
        return describe(fresh, fresh.listRuns(query));
    }

    void expectSameAsFreshRead(const std::string& context, const RunQuery& query = {}) {
        SCOPED_TRACE(context);
        const std::vector<std::string> reference = freshAnswer(query);
        EXPECT_EQ(describe(*index, index->listRuns(query)), reference);
    }

    FaultyFileSystem fs;
    TempFolder root;
    std::string data;
    std::vector<RunStopwatch> stopwatches{{"QTM-01", "0123456789ab", "走者A", {}},
                                          {"QTM-02", "00000000beef", "QTM-02", {}}};
    std::vector<RunStopwatch> registry = stopwatches;
    std::unique_ptr<RunIndex> index;
    int freshCount = 0;
};

}  // namespace lapdex::testing
