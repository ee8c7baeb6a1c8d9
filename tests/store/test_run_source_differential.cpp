// The run index against a plain scan of the folders: after every step of random sequences of what
// the program, a user's hand and other programs do to a data folder, every answer must be equal.
#include <gtest/gtest.h>

#include "run_source_model.h"

namespace lapdex {
namespace {

constexpr std::uint64_t kSeed = 20240301;
constexpr int kSequences = 300;
constexpr std::size_t kSteps = 8;

TEST(RunSourceDifferential, IndexAnswersAsTheFolderScanAfterEveryStep) {
    std::mt19937_64 random(kSeed);
    std::size_t steps = 0;
    std::size_t answers = 0;
    std::size_t dayAnswers = 0;
    for (int n = 0; n < kSequences; ++n) {
        const std::vector<testing::Op> ops =
            testing::randomSequence(random, kSteps, testing::allOpKinds());
        const testing::SequenceRun run = testing::runSequence(ops);
        steps += run.steps;
        answers += run.answersCompared;
        dayAnswers += run.dayAnswers;
        if (!run.agreed) {
            // The shortest sequence that still shows it, step by step.
            FAIL() << "sequence " << n << " of seed " << kSeed << ", shrunk:\n"
                   << testing::describeFailure(testing::shrinkSequence(ops));
        }
    }
    // Every sequence ran to its end, and the comparisons were made.
    EXPECT_EQ(steps, kSequences * kSteps);
    EXPECT_GT(answers, steps * 20);
    // The page's day queries were answered by the index itself, not only by the scan.
    EXPECT_GT(dayAnswers, steps);
}

}  // namespace
}  // namespace lapdex
