// Exporting the chosen runs from the main window.
#include "export_menu.h"

#include <QAction>
#include <QEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <algorithm>

#include "c_all_runs_dlg.h"
#include "c_user_dialog.h"
#include "export_texts.h"
#include "lapdex_dlg.h"
#include "print_texts.h"
#include "sheets.h"
#include "team_day.h"
#include "view_menu.h"

namespace lapdex::ui {
namespace {

std::string filled(const Text& pattern, const std::string& value) {
    return ui::localized(pattern)
        .replace(QStringLiteral("%s"), QString::fromStdString(value))
        .toStdString();
}

std::string text(const Text& t) {
    return std::string(texts::localized(t));
}

}  // namespace

ExportMenu::ExportMenu(CLapdexDlg& window, ViewMenu& views, RunIndex* index)
    : QObject(&window), window_(window), views_(views), index_(index) {
    menu_ = window.menuBar()->addMenu(QString());
    QMenu* menu = menu_;
    // The workbook first: it keeps every value as recorded; CSV is for scripts.
    workbook_ = menu->addAction(QString());
    spreadsheet_ = menu->addAction(QString());
    tcx_ = menu->addAction(QString());
    connect(workbook_, &QAction::triggered, this, [this] { exportRuns(ExportFormat::Workbook); });
    connect(spreadsheet_, &QAction::triggered, this,
            [this] { exportRuns(ExportFormat::Spreadsheet); });
    connect(tcx_, &QAction::triggered, this, [this] { exportRuns(ExportFormat::Tcx); });
    menu->addSeparator();
    runPdf_ = menu->addAction(QString());
    dayPdf_ = menu->addAction(QString());
    print_ = menu->addAction(QString());
    applyTexts();
    print_->setShortcut(QKeySequence::Print);
    // The window's menu bar is no native one: shortcuts work only when the window knows them.
    window.addAction(print_);
    connect(runPdf_, &QAction::triggered, this, &ExportMenu::saveRunSheet);
    connect(dayPdf_, &QAction::triggered, this, &ExportMenu::saveDaySheet);
    connect(print_, &QAction::triggered, this, &ExportMenu::printRunSheet);
    window.menuBar()->adjustSize();
}

void ExportMenu::applyTexts() {
    menu_->setTitle(ui::localized(export_text::kMenu));
    workbook_->setText(ui::localized(export_text::kWorkbook));
    spreadsheet_->setText(ui::localized(export_text::kSpreadsheet));
    tcx_->setText(ui::localized(export_text::kTcx));
    runPdf_->setText(ui::localized(export_text::kRunPdf));
    dayPdf_->setText(ui::localized(export_text::kDayPdf));
    print_->setText(ui::localized(export_text::kPrint));
}

bool ExportMenu::event(QEvent* event) {
    // The window hands its language change on to its children, this menu among them.
    if (event->type() == QEvent::LanguageChange) applyTexts();
    return QObject::event(event);
}

std::optional<std::vector<RunRow>> ExportMenu::chosenRuns() const {
    if (!index_) return std::nullopt;
    if (CAllRunsDlg* all = views_.allRunsWindow(); all && all->isVisible()) {
        std::vector<int> rows;
        for (const QModelIndex& i : all->table()->selectionModel()->selectedRows())
            rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        if (!rows.empty()) {
            std::vector<RunRow> runs;
            for (int row : rows) runs.push_back(all->model()->run(row));
            return runs;
        }
    }
    const auto* page = dynamic_cast<const CUserDialog*>(window_.page());
    const std::string folder = index_->folderNameOf(window_.currentStopwatchFolder());
    if (!page || folder.empty()) return std::vector<RunRow>{};
    RunQuery day;
    day.folderNames = {folder};
    day.fromDate = day.toDate = page->selectedDate().toString(Qt::ISODate).toStdString();
    return index_->search(day);
}

void ExportMenu::exportRuns(ExportFormat format) {
    const auto rows = chosenRuns();
    const auto runs = rows && index_ ? collectExportRuns(*index_, *rows) : std::nullopt;
    if (!runs) return window_.showError(text(export_text::kIndexBusy));
    if (runs->empty()) return window_.showNotice(text(export_text::kNoRuns));
    TcxFiles tcxFiles = TcxFiles::OnePerRun;
    if (format == ExportFormat::Tcx && runs->size() > 1 &&
        window_.askYesNo(text(export_text::kOneTcxFile)))
        tcxFiles = TcxFiles::OneForAll;
    // The spreadsheet's sheet names and header rows are in the language shown.
    writeChosen(exportFiles(*runs, format, tcxFiles, systemLocalToUtc, texts::currentLanguage()),
                countsOf(*runs));
}

void ExportMenu::writeChosen(const std::vector<ExportFile>& files, const ExportCounts& counts) {
    const auto folder =
        window_.browseFolder(text(export_text::kBrowseTitle), NewFolderButton::Shown);
    if (!folder || !confirmOverwrite(files, *folder)) return;
    report(writeExportFiles(systemFileSystem(), window_.dataFolder().toStdString(), *folder, files,
                            Overwrite::Replace),
           counts);
}

std::optional<ExportRun> ExportMenu::shownRun() const {
    const auto* page = dynamic_cast<const CUserDialog*>(window_.page());
    if (!index_ || !page || page->selectedRun() < 0 ||
        static_cast<std::size_t>(page->selectedRun()) >= page->runPaths().size())
        return std::nullopt;
    const std::string& path = page->runPaths()[static_cast<std::size_t>(page->selectedRun())];
    const std::string fileName = path.substr(path.rfind('/') + 1);
    const std::string folder = index_->folderNameOf(window_.currentStopwatchFolder());
    std::optional<RunDetails> run = index_->runWithLaps(folder, fileName);
    if (!run) return std::nullopt;
    ExportRun shown{{}, {}, folder + "/" + fileName, std::move(*run)};
    for (const RunStopwatch& s : index_->stopwatches().value_or(std::vector<RunStopwatch>{})) {
        if (s.folderName == folder) shown.tabName = s.tabName, shown.serialText = s.serialText;
    }
    return shown;
}

void ExportMenu::saveRunSheet() {
    const std::optional<ExportRun> run = shownRun();
    if (!run) return window_.showNotice(text(export_text::kNoRunShown));
    std::string name = tcxFileNameOf(*run);
    name.replace(name.size() - 4, 4, ".pdf");
    const QByteArray pdf = sheetPdf(runSheet(*run));
    writeChosen({{name, pdf.toStdString()}}, countsOf({*run}));
}

std::optional<TeamDay> ExportMenu::chosenDay(QString& title) const {
    if (!index_) return std::nullopt;
    // Runs chosen in the All runs window make the sheet; otherwise the team's day the page shows.
    if (CAllRunsDlg* all = views_.allRunsWindow();
        all && all->isVisible() && all->table()->selectionModel()->hasSelection()) {
        const auto rows = chosenRuns();
        const auto runs = rows ? collectExportRuns(*index_, *rows) : std::nullopt;
        if (!runs) return std::nullopt;
        TeamDay day = teamDayOf(*runs);
        const bool oneDay = std::all_of(runs->begin(), runs->end(), [&day](const ExportRun& r) {
            return r.run.start.rfind(day.date, 0) == 0;
        });
        title = oneDay ? ui::localized(print_text::kDayTitle)
                             .arg(QString::fromStdString(day.date).replace(u'-', u'/'))
                       : ui::localized(print_text::kChosenTitle);
        return day;
    }
    const auto* page = dynamic_cast<const CUserDialog*>(window_.page());
    const QDate date = page ? page->selectedDate() : QDate::currentDate();
    title = ui::localized(print_text::kDayTitle).arg(date.toString(QStringLiteral("yyyy/MM/dd")));
    return loadTeamDay(*index_, date.toString(Qt::ISODate).toStdString());
}

void ExportMenu::saveDaySheet() {
    QString title;
    const std::optional<TeamDay> day = chosenDay(title);
    if (!day) return window_.showError(text(export_text::kIndexBusy));
    if (day->runs.empty()) return window_.showNotice(text(export_text::kNoRuns));
    ExportCounts counts;
    for (const TeamDayRun& run : day->runs) {
        ++counts.runs;
        counts.laps += static_cast<int>(run.lapsCs.size());
    }
    const QByteArray pdf = sheetPdf(daySheet(title, *day));
    writeChosen({{"runs.pdf", pdf.toStdString()}}, counts);
}

void ExportMenu::printRunSheet() {
    const std::optional<ExportRun> run = shownRun();
    if (!run) return window_.showNotice(text(export_text::kNoRunShown));
    printSheet(&window_, runSheet(*run));
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
            const QString runs = ui::localized(texts::forCount(export_text::kRunCount, counts.runs))
                                     .arg(counts.runs);
            const QString laps = ui::localized(texts::forCount(export_text::kLapCount, counts.laps))
                                     .arg(counts.laps);
            // One pass, so that a "%" in a file name is left as it is.
            return window_.showNotice(ui::localized(export_text::kWritten)
                                          .arg(runs, laps, QString::fromStdString(names))
                                          .toStdString());
        }
        case ExportError::InsideDataFolder:
            return window_.showError(text(export_text::kInsideData));
        case ExportError::NoFolder:
            return window_.showError(filled(export_text::kNoFolder, result.file));
        case ExportError::FileExists:
        case ExportError::WriteFailed:
            return window_.showError(filled(export_text::kWriteFailed, result.file));
    }
}

}  // namespace lapdex::ui
