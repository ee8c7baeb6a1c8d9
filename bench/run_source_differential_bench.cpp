// The differential run-source test at length: many long random sequences of operations on a data
// folder, each answer of the run index compared with the folder scan's after every step.
//   build/bench/run_source_differential_bench [--seed N] [--sequences N] [--steps N]
//       [--only KIND,KIND] [--without KIND,KIND] [--failures N]
// KIND is an operation's name with '-' for ' ' ("hand-edit"). Prints each counterexample shrunk
// to a minimal sequence, then the sequences, steps and answers checked.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "run_source_model.h"

namespace {

using lapdex::testing::OpKind;
using lapdex::testing::OpKinds;

bool kindsFrom(const std::string& list, OpKinds& kinds) {
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        std::string name = list.substr(at, comma - at);
        for (char& c : name) c = c == '-' ? ' ' : c;
        bool found = false;
        for (int k = 0; k < int(OpKind::Count); ++k) {
            if (name == lapdex::testing::opName(OpKind(k))) kinds.insert(OpKind(k)), found = true;
        }
        if (!found) return std::fprintf(stderr, "unknown operation %s\n", name.c_str()), false;
        at = comma + 1;
    }
    return true;
}

struct Options {
    std::uint64_t seed = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    int sequences = 1000;
    std::size_t steps = 16;
    int failures = 1;
    OpKinds kinds = lapdex::testing::allOpKinds();
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        if (option == "--seed") {
            options.seed = std::strtoull(value, nullptr, 10);
        } else if (option == "--sequences") {
            options.sequences = std::atoi(value);
        } else if (option == "--steps") {
            options.steps = std::size_t(std::atoi(value));
        } else if (option == "--failures") {
            options.failures = std::atoi(value);
        } else if (option == "--only" || option == "--without") {
            OpKinds named;
            if (!kindsFrom(value, named)) return false;
            if (option == "--only") options.kinds = named;
            for (OpKind k : named) {
                if (option == "--without") options.kinds.erase(k);
            }
        } else {
            return std::fprintf(stderr, "unknown option %s\n", option.c_str()), false;
        }
    }
    return argc % 2 == 1 && !options.kinds.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return 2;
    std::printf("seed %llu, %d sequences of %zu steps\n", (unsigned long long)options.seed,
                options.sequences, options.steps);
    std::mt19937_64 random(options.seed);
    std::size_t steps = 0;
    std::size_t answers = 0;
    int failures = 0;
    int n = 0;
    const auto began = std::chrono::steady_clock::now();
    for (; n < options.sequences && failures < options.failures; ++n) {
        const auto ops = lapdex::testing::randomSequence(random, options.steps, options.kinds);
        const lapdex::testing::SequenceRun run = lapdex::testing::runSequence(ops);
        steps += run.steps;
        answers += run.answersCompared;
        if (run.agreed) continue;
        ++failures;
        std::printf("counterexample in sequence %d, shrunk:\n%s\n", n,
                    lapdex::testing::describeFailure(lapdex::testing::shrinkSequence(ops)).c_str());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("%d sequences, %zu steps checked, %zu answers equal, %d counterexamples, %.1f s\n",
                n, steps, answers, failures, seconds);
    return failures == 0 ? 0 : 1;
}
