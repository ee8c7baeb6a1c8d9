// The outcome of a test fixture's step: done, failed with a reason, or not possible here (skip).
#pragma once

#include <string>
#include <utility>

namespace testsupport {

// Outcome of a fixture step; `error` says what went wrong, for the test's message.
struct [[nodiscard]] FixtureResult {
    bool ok = true;
    std::string error;
    // The machine cannot run the fixture here (not root, a program not installed): the test
    // is skipped with `error` as the reason.
    bool skipped = false;
    explicit operator bool() const { return ok; }
    static FixtureResult failure(std::string text) { return FixtureResult{false, std::move(text)}; }
    static FixtureResult skip(std::string text) {
        return FixtureResult{false, std::move(text), true};
    }
};

}  // namespace testsupport
