// Adding, labelling and removing club folders.
#include "club_folders_dlg.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "club_link.h"
#include "club_texts.h"

namespace lapdex::ui {
namespace {

enum Column { kLabel, kFolder };

// One spelling of a folder, whatever links or trailing '/' led to it.
QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(path) : resolved;
}

}  // namespace

ClubFoldersDlg::ClubFoldersDlg(ClubLink& link, QWidget* parent)
    : QDialog(parent), link_(link), folders_(link.folders()) {
    auto* layout = new QVBoxLayout(this);
    intro_ = new QLabel(this);
    intro_->setWordWrap(true);
    layout->addWidget(intro_);
    table_ = new QTableWidget(0, 2, this);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    auto* row = new QHBoxLayout;
    row->addWidget(table_, 1);
    auto* side = new QVBoxLayout;
    add_ = new QPushButton(this);
    edit_ = new QPushButton(this);
    remove_ = new QPushButton(this);
    for (QPushButton* button : {add_, edit_, remove_}) {
        button->setAutoDefault(false);
        side->addWidget(button);
    }
    side->addStretch(1);
    row->addLayout(side);
    layout->addLayout(row, 1);
    auto* own = new QHBoxLayout;
    ownLabelName_ = new QLabel(this);
    ownLabel_ = new QLineEdit(this);
    ownLabelName_->setBuddy(ownLabel_);
    ownLabel_->setText(link.ownLabel());
    own->addWidget(ownLabelName_);
    own->addWidget(ownLabel_, 1);
    layout->addLayout(own);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &ClubFoldersDlg::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &ClubFoldersDlg::reject);
    connect(add_, &QPushButton::clicked, this, &ClubFoldersDlg::addFolder);
    connect(edit_, &QPushButton::clicked, this, &ClubFoldersDlg::editLabel);
    connect(remove_, &QPushButton::clicked, this, &ClubFoldersDlg::removeFolder);
    connect(table_, &QTableWidget::itemChanged, this, &ClubFoldersDlg::labelEdited);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &ClubFoldersDlg::selectionChanged);
    fillTable();
    applyTexts();
    resize(620, 360);
}

void ClubFoldersDlg::fillTable() {
    filling_ = true;
    table_->setRowCount(static_cast<int>(folders_.size()));
    for (int i = 0; i < table_->rowCount(); ++i) {
        const ClubFolder& folder = folders_[static_cast<std::size_t>(i)];
        table_->setItem(i, kLabel, new QTableWidgetItem(QString::fromStdString(folder.label)));
        auto* path = new QTableWidgetItem(QString::fromStdString(folder.path));
        path->setFlags(path->flags() & ~Qt::ItemIsEditable);
        table_->setItem(i, kFolder, path);
    }
    filling_ = false;
    selectionChanged();
}

void ClubFoldersDlg::selectionChanged() {
    const bool chosen = table_->currentRow() >= 0 && !table_->selectedItems().isEmpty();
    edit_->setEnabled(chosen);
    remove_->setEnabled(chosen);
}

std::optional<QString> ClubFoldersDlg::refusal(const QString& path) const {
    const QString folder = canonical(path);
    if (folder == canonical(QString::fromStdString(link_.ownDataFolder())))
        return localized(club_text::kOwnFolderRefused).arg(path);
    for (const ClubFolder& listed : folders_) {
        if (canonical(QString::fromStdString(listed.path)) == folder)
            return localized(club_text::kAlreadyListed)
                .arg(path, QString::fromStdString(listed.label));
    }
    if (!QFileInfo(folder + QStringLiteral("/Lapdex.dat")).isFile())
        return localized(club_text::kNoLapdexDat).arg(path);
    return std::nullopt;
}

void ClubFoldersDlg::addFolder() {
    // Qt's own chooser, read-only: nothing is ever created in or beside a club folder.
    const QString start = folders_.empty()
                              ? QDir::homePath()
                              : QFileInfo(QString::fromStdString(folders_.back().path)).path();
    const QString path = QFileDialog::getExistingDirectory(
        this, localized(club_text::kChooseFolder), start,
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
    if (!path.isEmpty()) (void)addPath(path);
}

bool ClubFoldersDlg::addPath(const QString& path) {
    if (const std::optional<QString> why = refusal(path)) {
        QMessageBox::warning(this, localized(club_text::kDialogTitle), *why);
        return false;
    }
    const std::string folder = QDir::cleanPath(path).toStdString() + "/";
    std::string label = defaultClubLabel(folder);
    // Rows are told apart by label, as the settings keep them.
    const std::string base = label;
    for (int n = 2; std::any_of(folders_.begin(), folders_.end(),
                                [&](const ClubFolder& f) { return f.label == label; });
         ++n)
        label = base + " (" + std::to_string(n) + ")";
    folders_.push_back({folder, label});
    fillTable();
    table_->selectRow(table_->rowCount() - 1);
    return true;
}

void ClubFoldersDlg::editLabel() {
    const int row = table_->currentRow();
    if (row < 0) return;
    table_->setFocus();
    table_->editItem(table_->item(row, kLabel));
}

void ClubFoldersDlg::labelEdited(QTableWidgetItem* item) {
    if (filling_ || item->column() != kLabel) return;
    ClubFolder& folder = folders_[static_cast<std::size_t>(item->row())];
    std::string label = item->text().trimmed().toStdString();
    if (label.empty()) label = defaultClubLabel(folder.path);
    const bool taken = std::any_of(folders_.begin(), folders_.end(), [&](const ClubFolder& f) {
        return &f != &folder && f.label == label;
    });
    if (taken)
        QMessageBox::warning(this, localized(club_text::kDialogTitle),
                             localized(club_text::kLabelTaken).arg(QString::fromStdString(label)));
    else
        folder.label = label;
    filling_ = true;
    item->setText(QString::fromStdString(folder.label));
    filling_ = false;
}

void ClubFoldersDlg::removeFolder() {
    const int row = table_->currentRow();
    if (row < 0 || row >= static_cast<int>(folders_.size())) return;
    folders_.erase(folders_.begin() + row);
    fillTable();
}

void ClubFoldersDlg::accept() {
    link_.save(folders_, ownLabel_->text());
    QDialog::accept();
}

void ClubFoldersDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) applyTexts();
    QDialog::changeEvent(event);
}

void ClubFoldersDlg::applyTexts() {
    setWindowTitle(localized(club_text::kDialogTitle));
    intro_->setText(localized(club_text::kIntro));
    table_->setHorizontalHeaderLabels(
        {localized(club_text::kLabelHeader), localized(club_text::kFolderHeader)});
    add_->setText(localized(club_text::kAdd));
    edit_->setText(localized(club_text::kEditLabel));
    remove_->setText(localized(club_text::kRemove));
    ownLabelName_->setText(localized(club_text::kOwnLabel));
    ownLabel_->setPlaceholderText(localized(club_text::kThisPc));
}

}  // namespace lapdex::ui
