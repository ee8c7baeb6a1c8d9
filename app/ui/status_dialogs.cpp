#include "status_dialogs.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "dialog_texts.h"
#include "lapdex_version.h"

namespace lapdex::ui {

namespace {
constexpr int kProgressBar = 1018;
constexpr int kBytesPerTick = 192;
}  // namespace

CDownloadDlg::CDownloadDlg(QWidget* owner, Language language)
    : TemplateDialog(QStringLiteral("download"), owner, language) {
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

void CDownloadDlg::startTransfer(int transferLength) {
    auto* bar = qobject_cast<QProgressBar*>(control(kProgressBar));
    bar->setRange(0, std::max(1, transferLength / kBytesPerTick));
    bar->setValue(0);
}

void CDownloadDlg::advance() {
    auto* bar = qobject_cast<QProgressBar*>(control(kProgressBar));
    bar->setValue(std::min(bar->value() + 1, bar->maximum()));
}

int CDownloadDlg::position() const {
    return qobject_cast<QProgressBar*>(control(kProgressBar))->value();
}

int CDownloadDlg::maximum() const {
    return qobject_cast<QProgressBar*>(control(kProgressBar))->maximum();
}

void CDownloadDlg::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

void CDownloadDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}

QString CAboutBox::versionText() {
    if (LAPDEX_VERSION_PATCH == 0)
        return QStringLiteral("%1.%2").arg(LAPDEX_VERSION_MAJOR).arg(LAPDEX_VERSION_MINOR);
    return QStringLiteral(LAPDEX_VERSION);
}

// The template holds the version of its time; the line shows the version this program was built as.
void CAboutBox::showVersion() {
    static const QString kPrefix = QStringLiteral("K7X Stopwatch, Version ");
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->text().startsWith(kPrefix)) label->setText(kPrefix + versionText());
    }
}

void CAboutBox::setDataFolder(const QString& folder) {
    auto* label = qobject_cast<QLabel*>(control(kDataFolderLabel));
    if (label == nullptr) return;
    folder_ = folder;
    const QString prefix = QString::fromUtf8(
        dialog_text::kDataFolderPrefix.in(language_).data(),
        static_cast<qsizetype>(dialog_text::kDataFolderPrefix.in(language_).size()));
    const QFontMetrics metrics(label->font());
    const int room = label->width() - metrics.horizontalAdvance(prefix);
    label->setText(prefix + metrics.elidedText(folder, Qt::ElideMiddle, room));
    label->setToolTip(folder);
    // The whole folder, which the elided text may cut, for a screen reader too.
    label->setAccessibleDescription(prefix + folder);
}

}  // namespace lapdex::ui
