// Copying a list's rows as tab-separated text.
#include "copy_as_text.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QItemSelectionModel>
#include <algorithm>

#include "copy_texts.h"
#include "csv_text.h"

namespace lapdex::ui {
namespace {

// One cell of a copied row. A text (not a number) is guarded as runs.csv guards it: pasted into a
// spreadsheet, a memo such as "=1+2" or "-3 s" stays text and never becomes a formula.
QString cellText(const QVariant& value) {
    QString text = value.toString();
    for (QChar& c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
    }
    if (value.typeId() != QMetaType::QString) return text;
    return QString::fromStdString(formulaGuarded(text.toStdString()));
}

}  // namespace

QString tableText(const QAbstractItemModel& model, const QList<int>& rows) {
    const int columns = model.columnCount();
    QStringList cells;
    for (int c = 0; c < columns; ++c)
        cells << cellText(model.headerData(c, Qt::Horizontal, Qt::DisplayRole));
    QString text = cells.join(u'\t') + u'\n';
    for (int row : rows) {
        cells.clear();
        for (int c = 0; c < columns; ++c)
            cells << cellText(model.data(model.index(row, c), Qt::DisplayRole));
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

QString copyText(const QAbstractItemView& view, CopyRows rows) {
    const QAbstractItemModel* model = view.model();
    if (!model || model->rowCount() == 0) return {};
    QList<int> chosen;
    if (rows == CopyRows::All) {
        for (int r = 0; r < model->rowCount(); ++r) chosen << r;
    } else if (const QItemSelectionModel* selection = view.selectionModel()) {
        for (const QModelIndex& index : selection->selectedRows()) chosen << index.row();
        std::sort(chosen.begin(), chosen.end());
    }
    return chosen.isEmpty() ? QString() : tableText(*model, chosen);
}

namespace {

// Names the copy command in the language shown, for a context menu that lists it. The language
// change reaches top-level windows only: the view's window is watched once the view is shown.
class CopyNaming : public QObject {
  public:
    CopyNaming(QAction* copy, QWidget* view) : QObject(copy), copy_(copy), view_(view) {
        view->installEventFilter(this);
        name();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == view_ && event->type() == QEvent::Show && !window_) {
            window_ = view_->window();
            window_->installEventFilter(this);
        }
        if (event->type() == QEvent::LanguageChange || event->type() == QEvent::ContextMenu) name();
        return false;
    }

  private:
    void name() { copy_->setText(ui::localized(copy_text::kCopy)); }
    QAction* copy_;
    QWidget* view_;
    QWidget* window_ = nullptr;
};

}  // namespace

void installCopyAsText(QAbstractItemView* view, CopyRows rows) {
    auto* copy = new QAction(view);
    new CopyNaming(copy, view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copy, &QAction::triggered, view, [view, rows] {
        const QString text = copyText(*view, rows);
        if (!text.isEmpty()) QApplication::clipboard()->setText(text);
    });
    view->addAction(copy);
}

}  // namespace lapdex::ui
