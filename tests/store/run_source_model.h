// The differential run-source test's machinery: random operations on a data folder in a temporary
// folder, and the comparison of every answer of the run index with the folder scan's after each.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "file_system.h"

namespace lapdex::testing {

enum class OpKind {
    Register,          // a new stopwatch registered (Lapdex.dat through the configuration code)
    Download,          // runs written by the run file writer, into a new stopwatch's folder too
    MemoEdit,          // a run or lap memo rewritten as the page does
    DeleteRun,         // a run deleted as the page does
    Rename,            // a stopwatch renamed
    Remove,            // a stopwatch's slot emptied
    Import,            // another data set imported, then the program started again
    HandEdit,          // a run file changed in place, same size, its times put back
    HandReplace,       // a run file overwritten by other content (cp), perhaps with an older time
    HandDelete,        // a run file deleted by hand, perhaps with the folder's time put back
    HandAdd,           // a run file added by hand with an older time
    HandDamage,        // a run file truncated or a run-named file of garbage added
    FolderUnreadable,  // a stopwatch folder that can no longer be listed
    FolderReadable,    // ... and again
    FileUnreadable,    // a run file that can no longer be read, or again
    FatTimes,          // a folder's and its files' times cut to 2 s
    FutureFolder,      // a folder's time set an hour ahead
    SecondIndex,       // a second index on the same database, as k7x-tool opens one
    Age,               // every folder and file of the data folder made a day older
    ClockBack,         // the clock moved back: the index's clock, and the times of what is written
    OtherProgram,      // k7x-tool run on the data folder, sharing the index file (rare: a process)
    Count
};

const char* opName(OpKind kind);

// One step: its kind and random numbers that pick its targets in the state it meets, so that any
// subsequence of a sequence is a sequence too (which is how a failure is shrunk).
struct Op {
    OpKind kind = OpKind::Download;
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t c = 0;
};

// The kinds a generator may use.
using OpKinds = std::set<OpKind>;
OpKinds allOpKinds();

std::vector<Op> randomSequence(std::mt19937_64& random, std::size_t length, const OpKinds& kinds);

// What running a sequence found.
struct SequenceRun {
    bool agreed = true;
    std::size_t steps = 0;            // steps applied and checked
    std::vector<std::string> done;    // each step as it was applied
    std::string difference;           // the first answer in which index and scan differ
    std::size_t answersCompared = 0;  // answers checked equal
    std::size_t dayAnswers = 0;       // day queries the index answered itself
};

// Applies `ops` to a fresh data folder under the system's temporary folder, checking every answer
// after the set-up and after each step; stops at the first difference.
SequenceRun runSequence(const std::vector<Op>& ops);

// The shortest subsequence found (by dropping steps) on which the index and the scan still differ.
std::vector<Op> shrinkSequence(std::vector<Op> ops);

// A failing sequence and its difference, a line per step, for a test's or benchmark's output.
std::string describeFailure(const std::vector<Op>& ops);

}  // namespace lapdex::testing
