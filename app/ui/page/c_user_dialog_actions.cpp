// The page's reactions to the user: calendar and run selection, All data, Delete and memo editing.
#include <QListWidget>
#include <QTreeWidget>

#include "c_user_dialog.h"
#include "memo_rewrite.h"
#include "month_calendar.h"
#include "page_texts.h"
#include "run_catalogue.h"
#include "run_index.h"

namespace lapdex::ui {

namespace {

std::string utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace

void CUserDialog::calendarSelectionChanged() {
    calendar_->setFocus(Qt::OtherFocusReason);
    pullValues();
    postPageMessage(PAGE_MARK_DAYS);
    clearPage();
    selectedRun_ = 0;
    showDay();
}

void CUserDialog::showRun(QDate day, const std::string& fileName) {
    if (!day.isValid()) return;
    calendar_->setSelectedDate(day);
    selectedDate_ = calendar_->selectedDate();
    postPageMessage(PAGE_MARK_DAYS);
    clearPage();
    selectedRun_ = 0;
    showDay();
    for (std::size_t k = 0; k < runPaths_.size(); ++k) {
        const std::string& path = runPaths_[k];
        const std::size_t at = path.size() - std::min(path.size(), fileName.size() + 1);
        if (path.compare(at, std::string::npos, "/" + fileName) == 0) {
            runList_->setCurrentRow(static_cast<int>(k));
            runList_->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void CUserDialog::runSelectionChanged() {
    const int previous = selectedRun_;
    pullValues();
    if (!runIndexValid() || selectedRun_ == previous) return;
    // The texts go too: a summary line without a memo cell must not keep the last run's memo.
    clearRunDetails();
    const bool read =
        readRunFile(fs_, runPaths_[static_cast<std::size_t>(selectedRun_)], -1, cells_);
    renderLaps();
    if (!read) {
        host_.pauseWorker();
        clearRunDetails();
        pushValues();
        host_.showError(
            utf8(ui::localized(page_text::kReadFailed).arg(content_.runLines.value(selectedRun_))));
        host_.resumeWorker();
        return;
    }
    pushValues();
}

void CUserDialog::openAllData() {
    // The worker keeps polling.
    host_.openWithDesktop(host_.currentStopwatchFolder());
}

void CUserDialog::deleteSelectedRun() {
    const int count = static_cast<int>(runPaths_.size());
    if (!runIndexValid() || runList_->count() == 0) return;
    host_.pauseWorker();
    const QString name = content_.runLines.value(selectedRun_);
    if (host_.askYesNo(utf8(ui::localized(page_text::kDeleteConfirm).arg(name)))) {
        FsStatus status;
        const std::string path = runPaths_[static_cast<std::size_t>(selectedRun_)];
        // To the desktop's trash where there is one, so a mistaken deletion can be undone.
        host_.withWorkerLock([&] {
            status =
                deleteRunFile(fs_, path, [this](const std::string& p) { return host_.discard(p); });
        });
        if (status.ok()) runFileChanged(path);
        if (status.ok()) {
            if (count == 1)
                selectedRun_ = -1;
            else if (selectedRun_ == count - 1)
                selectedRun_ -= 1;
            forgetBestRuns();  // the deleted run may have held a best
            clearPage();
            showDay();
            computeDayMasks();
            host_.runDeleted();
        } else {
            host_.showError(utf8(ui::localized(page_text::kDeleteFailed).arg(name)));
        }
    }
    host_.resumeWorker();
}

void CUserDialog::editLapMemo(int row) {
    if (row < 0 || row >= static_cast<int>(content_.laps.size()) || !runIndexValid()) return;
    host_.pauseWorker();
    lapMemo_->text = content_.laps[static_cast<std::size_t>(row)].memo;
    if (editAndSave(*lapMemo_, true, row)) {
        content_.laps[static_cast<std::size_t>(row)].memo = lapMemo_->text;
        if (QTreeWidgetItem* item = lapList_->topLevelItem(row)) item->setText(3, lapMemo_->text);
        renderChart();
    }
    host_.resumeWorker();
}

void CUserDialog::editRunMemo() {
    if (!content_.runLoaded || !runIndexValid()) return;
    host_.pauseWorker();
    runMemo_->text = content_.texts[kMemo];
    if (editAndSave(*runMemo_, false, 0)) content_.texts[kMemo] = runMemo_->text;
    host_.resumeWorker();
    pushValues();
}

bool CUserDialog::editAndSave(EditDialog& dialog, bool lapMemo, int lapIndex) {
    // A memo with characters the file cannot hold opens the dialog again with the typed text.
    while (runEditDialog(dialog) == kResultOk) {
        const SaveResult saved = saveMemo(dialog.text, lapMemo, lapIndex);
        if (saved != SaveResult::NotEncodable) return saved == SaveResult::Saved;
    }
    return false;
}

CUserDialog::SaveResult CUserDialog::saveMemo(const QString& memo, bool lapMemo, int lapIndex) {
    const std::string path = runPaths_[static_cast<std::size_t>(selectedRun_)];
    MemoRewriteResult result;
    host_.withWorkerLock([&] {
        result =
            rewriteMemo(fs_, path, utf8(memo), lapMemo ? MemoKind::Lap : MemoKind::Run, lapIndex);
    });
    if (result.status == MemoRewriteStatus::NotEncodable) {
        // Shift_JIS has no form for these characters; the file stays as it was.
        host_.showError(utf8(ui::localized(page_text::kMemoNotEncodable)
                                 .arg(QString::fromStdString(result.unencodable))));
        return SaveResult::NotEncodable;
    }
    if (!result.ok()) {
        host_.showError(utf8(ui::localized(page_text::kSaveFailed)));
        return SaveResult::Failed;
    }
    runFileChanged(path);
    return SaveResult::Saved;
}

}  // namespace lapdex::ui
