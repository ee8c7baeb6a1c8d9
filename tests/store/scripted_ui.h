// A ProcedureUi that answers from a script and records what the procedures asked and showed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data_procedures.h"

namespace lapdex::testing {

class ScriptedUi : public ProcedureUi {
public:
    std::optional<std::string> folder;  // the browser's answer
    bool answerYes = true;
    bool answerOk = true;

    std::vector<std::string> questions;
    std::vector<std::string> notices;
    std::vector<std::string> errors;
    std::vector<std::string> browseTitles;
    std::vector<int> removedSlots;
    int pauseDepth = 0;
    int pauses = 0;
    int lockedChanges = 0;
    bool closed = false;
    // Set when the user was asked or told anything while the worker lock was held.
    bool dialogUnderLock = false;

    void pauseWorker() override {
        ++pauseDepth;
        ++pauses;
    }
    void resumeWorker() override { --pauseDepth; }
    void withWorkerLock(const std::function<void()>& work) override {
        ++lockedChanges;
        inLock_ = true;
        work();
        inLock_ = false;
    }
    std::optional<std::string> browseFolder(std::string_view title, NewFolderButton) override {
        dialog();
        browseTitles.emplace_back(title);
        return folder;
    }
    bool askYesNo(std::string_view text) override {
        dialog();
        questions.emplace_back(text);
        return answerYes;
    }
    bool askOkCancel(std::string_view text) override {
        dialog();
        questions.emplace_back(text);
        return answerOk;
    }
    void showNotice(std::string_view text) override {
        dialog();
        notices.emplace_back(text);
    }
    void showError(std::string_view text) override {
        dialog();
        errors.emplace_back(text);
    }
    void closeMainWindow() override { closed = true; }
    void stopwatchRemoved(int slotIndex) override {
        dialog();  // the window reloads its page and takes the lock for its tab model
        removedSlots.push_back(slotIndex);
    }

  private:
    void dialog() { dialogUnderLock = dialogUnderLock || inLock_; }
    bool inLock_ = false;
};

// A clock stopped at one moment.
class FixedClock : public LocalClock {
public:
    explicit FixedClock(std::tm at) : at_(at) {}
    std::tm localNow() const override { return at_; }

private:
    std::tm at_;
};

inline std::tm march14At093015() {
    std::tm t{};
    t.tm_year = 2015 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 14;
    t.tm_hour = 9;
    t.tm_min = 30;
    t.tm_sec = 15;
    return t;
}

}  // namespace lapdex::testing
