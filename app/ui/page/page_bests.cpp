// Marks the runs of the listed day that set a personal best when they were run: a star beside
// the run list's line, whose text stays as it is.
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "c_user_dialog.h"
#include "page_texts.h"
#include "run_query_worker.h"

namespace lapdex::ui {
namespace {

QIcon bestMarkIcon() {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 5.8 : 2.4;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(6 + radius * std::cos(angle), 6 + radius * std::sin(angle));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    painter.fillPath(star, QColor(230, 170, 20));
    return QIcon(pixmap);
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void CUserDialog::markBestRuns() {
    if (!runIndex_ || !queries_) return;
    const std::string folderName = runIndex_->folderNameOf(host_.currentStopwatchFolder());
    if (folderName.empty()) return;
    // One question per stopwatch and change of its runs, not per day picked on the calendar.
    if (!bestRuns_ || bestRunsFolder_ != folderName) {
        if (bestRunsAsked_ != folderName) askBestRuns(folderName);
        return;
    }
    static const QIcon kMark = bestMarkIcon();
    const int lines = std::min(runList_->count(), static_cast<int>(runPaths_.size()));
    for (int i = 0; i < lines; ++i) {
        if (!bestRuns_->count(fileNameOf(runPaths_[static_cast<std::size_t>(i)]))) continue;
        runList_->item(i)->setIcon(kMark);
        runList_->item(i)->setData(kSetBestRole, true);
        // The star alone says nothing to a screen reader or to whoever does not know it.
        runList_->item(i)->setToolTip(ui::localized(page_text::kBestRunToolTip));
        runList_->item(i)->setData(Qt::AccessibleDescriptionRole,
                                   ui::localized(page_text::kBestRunToolTip));
    }
}

void CUserDialog::askBestRuns(const std::string& folderName) {
    bestRunsAsked_ = folderName;
    const quint64 asked = ++bestRunsGeneration_;
    queries_->ask<std::optional<std::set<std::string>>>(
        this, [folderName](WindowRunSource& source) { return source.runsThatSetBests(folderName); },
        [this, asked, folderName](std::optional<std::set<std::string>> setters) {
            if (asked != bestRunsGeneration_) return;
            bestRunsAsked_.clear();
            // Without an answer no run is marked, and none is asked for again until a change.
            bestRuns_ = setters.value_or(std::set<std::string>{});
            bestRunsFolder_ = folderName;
            markBestRuns();
        });
}

void CUserDialog::runFileChanged(const std::string& path) {
    if (queries_) {
        queries_->tell([path](WindowRunSource& source) {
            if (RunIndex* index = source.index()) index->fileChanged(path);
        });
    } else if (runIndex_) {
        runIndex_->fileChanged(path);
    }
}

void CUserDialog::forgetBestRuns() {
    bestRuns_.reset();
    bestRunsAsked_.clear();
    ++bestRunsGeneration_;
}

}  // namespace lapdex::ui
