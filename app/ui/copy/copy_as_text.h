// Copy as text: Ctrl+C on a list copies its rows as tab-separated lines under a header line, so
// that pasting into a spreadsheet fills one cell per value.
#pragma once

#include <QList>
#include <QString>

class QAbstractItemModel;
class QAbstractItemView;

namespace lapdex::ui {

enum class CopyRows {
    All,       // every row of the list (the laps of the shown run)
    Selected,  // the selected rows, top to bottom
};

// The header line and the lines of `rows`, each cell the model's display text; tabs and line
// breaks inside a cell become spaces. Every line ends with "\n".
QString tableText(const QAbstractItemModel& model, const QList<int>& rows);

// The text Ctrl+C copies from `view` now.
QString copyText(const QAbstractItemView& view, CopyRows rows);

// Gives `view` a Ctrl+C (the platform's Copy key) that puts copyText on the clipboard while the
// view has the focus, named "Copy" in the language shown for a context menu that lists it.
// Empty lists copy nothing.
void installCopyAsText(QAbstractItemView* view, CopyRows rows);

}  // namespace lapdex::ui
