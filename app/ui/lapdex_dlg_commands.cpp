// The main window's commands: Reload, Clear, Help, Version, Rename, Delete, Export, Import.
#include <QFileInfo>
#include <QSignalBlocker>

#include "lapdex_dlg.h"
#include "main_window_texts.h"
#include "message_event.h"
#include "run_catalogue.h"

namespace lapdex::ui {

namespace {

const QString kManual = QStringLiteral("Manual_Lapdex.pdf");
const QString kEnglishManual = QStringLiteral("Manual_Lapdex_en.pdf");

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The manual in the language shown; the Japanese one where the English one was not shipped.
QString manualFile(const Desktop& desktop) {
    if (texts::currentLanguage() == texts::Language::English) {
        const QString english = desktop.programFile(kEnglishManual);
        if (QFileInfo::exists(english)) return english;
    }
    return desktop.programFile(kManual);
}

}  // namespace

void CLapdexDlg::runCommand(int id) {
    switch (id) {
        case kCmdReload:
            reload();
            break;
        case kCmdClear:
            clearStopwatch();
            break;
        case kCmdHelp:
            help();
            break;
        case kCmdVersion:
            version();
            break;
        case kCmdRename:
            rename();
            break;
        case kCmdDelete:
            removeStopwatch();
            break;
        case kCmdExport:
            exportData();
            break;
        case kCmdImport:
            importData();
            break;
        default:
            break;
    }
}

void CLapdexDlg::pauseWorker() {
    port_.post(CMD_PAUSE);
}

void CLapdexDlg::withWorkerLock(const std::function<void()>& work) {
    port_.withWorkerLock(work);
}

std::string CLapdexDlg::currentStopwatchFolder() {
    return selectedStopwatchFolder(port_.dataFolder(),
                                   port_.slotOf(currentTabName().toStdString()));
}

void CLapdexDlg::resumeWorker() {
    port_.post(CMD_DOWNLOAD_NEW);
}

void CLapdexDlg::promptForTouch() {
    // Ends with OK when the stopwatch is found (the worker goes on) or Cancel.
    if (touch_.shown) return;
    showStatus(touch_, [this](int r) {
        if (r == kResultCancel) resumeWorker();
    });
}

void CLapdexDlg::reload() {
    port_.postLocked(CMD_DOWNLOAD_ALL);
    promptForTouch();
}

void CLapdexDlg::clearStopwatch() {
    pauseWorker();
    if (!desktop_.askYesNo(this, ui::localized(main_text::kClearConfirm), DefaultAnswer::No)) {
        resumeWorker();
        return;
    }
    port_.postLocked(CMD_CLEAR);
    promptForTouch();
}

void CLapdexDlg::help() {
    openWithDesktop(manualFile(desktop_).toStdString());
}

void CLapdexDlg::openWithDesktop(const std::string& path) {
    const QString where = QString::fromStdString(path);
    if (!desktop_.openDocument(where))
        desktop_.showNotice(this, ui::localized(main_text::kCannotOpen).arg(where));
}

void CLapdexDlg::version() {
    pauseWorker();
    about_->exec();
    resumeWorker();
}

void CLapdexDlg::rename() {
    const QString old = tabs_->tabBar()->tabText(contextTab_);
    rename_->text = old;
    pauseWorker();
    while (rename_->exec() == kResultOk) {
        // Lapdex.dat drops blanks around a value when it is read back: a name keeps none, so
        // "Run " can never turn into another tab's "Run" after a restart.
        const QString name = rename_->text.trimmed();
        if (name.isEmpty()) {
            desktop_.showNotice(this, ui::localized(main_text::kEmptyName));
            continue;  // reopens with what was typed
        }
        bool taken = false;
        for (int i = 0; i < registeredCount_ && !taken; ++i)
            taken = i != contextTab_ && tabs_->tabBar()->tabText(i).trimmed() == name;
        if (taken) {
            desktop_.showNotice(this, ui::localized(main_text::kDuplicateName));
            continue;  // reopens with the rejected name
        }
        tabs_->tabBar()->setTabText(contextTab_, name);
        port_.renameStopwatch(old.toStdString(), name.toStdString());
        mirrorTabs();
        emit runsChanged();
        break;
    }
    resumeWorker();
}

void CLapdexDlg::removeStopwatch() {
    const std::string name = tabs_->tabBar()->tabText(contextTab_).toStdString();
    if (port_.removeStopwatchData(*this, name) == ProcedureOutcome::Done) emit runsChanged();
}

void CLapdexDlg::stopwatchRemoved(int) {
    const int count = registeredCount_;
    QTabBar* bar = tabs_->tabBar();
    {
        QSignalBlocker block(bar);
        if (count == 1) {
            bar->setTabText(currentTab_, QString());  // now the placeholder tab
        } else {
            bar->removeTab(contextTab_);
            if (currentTab_ == contextTab_ && currentTab_ == count - 1)
                currentTab_ -= 1;
            else if (currentTab_ > contextTab_)
                currentTab_ -= 1;
            bar->setCurrentIndex(currentTab_);
        }
    }
    if (contextTab_ >= bar->count()) contextTab_ = bar->count() - 1;
    registeredCount_ = count - 1;
    mirrorTabs();
    page_->clearPage();
    page_->showDay();
    page_->computeDayMasks();
    refreshBattery();
}

bool CLapdexDlg::discard(const std::string& path) {
    return desktop_.moveToTrash(QString::fromStdString(path));
}

void CLapdexDlg::exportData() {
    (void)port_.exportData(*this);
}

void CLapdexDlg::importData() {
    (void)port_.importData(*this);
}

std::optional<std::string> CLapdexDlg::browseFolder(std::string_view title,
                                                    NewFolderButton button) {
    const auto folder =
        desktop_.browseFolder(this, fromUtf8(title), button == NewFolderButton::Shown);
    if (!folder) return std::nullopt;
    return folder->toStdString();
}

bool CLapdexDlg::askYesNo(std::string_view text) {
    return desktop_.askYesNo(this, fromUtf8(text));
}

bool CLapdexDlg::askOkCancel(std::string_view text) {
    return desktop_.askOkCancel(this, fromUtf8(text));
}

void CLapdexDlg::showNotice(std::string_view text) {
    desktop_.showNotice(this, fromUtf8(text));
}

void CLapdexDlg::showError(std::string_view text) {
    desktop_.showError(this, fromUtf8(text));
}

void CLapdexDlg::closeMainWindow() {
    // Ends the program even while a transfer had disabled the close box.
    done(kResultCancel);
}

}  // namespace lapdex::ui
