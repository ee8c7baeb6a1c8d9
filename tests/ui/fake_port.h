// Scripted EnginePort and Desktop for the main window's tests: record every command and
// message box, answer with prepared values.
#pragma once

#include <QStringList>
#include <deque>
#include <functional>

#include "desktop.h"
#include "engine_port.h"

namespace lapdex::ui::test {

class FakePort : public EnginePort {
  public:
    std::vector<std::string> titles;  // registered names in tab order
    std::map<std::string, int> battery;
    std::vector<MessageId> commands, locked, ticker;
    int notified = -1;
    int transfer = 0;
    bool sync = true;
    bool started = false, stopped = false, saved = false, keepImported = false;
    std::vector<std::pair<std::string, std::string>> renames;
    std::function<ProcedureOutcome(ProcedureUi&, const std::string&)> removal;
    std::function<ProcedureOutcome(ProcedureUi&)> import;
    int lockedWork = 0;

    FolderCheck folderCheck = FolderCheck::Writable;
    RunFileShortfall shortfall;

    std::string dataFolder() const override { return "/data/"; }
    FolderCheck checkDataFolder() override { return folderCheck; }
    RunFileShortfall runFileShortfall() override { return shortfall; }
    void loadConfiguration() override {}
    void start(NotificationSink&) override { started = true; }
    void stop() override { stopped = true; }
    void saveOnExit() override { saved = !keepImported; }
    void post(MessageId c) override { commands.push_back(c); }
    void postLocked(MessageId c) override { locked.push_back(c); }
    void postTicker(MessageId m) override { ticker.push_back(m); }
    int notifiedTab() const override { return notified; }
    int transferLength() const override { return transfer; }
    int newestRunDay() const override { return newestDay; }
    int newestDay = 0;
    std::vector<std::string> tabTitles() override { return titles; }
    int registeredCount() override { return int(titles.size()); }
    void mirrorTabs(const std::vector<std::string>& t) override {
        titles = t;
        if (titles.size() == 1 && titles[0].empty()) titles.clear();
    }
    int batteryLevel(const std::string& name) override {
        const auto it = battery.find(name);
        return it == battery.end() ? -1 : it->second;
    }
    int slotOf(const std::string& name) override {
        for (size_t i = 0; i < titles.size(); ++i) {
            if (titles[i] == name) return static_cast<int>(i);
        }
        return -1;
    }
    void withWorkerLock(const std::function<void()>& work) override {
        ++lockedWork;
        held = true;
        work();
        held = false;
    }
    bool workerLockHeldHere() const override { return held; }
    bool held = false;
    bool clockSync() override { return sync; }
    void setClockSync(bool on) override { sync = on; }
    void renameStopwatch(const std::string& o, const std::string& n) override {
        renames.emplace_back(o, n);
    }
    ProcedureOutcome exportData(ProcedureUi&) override { return ProcedureOutcome::Cancelled; }
    ProcedureOutcome importData(ProcedureUi& ui) override {
        return import ? import(ui) : ProcedureOutcome::Cancelled;
    }
    ProcedureOutcome removeStopwatchData(ProcedureUi& ui, const std::string& name) override {
        return removal ? removal(ui, name) : ProcedureOutcome::Cancelled;
    }
};

class FakeDesktop : public Desktop {
  public:
    QStringList shown;         // "kind: text" of every box, in order
    std::deque<bool> answers;  // for askYesNo / askOkCancel; default yes
    QStringList opened;

    bool askYesNo(QWidget*, const QString& t, DefaultAnswer) override {
        return answer("yesno: " + t);
    }
    bool askOkCancel(QWidget*, const QString& t) override { return answer("okcancel: " + t); }
    void showNotice(QWidget*, const QString& t) override { shown << "notice: " + t; }
    void showError(QWidget*, const QString& t) override { shown << "error: " + t; }
    void showErrorLater(QWidget*, const QString& t, std::function<void()> closed) override {
        shown << "error: " + t;
        if (closed) closed();
    }
    std::optional<QString> browseFolder(QWidget*, const QString&, bool) override {
        return std::nullopt;
    }
    void showNoticeWithFolder(QWidget*, const QString& t, const QString& folder) override {
        shown << "notice: " + t;
        folders << folder;
    }
    QStringList folders;  // of every notice with an "Open folder" button
    bool openDocument(const QString& path) override {
        opened << path;
        return opens;
    }
    bool opens = true;
    QString programFolder = "/program/";  // where the files shipped with the program lie
    QString programFile(const QString& name) const override { return programFolder + name; }
    // No trash: deletions delete.
    bool moveToTrash(const QString&) override { return false; }

  private:
    bool answer(const QString& record) {
        shown << record;
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

// The scripted engine over a real data folder, its stopwatches registered as `titles`.
class FolderPort : public FakePort {
  public:
    explicit FolderPort(std::string folder, std::vector<std::string> tabTitles = {})
        : folder_(std::move(folder)) {
        titles = std::move(tabTitles);
    }
    std::string dataFolder() const override { return folder_; }

  private:
    std::string folder_;
};

}  // namespace lapdex::ui::test
