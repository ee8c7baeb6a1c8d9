// Helpers for the page tests: a temporary data folder with run files made by the store's
// writer, a scripted window, and a file system that checks the worker is paused and locked.
#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "c_user_dialog.h"
#include "file_system.h"
#include "memo_rewrite.h"
#include "message_event.h"
#include "month_calendar.h"
#include "page_host.h"
#include "run_file_writer.h"

namespace lapdex::ui::test {

inline constexpr const char* kSerial = "0123456789ab";

// A Clock run started at `date` `hour`:`minute`:`second` with `laps` laps of 1:10.50 plus
// the lap's number in hundredths.
inline RunRecord clockRun(QDate date, int hour, int minute, int second, int laps = 3) {
    RunRecord run;
    run.start = RunStart{date.year(), date.month(), date.day(), hour, minute, second};
    std::uint32_t elapsed = 0;
    for (int i = 1; i <= laps; ++i) {
        const std::uint32_t lapHundredths = 7050 + static_cast<std::uint32_t>(i);
        elapsed += lapHundredths;
        auto time = [](std::uint32_t h) {
            return RunTime{h / 360000, h / 6000 % 60, h / 100 % 60, h % 100, 0};
        };
        run.laps.push_back(LapEntry{i, time(lapHundredths), time(elapsed), {}});
    }
    run.lapCount = laps;
    run.total = run.laps.back().split;
    run.bestLapNumber = 1;
    run.bestLap = run.laps.front().lap;
    run.averageLap = run.laps.front().lap;
    return run;
}

// The window as the page sees it: slot 0 is the current stopwatch. Records what the page asks.
class ScriptedHost : public PageHost {
  public:
    explicit ScriptedHost(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}

    void pauseWorker() override {
        ++pauses;
        paused = true;
    }
    void resumeWorker() override {
        ++resumes;
        paused = false;
    }
    void withWorkerLock(const std::function<void()>& work) override {
        locked = true;
        work();
        locked = false;
    }
    std::string currentStopwatchFolder() override { return dataFolder_ + "QTM-01"; }
    int registeredCount() const override { return registered; }
    bool askYesNo(std::string_view text) override {
        questions.emplace_back(text);
        return answerYes;
    }
    void showError(std::string_view text) override {
        errors.emplace_back(text);
        errorsWhilePaused += paused ? 1 : 0;
    }
    void refreshBatteryNow() override { ++batteryRefreshes; }
    void openWithDesktop(const std::string& path) override { opened.push_back(path); }
    void runDeleted() override { ++runsDeleted; }
    bool discard(const std::string&) override { return false; }  // no trash

    int registered = 1;
    int runsDeleted = 0;
    bool answerYes = true;
    int pauses = 0, resumes = 0, batteryRefreshes = 0, errorsWhilePaused = 0;
    bool paused = false, locked = false;
    std::vector<std::string> questions, errors, opened;

  private:
    std::string dataFolder_;
};

// The real file system, counting reads per path and recording file changes made while the
// host was not both paused and locked.
class CheckingFileSystem : public PosixFileSystem {
  public:
    explicit CheckingFileSystem(const ScriptedHost* host = nullptr) : host_(host) {}

    FsBytes readFile(const std::string& path) override {
        ++reads[path];
        return PosixFileSystem::readFile(path);
    }
    FsStatus deleteFile(const std::string& path) override {
        check();
        return PosixFileSystem::deleteFile(path);
    }
    FsStatus renameReplace(const std::string& from, const std::string& to) override {
        check();
        return PosixFileSystem::renameReplace(from, to);
    }
    FsStatus copyFile(const std::string& from, const std::string& to, Existing existing) override {
        check();
        return PosixFileSystem::copyFile(from, to, existing);
    }
    void setHost(const ScriptedHost* host) { host_ = host; }
    // Folders listed in the opposite order, as another file system (tmpfs, ext4) may list them.
    FolderListing listFolder(const std::string& folder) override {
        return ordered(PosixFileSystem::listFolder(folder));
    }
    FolderListing findMatching(const std::string& folder, std::string_view pattern) override {
        return ordered(PosixFileSystem::findMatching(folder, pattern));
    }

    std::map<std::string, int> reads;
    bool reverseListings = false;
    int unguardedChanges = 0;

  private:
    FolderListing ordered(FolderListing listing) const {
        if (reverseListings) std::reverse(listing.entries.begin(), listing.entries.end());
        return listing;
    }
    void check() {
        if (host_ && !(host_->paused && host_->locked)) ++unguardedChanges;
    }
    const ScriptedHost* host_;
};

// A data folder with the stopwatch folder QTM-01.
class DataFolder {
  public:
    DataFolder() { (void)systemFileSystem().createFolder(folder()); }
    std::string path() const { return dir_.path().toStdString() + "/"; }
    std::string folder() const { return path() + "QTM-01"; }
    // Writes the run with the store's writer; returns its path.
    std::string write(const RunRecord& run) const {
        return writeRunFile(systemFileSystem(), path(), 0, kSerial, run).path;
    }
    bool valid() const { return dir_.isValid(); }

  private:
    QTemporaryDir dir_;
};

// One page over a fresh data folder, at 96 dots per inch in Japan, not yet initialised.
struct PageFixture {
    DataFolder data;
    ScriptedHost host{data.path()};
    CheckingFileSystem fs{&host};
    std::unique_ptr<CUserDialog> page =
        std::make_unique<CUserDialog>(nullptr, host, fs, ScreenFacts{96, true, true});
    int dialogsShown = 0;
    QString dialogTextOnOpen;

    // Edit dialogs answer OK with `typed` in their field, as if the user had typed or pasted it;
    // a dialog that opens again after that is cancelled.
    void answerDialogsWith(const QString& typed) { answerDialogsInTurn({typed}); }
    // One answer per opening, in turn; once they are used up every dialog is cancelled.
    void answerDialogsInTurn(const QStringList& typed) {
        answers = typed;
        page->runEditDialog = [this](EditDialog& dialog) {
            ++dialogsShown;
            dialogTextOnOpen = dialog.text;
            textsOnOpen << dialog.text;
            if (answers.isEmpty()) return int(kResultCancel);
            const QString next = answers.takeFirst();
            QWidget* field = dialog.control(EditDialog::kEditField);
            if (auto* line = qobject_cast<QLineEdit*>(field)) line->setText(next);
            if (auto* multi = qobject_cast<QPlainTextEdit*>(field)) multi->setPlainText(next);
            dialog.accept();
            return dialog.result();
        };
    }
    QStringList answers;
    QStringList textsOnOpen;

    // The user picks `date` on the calendar, with `firstMonth` shown on the left.
    void pickDay(QDate date, QDate firstMonth) {
        page->calendar()->setSelectedDate(date.addDays(-1));
        page->calendar()->showMonths(firstMonth);
        QTest::keyClick(page->calendar(), Qt::Key_Right);
        QCoreApplication::sendPostedEvents(page.get());
    }
    void pickDay(QDate date) { pickDay(date, monthStart(date)); }

    // Index in the run list of the run that started at hh:mm:ss.
    int runIndexOf(const QString& time) const {
        const QStringList& lines = page->content().runLines;
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].endsWith(time)) return i;
        return -1;
    }
};

}  // namespace lapdex::ui::test
