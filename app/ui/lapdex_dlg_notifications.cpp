// The main window's reactions to the worker's and the ticker's notifications.
#include <QPushButton>

#include "lapdex_dlg.h"
#include "main_window_texts.h"
#include "message_event.h"
#include "status_dialogs.h"

namespace lapdex::ui {

namespace {

QString runFileErrorText(const RunFileShortfall& shortfall) {
    const QString folder = QString::fromStdString(shortfall.folder);
    if (shortfall.unsaved >= shortfall.total)
        return ui::localized(main_text::kRunFileErrorAll).arg(shortfall.total).arg(folder);
    return ui::localized(main_text::kRunFileErrorSome)
        .arg(shortfall.total)
        .arg(shortfall.unsaved)
        .arg(folder);
}

}  // namespace

void CLapdexDlg::customEvent(QEvent* event) {
    if (event->type() == MessageEvent::eventType())
        handleNotification(static_cast<MessageEvent*>(event)->id());
}

void CLapdexDlg::handleNotification(MessageId id) {
    switch (id) {
        case NTF_BATTERY:
            refreshBattery();
            break;
        case NTF_STOPWATCH_FOUND:
            closeStatusAsOk(touch_);
            break;
        case NTF_DOWNLOAD_DONE:
            // The worker posts this after it has written the run files and the index has them.
            emit runsDownloaded();
            // Whichever way the dialog ends, and also when it is already shown.
            if (!readEnd_.shown) {
                // A best set by the download is news the coach should meet at once.
                if (auto* readEnd = qobject_cast<CReadEndDlg*>(readEnd_.dialog))
                    readEnd->showBests(port_.downloadBests());
                showStatus(readEnd_, [this](int) { finishExchange(Exchange::Download); });
            } else
                finishExchange(Exchange::Download);
            break;
        case NTF_DOWNLOAD_DONE_GONE:
            closeStatusAsOk(readEnd_);
            break;
        case NTF_CLEAR_DONE:
            if (!clearEnd_.shown)
                showStatus(clearEnd_, [this](int r) {
                    if (r != kResultDismissed) finishExchange(Exchange::Clear);
                });
            break;
        case NTF_CLEAR_DONE_GONE:
            closeStatusAsOk(clearEnd_);
            break;
        case NTF_NO_DATA:
            if (!noData_.shown)
                showStatus(noData_, [this](int r) {
                    if (r != kResultDismissed) finishExchange();
                });
            break;
        case NTF_NO_DATA_GONE:
            closeStatusAsOk(noData_);
            break;
        case NTF_TRANSFER_START:
            openProgress();
            break;
        case NTF_PROGRESS_TICK:
            advanceProgress();
            break;
        case NTF_TRANSFER_END:
            closeProgress();
            break;
        case NTF_COMM_ERROR:
        case NTF_REGISTRY_FULL: {
            StatusSlot& slot = id == NTF_COMM_ERROR ? transErr_ : userFull_;
            if (!slot.shown)
                showStatus(slot, [this](int r) {
                    if (r != kResultDismissed) resumeWorker();
                });
            break;
        }
        case NTF_RUN_FILE_ERROR:
            desktop_.showErrorLater(this, runFileErrorText(port_.runFileShortfall()));
            break;
        // The worker waits until the user has read why nothing was erased.
        case NTF_CLEAR_KEPT:
            desktop_.showErrorLater(this, ui::localized(main_text::kClearKept),
                                    [this] { resumeWorker(); });
            break;
        case NTF_TAB_ADDED:
            syncTabsFromModel();
            break;
        case NTF_COMMAND_ACK:
            dismissStatusDialogs();
            break;
        default:
            break;
    }
}

void CLapdexDlg::showStatus(StatusSlot& slot, std::function<void(int)> ended) {
    // Shown flag up while the dialog runs; the reaction continues when it ends.
    slot.shown = true;
    connect(
        slot.dialog, &QDialog::finished, this,
        [&slot, ended = std::move(ended)](int result) {
            slot.shown = false;
            ended(result);
        },
        Qt::SingleShotConnection);
    slot.dialog->open();
}

void CLapdexDlg::closeStatusAsOk(StatusSlot& slot) {
    if (slot.shown) slot.dialog->closeAsOk();
}

void CLapdexDlg::finishExchange(Exchange exchange) {
    resumeWorker();
    selectNotifiedTab();
    // The user wants to see what was just downloaded (a clear saves the runs it finds first),
    // which may lie in any month.
    if (const int day = port_.newestRunDay(); exchange != Exchange::Other && day > 0)
        page_->selectDay(QDate(day / 10000, day / 100 % 100, day % 100));
    postToPage(PAGE_DATA_CHANGED);
}

void CLapdexDlg::selectNotifiedTab() {
    const int tab = port_.notifiedTab();
    if (tab < 0 || tab >= tabs_->tabBar()->count()) return;
    selectTabSilently(tab);
    currentTab_ = tab;
}

void CLapdexDlg::dismissStatusDialogs() {
    // The worker has moved on: close what no longer applies, in this order. The touch
    // prompt and the progress dialog stay.
    for (StatusSlot* slot : {&noData_, &readEnd_, &clearEnd_, &transErr_, &userFull_})
        if (slot->shown) slot->dialog->dismiss();
}

void CLapdexDlg::openProgress() {
    if (progressShown_) return;
    exit_->setEnabled(false);
    closeEnabled_ = false;
    progressPosition_ = 0;
    progress_->startTransfer(port_.transferLength());
    progress_->centreOverOwner();
    progress_->show();
    progressShown_ = true;
    port_.postTicker(TICK_START);
}

void CLapdexDlg::advanceProgress() {
    if (!progressShown_) return;
    progressPosition_ += 1;
    progress_->advance();
}

void CLapdexDlg::closeProgress() {
    if (progressShown_) {
        progress_->hide();
        progressShown_ = false;
        exit_->setEnabled(true);
        closeEnabled_ = true;
    }
    port_.postTicker(TICK_STOP);
}

}  // namespace lapdex::ui
