// Exporting the chosen runs from the main window.
#include "export_menu.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <algorithm>

#include "c_all_runs_dlg.h"
#include "c_user_dialog.h"
#include "export_texts.h"
#include "lapdex_dlg.h"
#include "view_menu.h"

namespace lapdex::ui {
namespace {

std::string filled(const char* pattern, const std::string& value) {
    return QString::fromUtf8(pattern)
        .replace(QStringLiteral("%s"), QString::fromStdString(value))
        .toStdString();
}

}  // namespace

ExportMenu::ExportMenu(CLapdexDlg& window, ViewMenu& views, RunIndex* index)
    : QObject(&window), window_(window), views_(views), index_(index) {
    QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(export_text::kMenu));
    spreadsheet_ = menu->addAction(QString::fromUtf8(export_text::kSpreadsheet));
    tcx_ = menu->addAction(QString::fromUtf8(export_text::kTcx));
    connect(spreadsheet_, &QAction::triggered, this,
            [this] { exportRuns(ExportFormat::Spreadsheet); });
    connect(tcx_, &QAction::triggered, this, [this] { exportRuns(ExportFormat::Tcx); });
    window.menuBar()->adjustSize();
}

std::optional<std::vector<IndexedRunRow>> ExportMenu::chosenRuns() const {
    if (!index_) return std::nullopt;
    if (CAllRunsDlg* all = views_.allRunsWindow(); all && all->isVisible()) {
        std::vector<int> rows;
        for (const QModelIndex& i : all->table()->selectionModel()->selectedRows())
            rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        if (!rows.empty()) {
            std::vector<IndexedRunRow> runs;
            for (int row : rows) runs.push_back(all->model()->run(row));
            return runs;
        }
    }
    const auto* page = dynamic_cast<const CUserDialog*>(window_.page());
    const std::string folder = index_->folderNameOf(window_.currentStopwatchFolder());
    if (!page || folder.empty()) return std::vector<IndexedRunRow>{};
    RunQuery day;
    day.folderNames = {folder};
    day.fromDate = day.toDate = page->selectedDate().toString(Qt::ISODate).toStdString();
    return index_->search(day);
}

void ExportMenu::exportRuns(ExportFormat format) {
    const auto rows = chosenRuns();
    const auto runs = rows && index_ ? collectExportRuns(*index_, *rows) : std::nullopt;
    if (!runs) return window_.showError(export_text::kIndexBusy);
    if (runs->empty()) return window_.showNotice(export_text::kNoRuns);
    const auto folder = window_.browseFolder(export_text::kBrowseTitle, NewFolderButton::Shown);
    if (!folder) return;
    TcxFiles tcxFiles = TcxFiles::OnePerRun;
    if (format == ExportFormat::Tcx && runs->size() > 1 &&
        window_.askYesNo(export_text::kOneTcxFile))
        tcxFiles = TcxFiles::OneForAll;
    const std::vector<ExportFile> files = exportFiles(*runs, format, tcxFiles, systemLocalToUtc);
    if (!confirmOverwrite(files, *folder)) return;
    report(writeExportFiles(systemFileSystem(), window_.dataFolder().toStdString(), *folder, files,
                            Overwrite::Replace),
           countsOf(*runs));
}

bool ExportMenu::confirmOverwrite(const std::vector<ExportFile>& files,
                                  const std::string& folder) const {
    FileSystem& fs = systemFileSystem();
    for (const ExportFile& f : files) {
        const std::string path = withTrailingSlash(folder) + f.name;
        if (fs.kindOf(path) != EntryKind::None &&
            !window_.askYesNo(filled(export_text::kOverwrite, path)))
            return false;
    }
    return true;
}

void ExportMenu::report(const ExportResult& result, const ExportCounts& counts) const {
    switch (result.error) {
        case ExportError::None: {
            std::string names;
            for (const std::string& path : result.written) names += "\n" + path;
            const QString text = QString::fromUtf8(export_text::kWritten)
                                     .arg(counts.runs)
                                     .arg(counts.laps)
                                     .arg(QString::fromStdString(names));
            return window_.showNotice(text.toStdString());
        }
        case ExportError::InsideDataFolder:
            return window_.showError(export_text::kInsideData);
        case ExportError::NoFolder:
            return window_.showError(filled(export_text::kNoFolder, result.file));
        case ExportError::FileExists:
        case ExportError::WriteFailed:
            return window_.showError(filled(export_text::kWriteFailed, result.file));
    }
}

}  // namespace lapdex::ui
