// The Roster window.
#include "c_roster_dlg.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace lapdex::ui {

CRosterDlg::CRosterDlg(RunIndex* index, QWidget* parent)
    : QDialog(parent), index_(index), model_(new RosterModel(this)) {
    setWindowTitle(QStringLiteral("ストップウオッチ一覧"));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableView(this);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    status_ = new QLabel(this);
    layout->addWidget(status_);
    resize(1120, 360);
    retry_.setSingleShot(true);
    retry_.setInterval(500);
    connect(&retry_, &QTimer::timeout, this, &CRosterDlg::refresh);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& at) {
        if (at.isValid())
            emit stopwatchActivated(
                QString::fromStdString(model_->entry(at.row()).stopwatch.tabName));
    });
}

void CRosterDlg::showEvent(QShowEvent* event) {
    refresh();
    QDialog::showEvent(event);
}

void CRosterDlg::refresh() {
    const auto roster = index_ ? index_->roster() : std::nullopt;
    if (!roster) {
        status_->setText(index_ ? QStringLiteral("走行の索引を準備しています…")
                                : QStringLiteral("走行の索引を開けません"));
        if (index_) retry_.start();
        return;
    }
    model_->setEntries(roster->entries);
    table_->resizeColumnsToContents();
    QString text = QStringLiteral("%1 台").arg(roster->entries.size());
    if (!roster->damagedHistoryLines.empty()) {
        QStringList lines;
        for (int line : roster->damagedHistoryLines) lines << QString::number(line);
        text += QStringLiteral("　History.csv の壊れた行を読み飛ばしました: %1")
                    .arg(lines.join(QStringLiteral(", ")));
    }
    status_->setText(text);
}

}  // namespace lapdex::ui
