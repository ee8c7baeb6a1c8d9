// The runs of a data folder named on k7x-tool's command line: its run index, opened and brought up
// to date, or the folders themselves when the index cannot be had; and the warnings and exit
// status of an answer that could not cover everything.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "club_run_source.h"
#include "configuration.h"
#include "folder_run_source.h"
#include "run_index.h"

namespace k7x {

struct Cell;

// Exit statuses of the commands over a data folder.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// The answer was printed but leaves out runs or folders that could not be read, each named on
// stderr.
inline constexpr int kExitPartial = 3;

struct IndexSession {
    explicit IndexSession(const lapdex::DataFolder& folder,
                          lapdex::FolderOwner owner = lapdex::FolderOwner::Own)
        : data(folder), folders(folder, owner) {}

    // The source every command reads its runs from: with --also the club source over this data
    // folder and the others; else the index, or the folder scan.
    lapdex::RunSource& source() {
        if (club) return *club;
        return ownSource();
    }
    lapdex::RunSource& ownSource() {
        return index ? static_cast<lapdex::RunSource&>(*index) : folders;
    }
    // Whether answers name each row's PC (--also was given).
    bool clubbed() const { return club != nullptr; }
    // The "pc" value of a row: the club folder's label, or `ownLabel` for this data folder's.
    std::string pcText(const std::string& pc) const { return pc.empty() ? ownLabel : pc; }

    lapdex::DataFolder data;  // its canonical path
    std::string given;        // the data folder as named on the command line
    lapdex::Configuration config;
    std::unique_ptr<lapdex::RunIndex> index;  // null when it could not be opened or kept
    lapdex::FolderRunSource folders;
    bool partial = false;  // a warning was printed
    // With --also: each other data folder (read-only, opened as this one is), and their runs and
    // this folder's as one source. `ownLabel` is this data folder's name (defaultClubLabel).
    std::vector<std::unique_ptr<IndexSession>> others;
    std::vector<std::string> labels;  // of `others`, unique, never `ownLabel`
    std::string ownLabel;
    std::unique_ptr<lapdex::ClubRunSource> club;
};

// Null, with the reason written to `err`, when `folder` is no data folder (no Lapdex.dat in it) or
// its Lapdex.dat cannot be read. When the index cannot be opened or brought up to date, says so
// once on `err` and answers from the folders.
// `also`: the data folders of --also, read besides `folder` as club folders, each labelled by its
// folder's name (made unique with " (2)", " (3)" ...); null when one of them is no data folder.
std::unique_ptr<IndexSession> openIndexSession(const std::string& folder, std::FILE* err,
                                               const std::vector<std::string>& also = {});

// With --also: "pc" before `columns`, and each row's pc text before its cells; else unchanged.
std::vector<std::string> withPcColumn(const IndexSession& session,
                                      std::vector<std::string> columns);
std::vector<Cell> withPcCell(const IndexSession& session, const std::string& pc,
                             std::vector<Cell> cells);

// One warning on `err` per problem; the session's answer is partial from then on.
void reportProblems(IndexSession& session, const std::vector<lapdex::RunProblem>& problems,
                    std::FILE* err);

// The exit status once the answer is printed on `out`: 0, kExitPartial after a warning, or
// kExitFailure when `out` could not be written.
int finishAnswer(const IndexSession& session, std::FILE* out);

// A text for one tab-separated cell: tabs and line breaks become spaces.
std::string cellText(std::string text);

}  // namespace k7x
