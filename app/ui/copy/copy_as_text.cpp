// Copying a list's rows as tab-separated text.
#include "copy_as_text.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <algorithm>

namespace lapdex::ui {
namespace {

QString cellText(QString text) {
    for (QChar& c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
    }
    return text;
}

}  // namespace

QString tableText(const QAbstractItemModel& model, const QList<int>& rows) {
    const int columns = model.columnCount();
    QStringList cells;
    for (int c = 0; c < columns; ++c)
        cells << cellText(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    QString text = cells.join(u'\t') + u'\n';
    for (int row : rows) {
        cells.clear();
        for (int c = 0; c < columns; ++c)
            cells << cellText(model.data(model.index(row, c), Qt::DisplayRole).toString());
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

void installCopyAsText(QAbstractItemView* view, CopyRows rows) {
    auto* copy = new QAction(view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copy, &QAction::triggered, view, [view, rows] {
        const QString text = copyText(*view, rows);
        if (!text.isEmpty()) QApplication::clipboard()->setText(text);
    });
    view->addAction(copy);
}

}  // namespace lapdex::ui
