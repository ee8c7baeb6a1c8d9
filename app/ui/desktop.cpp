#include "desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include "dialog_texts.h"
#include "ui_text.h"

namespace lapdex::ui {

namespace {

// Where the folder chooser's last folder is kept (the language choice uses the same file).
const QString kSettingsOrganisation = QStringLiteral("Lapdex");
const QString kSettingsApplication = QStringLiteral("Lapdex");
const QString kLastFolderKey = QStringLiteral("folders/lastChosen");

int runBox(QWidget* owner, QMessageBox::Icon icon, const QString& text,
           QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    QMessageBox box(icon, kBoxTitle, text, buttons, owner);
    box.setFont(owner ? owner->font() : box.font());
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return box.exec();
}

}  // namespace

bool QtDesktop::askYesNo(QWidget* owner, const QString& text, DefaultAnswer answer) {
    const auto preset = answer == DefaultAnswer::No ? QMessageBox::No : QMessageBox::Yes;
    return runBox(owner, QMessageBox::Information, text, QMessageBox::Yes | QMessageBox::No,
                  preset) == QMessageBox::Yes;
}

bool QtDesktop::askOkCancel(QWidget* owner, const QString& text) {
    return runBox(owner, QMessageBox::Information, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

void QtDesktop::showNotice(QWidget* owner, const QString& text) {
    runBox(owner, QMessageBox::Information, text, QMessageBox::Ok);
}

void QtDesktop::showError(QWidget* owner, const QString& text) {
    runBox(owner, QMessageBox::Critical, text, QMessageBox::Ok);
}

void QtDesktop::showErrorLater(QWidget* owner, const QString& text, std::function<void()> closed) {
    auto* box = new QMessageBox(QMessageBox::Critical, kBoxTitle, text, QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (closed)
        QObject::connect(box, &QMessageBox::finished, box,
                         [closed = std::move(closed)] { closed(); });
    box->open();
}

std::optional<QString> QtDesktop::browseFolder(QWidget* owner, const QString& title,
                                               bool newFolderButton) {
    // Qt's own dialog: the platform's may not offer hiding the new-folder button.
    QFileDialog::Options options = QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog;
    if (!newFolderButton) options |= QFileDialog::ReadOnly;
    // A start folder that does not exist would be typed in as a name the dialog cannot choose.
    QSettings settings(kSettingsOrganisation, kSettingsApplication);
    QString start = settings.value(kLastFolderKey).toString();
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (start.isEmpty() || !QFileInfo(start).isDir()) start = QDir::homePath();
    const QString folder = QFileDialog::getExistingDirectory(owner, title, start, options);
    if (folder.isEmpty()) return std::nullopt;
    settings.setValue(kLastFolderKey, folder);
    return folder;
}

void QtDesktop::showNoticeWithFolder(QWidget* owner, const QString& text, const QString& folder) {
    QMessageBox box(QMessageBox::Information, kBoxTitle, text, QMessageBox::Ok, owner);
    box.setFont(owner ? owner->font() : box.font());
    QPushButton* open =
        box.addButton(ui::localized(dialog_text::kOpenFolder), QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (box.clickedButton() == open) (void)QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool QtDesktop::openDocument(const QString& path) {
    // Without a registered viewer Qt only complains on stderr; the caller tells the user instead.
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString QtDesktop::programFile(const QString& name) const {
    const QDir folder(QCoreApplication::applicationDirPath());
    const QString beside = folder.filePath(name);
    if (QFileInfo::exists(beside)) return beside;
    const QString installed = folder.filePath(QStringLiteral("../share/doc/lapdex/") + name);
    return QFileInfo::exists(installed) ? QDir::cleanPath(installed) : beside;
}

bool QtDesktop::moveToTrash(const QString& path) {
    return QFile::moveToTrash(path);
}

}  // namespace lapdex::ui
