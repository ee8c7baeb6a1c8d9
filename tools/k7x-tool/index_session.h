// The runs of a data folder named on k7x-tool's command line: its run index, opened and brought up
// to date, or the folders themselves when the index cannot be had; and the warnings and exit
// status of an answer that could not cover everything.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "configuration.h"
#include "folder_run_source.h"
#include "run_index.h"

namespace k7x {

// Exit statuses of the commands over a data folder.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// The answer was printed but leaves out runs or folders that could not be read, each named on
// stderr.
inline constexpr int kExitPartial = 3;

struct IndexSession {
    explicit IndexSession(const lapdex::DataFolder& folder) : data(folder), folders(folder) {}

    // The source every command reads its runs from: the index, or the folder scan.
    lapdex::RunSource& source() {
        return index ? static_cast<lapdex::RunSource&>(*index) : folders;
    }

    lapdex::DataFolder data;  // its canonical path
    std::string given;        // the data folder as named on the command line
    lapdex::Configuration config;
    std::unique_ptr<lapdex::RunIndex> index;  // null when it could not be opened or kept
    lapdex::FolderRunSource folders;
    bool partial = false;  // a warning was printed
};

// Null, with the reason written to `err`, when `folder` is no data folder (no Lapdex.dat in it) or
// its Lapdex.dat cannot be read. When the index cannot be opened or brought up to date, says so
// once on `err` and answers from the folders.
std::unique_ptr<IndexSession> openIndexSession(const std::string& folder, std::FILE* err);

// One warning on `err` per problem; the session's answer is partial from then on.
void reportProblems(IndexSession& session, const std::vector<lapdex::RunProblem>& problems,
                    std::FILE* err);

// The exit status once the answer is printed on `out`: 0, kExitPartial after a warning, or
// kExitFailure when `out` could not be written.
int finishAnswer(const IndexSession& session, std::FILE* out);

// A text for one tab-separated cell: tabs and line breaks become spaces.
std::string cellText(std::string text);

}  // namespace k7x
