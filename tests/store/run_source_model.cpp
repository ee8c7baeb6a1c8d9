// Random sequences of operations, run against a fresh data folder and shrunk when index and scan
// disagree.
#include <sstream>

#include "run_source_rig.h"

namespace lapdex::testing {
namespace {

constexpr const char* kNames[] = {"register",
                                  "download",
                                  "memo edit",
                                  "delete run",
                                  "rename",
                                  "remove",
                                  "import",
                                  "hand edit",
                                  "hand replace",
                                  "hand delete",
                                  "hand add",
                                  "hand damage",
                                  "folder unreadable",
                                  "folder readable",
                                  "file unreadable",
                                  "fat times",
                                  "future folder",
                                  "second index",
                                  "age",
                                  "clock back",
                                  "other program"};
static_assert(std::size(kNames) == std::size_t(OpKind::Count));

// How often each kind comes up: downloads and page edits most, as in a club's season.
constexpr int kWeights[] = {2, 6, 4, 3, 2, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 2, 2, 2, 1};
static_assert(std::size(kWeights) == std::size_t(OpKind::Count));

}  // namespace

const char* opName(OpKind kind) {
    return kNames[std::size_t(kind)];
}

OpKinds allOpKinds() {
    OpKinds kinds;
    for (int k = 0; k < int(OpKind::Count); ++k) kinds.insert(OpKind(k));
    return kinds;
}

std::vector<Op> randomSequence(std::mt19937_64& random, std::size_t length, const OpKinds& kinds) {
    std::vector<int> weights;
    for (int k = 0; k < int(OpKind::Count); ++k)
        weights.push_back(kinds.count(OpKind(k)) ? kWeights[k] : 0);
    std::discrete_distribution<int> kind(weights.begin(), weights.end());
    std::vector<Op> ops;
    for (std::size_t i = 0; i < length; ++i) {
        ops.push_back({OpKind(kind(random)), std::uint32_t(random()), std::uint32_t(random()),
                       std::uint32_t(random())});
    }
    return ops;
}

SequenceRun runSequence(const std::vector<Op>& ops) {
    SequenceRun run;
    SequenceRig rig;
    if (!rig.setUp()) {
        run.agreed = false;
        run.difference = "the data folder could not be set up";
        return run;
    }
    run.difference = rig.check(0);
    for (std::size_t i = 0; i < ops.size() && run.difference.empty(); ++i) {
        run.done.push_back(rig.apply(ops[i]));
        ++run.steps;
        run.difference = rig.check(i + 1);
    }
    run.agreed = run.difference.empty();
    run.answersCompared = rig.answersCompared();
    run.dayAnswers = rig.dayAnswers();
    return run;
}

std::vector<Op> shrinkSequence(std::vector<Op> ops) {
    SequenceRun first = runSequence(ops);
    if (first.agreed) return ops;
    ops.resize(first.steps);  // what came after the difference played no part
    for (bool shorter = true; shorter;) {
        shorter = false;
        for (std::size_t i = ops.size(); i-- > 0;) {
            std::vector<Op> without = ops;
            without.erase(without.begin() + std::ptrdiff_t(i));
            const SequenceRun run = runSequence(without);
            if (run.agreed) continue;
            without.resize(run.steps);
            ops = std::move(without);
            shorter = true;
            i = std::min(i, ops.size());
        }
    }
    return ops;
}

std::string describeFailure(const std::vector<Op>& ops) {
    const SequenceRun run = runSequence(ops);
    std::ostringstream text;
    text << "set-up: one stopwatch QTM-01 with three runs, all a day old\n";
    for (std::size_t i = 0; i < run.done.size(); ++i)
        text << "step " << i + 1 << " (" << opName(ops[i].kind) << "): " << run.done[i] << "\n";
    text << (run.agreed ? std::string("no difference\n") : "differs in " + run.difference);
    return text.str();
}

}  // namespace lapdex::testing
