// The All runs window's choices: the stopwatches, groups and PCs to search, and what the table's
// context menu offers for a run.
#include <QAction>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>

#include "c_all_runs_dlg.h"
#include "club_texts.h"
#include "run_texts.h"

namespace lapdex::ui {

void CAllRunsDlg::addRunActions() {
    // The context menu lists the table's actions: Copy, then these.
    table_->setContextMenuPolicy(Qt::ActionsContextMenu);
    openAction_ = new QAction(table_);
    pcAction_ = new QAction(table_);
    // It only says whose data folder holds the run.
    pcAction_->setEnabled(false);
    table_->addAction(openAction_);
    table_->addAction(pcAction_);
    connect(openAction_, &QAction::triggered, this, [this] {
        const QModelIndex at = table_->currentIndex();
        if (at.isValid()) emit runActivated(model_->run(at.row()));
    });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &CAllRunsDlg::showRunActions);
    connect(model_, &QAbstractItemModel::modelReset, this, &CAllRunsDlg::showRunActions);
    showRunActions();
}

void CAllRunsDlg::showRunActions() {
    const QModelIndex at = table_->currentIndex();
    openAction_->setText(ui::localized(club_text::kOpenRun));
    openAction_->setEnabled(at.isValid());
    pcAction_->setVisible(at.isValid());
    if (at.isValid())
        pcAction_->setText(ui::localized(club_text::kRunOfPc)
                               .arg(model_->index(at.row(), RunTableModel::kPc).data().toString()));
}

void CAllRunsDlg::fillStopwatches(Names names) {
    using Known = std::pair<std::optional<std::vector<RunStopwatch>>, StopwatchGroups>;
    queries_.ask<Known>(
        this,
        [](WindowRunSource& source) {
            return Known{source.registeredStopwatches(), source.groups()};
        },
        [this, names](Known known) {
            QStringList shown;
            for (int i = 1; i < stopwatch_->count(); ++i)
                shown << stopwatch_->itemData(i).toString() + u'=' + stopwatch_->itemText(i);
            stopwatches_ = known.first.value_or(std::vector<RunStopwatch>{});
            groups_ = std::move(known.second);
            fillStopwatchChoice();
            QStringList now;
            for (int i = 1; i < stopwatch_->count(); ++i)
                now << stopwatch_->itemData(i).toString() + u'=' + stopwatch_->itemText(i);
            // The rows carry the names too: they are asked for again when a name changed.
            if (names == Names::RefreshWhenChanged && now != shown) refresh();
        });
}

void CAllRunsDlg::fillStopwatchChoice() {
    const QString chosen = stopwatch_->currentData().toString();
    const QString chosenPc = stopwatch_->currentData(kPcRole).toString();
    const std::optional<std::string> pc = this->chosenPc();
    QSignalBlocker block(stopwatch_);
    stopwatch_->clear();
    stopwatch_->addItem(ui::localized(run_text::kEvery), QString());
    std::vector<RunStopwatch> own;
    for (const RunStopwatch& s : stopwatches_) {
        if (s.pc.empty()) own.push_back(s);
        if (pc && s.pc != *pc) continue;
        // Another PC's stopwatch may bear the same name as one of this PC's.
        const QString name = QString::fromStdString(s.tabName);
        stopwatch_->addItem(
            s.pc.empty()
                ? name
                : ui::localized(run_text::kStopwatchOfPc).arg(name, QString::fromStdString(s.pc)),
            QString::fromStdString(s.folderName));
        stopwatch_->setItemData(stopwatch_->count() - 1, QString::fromStdString(s.pc), kPcRole);
    }
    // Then this PC's groups that hold a registered stopwatch: choosing one searches its
    // stopwatches.
    groupFolders_.clear();
    const bool ownChosen = !pc || pc->empty();
    for (const std::string& group : groups_.names()) {
        if (!ownChosen) break;
        std::vector<std::string> folders = foldersOfGroup(groups_, own, group);
        if (folders.empty()) continue;
        const QString key = kGroupKey + QString::fromStdString(group);
        groupFolders_[key] = std::move(folders);
        stopwatch_->addItem(ui::localized(run_text::kGroupItem).arg(QString::fromStdString(group)),
                            key);
    }
    int index = 0;
    for (int i = 1; i < stopwatch_->count() && index == 0; ++i)
        if (stopwatch_->itemData(i).toString() == chosen &&
            stopwatch_->itemData(i, kPcRole).toString() == chosenPc)
            index = i;
    stopwatch_->setCurrentIndex(index);
}

void CAllRunsDlg::setClub(const QString& ownLabel, const std::vector<std::string>& clubLabels) {
    model_->setOwnPcLabel(ownLabel);
    clubLabels_ = clubLabels;
    fillPcs();
    fillStopwatchChoice();
}

void CAllRunsDlg::fillPcs() {
    const QVariant chosen = pc_->currentData();
    QSignalBlocker block(pc_);
    pc_->clear();
    pc_->addItem(ui::localized(run_text::kEvery));
    const QString own = model_->ownPcLabel();
    pc_->addItem(own.isEmpty() ? ui::localized(club_text::kThisPc) : own, QString::fromLatin1(""));
    for (const std::string& label : clubLabels_)
        pc_->addItem(QString::fromStdString(label), QString::fromStdString(label));
    pc_->setCurrentIndex(std::max(0, chosen.isValid() ? pc_->findData(chosen) : 0));
    pc_->setVisible(!clubLabels_.empty());
    pcLabel_->setVisible(!clubLabels_.empty());
}

std::optional<std::string> CAllRunsDlg::chosenPc() const {
    const QVariant pc = pc_->currentData();
    if (!pc.isValid()) return std::nullopt;
    return pc.toString().toStdString();
}

}  // namespace lapdex::ui
