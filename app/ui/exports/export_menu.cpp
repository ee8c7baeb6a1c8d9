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
#include "club_settings.h"
#include "export_names.h"
#include "export_texts.h"
#include "lapdex_dlg.h"
#include "print_texts.h"
#include "run_query_worker.h"
#include "sheets.h"
#include "view_menu.h"

namespace lapdex::ui {
namespace {

// This PC's name in an export's "PC" column, as the windows' "PC" column shows it.
std::string ownPcLabelText() {
    QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    return ownPcLabel(settings).toStdString();
}

std::string filled(const Text& pattern, const std::string& value) {
    return ui::localized(pattern)
        .replace(QStringLiteral("%s"), QString::fromStdString(value))
        .toStdString();
}

std::string text(const Text& t) {
    return std::string(texts::localized(t));
}

// "QTM-01" for a folder inside the data folder (both spelt as the window spells them), else "".
std::string folderNameIn(const std::string& folder, const std::string& dataFolder) {
    const std::string data = withTrailingSlash(dataFolder);
    if (folder.compare(0, data.size(), data) != 0) return {};
    std::string name = withoutTrailingSlash(folder.substr(data.size()));
    return name.find('/') == std::string::npos ? name : std::string();
}

// The runs left out of an answer, after `message`, for the user.
std::string withMissed(std::string message, const std::vector<MissedRun>& missed) {
    if (missed.empty()) return message;
    return message + "\n\n" + text(export_text::kNotWritten) + "\n" +
           missedRunsText(missed).toStdString();
}

}  // namespace

ExportMenu::ExportMenu(CLapdexDlg& window, ViewMenu& views)
    : QObject(&window), window_(window), views_(views) {
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

void ExportMenu::setBusy(bool busy) {
    // One command at a time: its questions and messages would otherwise interleave.
    busy_ = busy;
    for (QAction* action : {workbook_, spreadsheet_, tcx_, runPdf_, dayPdf_, print_})
        action->setEnabled(!busy);
}

ExportMenu::Chosen ExportMenu::chosenRuns() const {
    Chosen chosen;
    if (CAllRunsDlg* all = views_.allRunsWindow(); all && all->isVisible()) {
        std::vector<int> rows;
        for (const QModelIndex& i : all->table()->selectionModel()->selectedRows())
            rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        for (int row : rows) chosen.rows.push_back(all->model()->run(row));
        if (!chosen.rows.empty()) return chosen;
    }
    // Otherwise the team's day the page shows: every stopwatch's runs of that date.
    const auto* page = dynamic_cast<const CUserDialog*>(window_.page());
    const QDate date = page ? page->selectedDate() : QDate::currentDate();
    RunQuery day;
    day.fromDate = day.toDate = date.toString(Qt::ISODate).toStdString();
    chosen.day = day;
    return chosen;
}

QString ExportMenu::coverText(const Chosen& chosen, std::size_t runs) {
    const auto count = static_cast<qsizetype>(runs);
    const QString counted =
        ui::localized(texts::forCount(export_text::kRunCount, count)).arg(count);
    if (!chosen.day) return ui::localized(export_text::kCoverChosen).arg(counted);
    return ui::localized(export_text::kCoverDay)
        .arg(counted, QString::fromStdString(chosen.day->fromDate).replace(u'-', u'/'));
}

void ExportMenu::gather(const Chosen& chosen, std::function<void(GatheredRuns)> then) {
    if (busy_) return;
    setBusy(true);
    views_.queries().ask<GatheredRuns>(
        this,
        [chosen](WindowRunSource& source) {
            return chosen.day ? gatherQuery(source, *chosen.day) : gatherRuns(source, chosen.rows);
        },
        [this, then = std::move(then)](GatheredRuns gathered) {
            setBusy(false);
            then(std::move(gathered));
        });
}

bool ExportMenu::refusedEmpty(const GatheredRuns& gathered) const {
    if (!gathered.answered) {
        window_.showError(text(export_text::kCannotRead));
        return true;
    }
    if (!gathered.runs.empty()) return false;
    if (gathered.missed.empty())
        window_.showNotice(text(export_text::kNoRuns));
    else
        window_.showError(withMissed(text(export_text::kNothingWritten), gathered.missed));
    return true;
}

void ExportMenu::exportRuns(ExportFormat format) {
    const Chosen chosen = chosenRuns();
    gather(chosen, [this, format, chosen](GatheredRuns gathered) {
        exportGathered(format, std::move(gathered), chosen);
    });
}

void ExportMenu::exportGathered(ExportFormat format, GatheredRuns gathered, const Chosen& chosen) {
    if (refusedEmpty(gathered)) return;
    const QString cover = coverText(chosen, gathered.runs.size());
    TcxFiles tcxFiles = TcxFiles::OnePerRun;
    if (format == ExportFormat::Tcx && gathered.runs.size() > 1 &&
        window_.askYesNo(text(export_text::kOneTcxFile)))
        tcxFiles = TcxFiles::OneForAll;
    // The spreadsheet's sheet names and header rows are in the language shown.
    ExportPlan plan = planExport(gathered.runs, format, tcxFiles, systemLocalToUtc,
                                 texts::currentLanguage(), ownPcLabelText());
    plan.files = namedExportFiles(std::move(plan.files), gathered.runs);
    plan.missed.insert(plan.missed.begin(), gathered.missed.begin(), gathered.missed.end());
    if (plan.files.empty())
        return window_.showError(withMissed(text(export_text::kNothingWritten), plan.missed));
    writePlan(std::move(plan), cover);
}

void ExportMenu::writePlan(ExportPlan plan, const QString& cover) {
    // The chooser's title says which runs, and how many, go into the folder.
    const auto folder = window_.browseFolder(
        (cover + u' ' + ui::localized(export_text::kBrowseTitle)).toStdString(),
        NewFolderButton::Shown);
    if (!folder || !confirmOverwrite(plan.files, *folder) || busy_) return;
    setBusy(true);
    // Writing and flushing to the disk take their time off the window thread.
    const std::string data = window_.dataFolder().toStdString();
    auto shared = std::make_shared<ExportPlan>(std::move(plan));
    views_.queries().ask<ExportResult>(
        this,
        [data, out = *folder, shared](WindowRunSource&) {
            return writeExportFiles(systemFileSystem(), data, out, shared->files,
                                    Overwrite::Replace);
        },
        [this, shared, out = *folder](ExportResult result) {
            setBusy(false);
            report(result, *shared, out);
        });
}

void ExportMenu::gatherShownRun(std::function<void(GatheredRuns)> then) {
    const auto* page = dynamic_cast<const CUserDialog*>(window_.page());
    const std::string folder =
        folderNameIn(window_.currentStopwatchFolder(), window_.dataFolder().toStdString());
    if (!page || folder.empty() || page->selectedRun() < 0 ||
        static_cast<std::size_t>(page->selectedRun()) >= page->runPaths().size())
        return window_.showNotice(text(export_text::kNoRunShown));
    const std::string& path = page->runPaths()[static_cast<std::size_t>(page->selectedRun())];
    RunRow row;
    row.folderName = folder;
    row.fileName = path.substr(path.rfind('/') + 1);
    if (busy_) return;
    setBusy(true);
    views_.queries().ask<GatheredRuns>(
        this,
        [row](WindowRunSource& source) {
            RunRow named = row;
            for (const RunStopwatch& s :
                 source.registeredStopwatches().value_or(std::vector<RunStopwatch>{})) {
                // The page is this PC's: a club folder's stopwatch of that name is another.
                if (s.folderName == row.folderName && s.pc.empty())
                    named.tabName = s.tabName, named.serialText = s.serialText;
            }
            return gatherRuns(source, {named});
        },
        [this, then = std::move(then)](GatheredRuns gathered) {
            setBusy(false);
            then(std::move(gathered));
        });
}

void ExportMenu::saveRunSheet() {
    const Chosen chosen = chosenRuns();
    gather(chosen, [this, chosen](GatheredRuns gathered) {
        if (refusedEmpty(gathered)) return;
        // A sheet of its own for each run, named as its TCX file would be.
        ExportPlan plan;
        for (const ExportRun& run : gathered.runs)
            plan.files.push_back(
                {runStem(run, gathered.runs) + ".pdf", sheetPdf(runSheet(run)).toStdString()});
        plan.counts = countsOf(gathered.runs);
        plan.missed = std::move(gathered.missed);
        writePlan(std::move(plan), coverText(chosen, gathered.runs.size()));
    });
}

void ExportMenu::printRunSheet() {
    gatherShownRun([this](GatheredRuns gathered) {
        if (refusedEmpty(gathered)) return;
        printSheet(&window_, runSheet(gathered.runs.front()));
    });
}

void ExportMenu::saveDaySheet() {
    const Chosen chosen = chosenRuns();
    gather(chosen, [this, chosen](GatheredRuns gathered) {
        if (refusedEmpty(gathered)) return;
        const std::string dates = exportDates(gathered.runs);
        const QString first = QString::fromStdString(dates.substr(0, 10)).replace(u'-', u'/');
        // A chosen set of several days names its first and last date; its rows show dates.
        const QString title =
            dates.size() > 10
                ? ui::localized(print_text::kDaysTitle)
                      .arg(first, QString::fromStdString(dates.substr(11)).replace(u'-', u'/'))
                : ui::localized(print_text::kDayTitle).arg(first);
        const QByteArray pdf =
            sheetPdf(daySheet(title, teamDayOf(gathered.runs, dates.substr(0, 10))));
        ExportPlan plan = planSheet(
            {"day_" + exportStem(gathered.runs) + ".pdf", pdf.toStdString()}, gathered.runs);
        plan.missed = std::move(gathered.missed);
        writePlan(std::move(plan), coverText(chosen, gathered.runs.size()));
    });
}

bool ExportMenu::confirmOverwrite(const std::vector<ExportFile>& files,
                                  const std::string& folder) const {
    FileSystem& fs = systemFileSystem();
    std::vector<std::string> existing;
    for (const ExportFile& f : files) {
        const std::string path = withTrailingSlash(folder) + f.name;
        if (fs.kindOf(path) != EntryKind::None) existing.push_back(path);
    }
    // One question for all of them, however many files the export has.
    if (existing.empty()) return true;
    if (existing.size() == 1) return window_.askYesNo(filled(export_text::kOverwrite, existing[0]));
    // A box as tall as the screen at most: the first files, then how many more.
    constexpr std::size_t kListed = 10;
    std::string list;
    for (std::size_t i = 0; i < existing.size() && i < kListed; ++i)
        list += (list.empty() ? "" : "\n") + existing[i];
    if (existing.size() > kListed)
        list += "\n" + ui::localized(export_text::kMoreFiles)
                           .arg(static_cast<qsizetype>(existing.size() - kListed))
                           .toStdString();
    return window_.askYesNo(filled(export_text::kOverwriteSeveral, list));
}

void ExportMenu::report(const ExportResult& result, const ExportPlan& plan,
                        const std::string& folder) const {
    const ExportCounts& counts = plan.counts;
    switch (result.error) {
        case ExportError::None: {
            // A summary, never a list of every file: an export can write thousands.
            const auto files = static_cast<qsizetype>(result.written.size());
            const QString where = ui::localized(texts::forCount(export_text::kFilesIn, files))
                                      .arg(QString::number(files), QString::fromStdString(folder));
            const QString runs = ui::localized(texts::forCount(export_text::kRunCount, counts.runs))
                                     .arg(counts.runs);
            const QString laps = ui::localized(texts::forCount(export_text::kLapCount, counts.laps))
                                     .arg(counts.laps);
            // One pass, so that a "%" in the folder's name is left as it is.
            const std::string told = withMissed(
                ui::localized(export_text::kWritten).arg(runs, laps, u'\n' + where).toStdString(),
                plan.missed);
            return window_.desktop().showNoticeWithFolder(&window_, QString::fromStdString(told),
                                                          QString::fromStdString(folder));
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
