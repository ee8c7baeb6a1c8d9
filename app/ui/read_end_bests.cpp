// The download-finished dialog's line on personal bests: which bests the download's runs set,
// their times and the runs that hold them.
#include <QLabel>
#include <algorithm>

#include "download_best_texts.h"
#include "status_dialogs.h"
#include "ui_text.h"

namespace lapdex::ui {
namespace {

// A time as the run files write it: "00:01:04.70" or thousandths of a minute "001.078".
QString timeText(std::int64_t cs, TimeFormat format) {
    if (cs < 0) return QStringLiteral("-");
    if (format == TimeFormat::DecimalMinute) {
        const long long thousandths = cs / 6;  // six hundredths of a second each
        return QString::asprintf("%03lld.%03lld", thousandths / 1000, thousandths % 1000);
    }
    const long long h = cs;
    return QString::asprintf("%02lld:%02lld:%02lld.%02lld", h / 360000, h / 6000 % 60, h / 100 % 60,
                             h % 100);
}

// "2024-05-18T09:10:00" as "2024/05/18 09:10".
QString runStart(const std::string& start) {
    QString text = QString::fromStdString(start).left(16);
    text.replace(QLatin1Char('-'), QLatin1Char('/'));
    text.replace(QLatin1Char('T'), QLatin1Char(' '));
    return text;
}

QString lineOf(const BestSet& set) {
    const QString time = timeText(set.best.cs, set.timeFormat);
    const QString start = runStart(set.best.start);
    const QString beaten = timeText(set.beatenCs, set.timeFormat);
    if (set.kind == BestSet::Kind::Lap)
        return ui::localized(download_best_text::kLap)
            .arg(time, start, QString::number(set.best.lapNumber), beaten);
    return ui::localized(download_best_text::kTotal)
        .arg(QString::number(set.lapCount), time, start, beaten);
}

// The template's text: the label the bests line goes below.
QLabel* templateText(const ControlSet& controls) {
    for (QWidget* control : controls.all())
        if (auto* label = qobject_cast<QLabel*>(control); label && !label->text().isEmpty())
            return label;
    return nullptr;
}

}  // namespace

CReadEndDlg::CReadEndDlg(QWidget* owner, Language language)
    : TemplateDialog(QStringLiteral("read_end"), owner, language),
      templateSize_(size()),
      bests_(new QLabel(this)) {
    bests_->setObjectName(QStringLiteral("bests"));
    bests_->setTextFormat(Qt::PlainText);
    bests_->hide();
}

void CReadEndDlg::showBests(std::vector<BestSet> bests) {
    shown_ = std::move(bests);
    applyBests();
}

void CReadEndDlg::applyBests() {
    if (shown_.empty()) {
        bests_->hide();
        bests_->clear();
        setFixedSize(templateSize_);
        return;
    }
    QStringList lines{ui::localized(download_best_text::kHeading)};
    for (const BestSet& set : shown_) lines << lineOf(set);
    bests_->setText(lines.join(QLatin1Char('\n')));
    const QLabel* above = templateText(controls());
    const int left = above ? above->x() : units().toPixelsX(7);
    const int top = (above ? above->geometry().bottom() : 0) + units().toPixelsY(6);
    bests_->setGeometry(QRect(QPoint(left, top), bests_->sizeHint()));
    bests_->show();
    const int margin = units().toPixelsX(7);
    setFixedSize(std::max(templateSize_.width(), bests_->geometry().right() + margin),
                 bests_->geometry().bottom() + units().toPixelsY(7));
}

void CReadEndDlg::retranslated() {
    // The other set's template has just given the dialog its size and texts.
    templateSize_ = size();
    applyBests();
}

}  // namespace lapdex::ui
