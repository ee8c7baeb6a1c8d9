// The main window's output and print menu (Alt+O): the runs chosen in the All runs window, or else
// the runs of the day the page shows, written as runs.xlsx, as runs.csv and laps.csv or as TCX
// files into a folder the user picks outside the data folder.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

#include "export_files.h"
#include "run_index.h"
#include "team_day.h"

class QAction;
class QMenu;

namespace lapdex::ui {

class CLapdexDlg;
class ViewMenu;

class ExportMenu : public QObject {
    Q_OBJECT
  public:
    // Adds the menu to `window`'s menu bar. `index` may be null; `window`, `views` and `index`
    // must outlive the menu.
    ExportMenu(CLapdexDlg& window, ViewMenu& views, RunIndex* index);

    // The runs an export takes now: the rows selected in the All runs window while it is shown,
    // otherwise the runs of the page's day of the current stopwatch. nullopt when the index
    // cannot answer.
    std::optional<std::vector<RunRow>> chosenRuns() const;

    // Asks for the folder (and, for TCX, one file or one per run), then writes. What happened is
    // told in a message box.
    void exportRuns(ExportFormat format);

    // The run the page shows, with its laps; nullopt when none is shown.
    std::optional<ExportRun> shownRun() const;
    // The day a day sheet shows now, and its title in `title`: the runs chosen in the All runs
    // window while it is shown with a selection, otherwise the team's day of the date the page
    // shows (every stopwatch). nullopt when the index cannot answer.
    std::optional<TeamDay> chosenDay(QString& title) const;
    // Saves the run sheet of the shown run, or the day sheet of the chosen day, as PDF.
    void saveRunSheet();
    void saveDaySheet();
    // The print preview of the shown run's sheet (Ctrl+P).
    void printRunSheet();

    QAction* workbookAction() const { return workbook_; }
    QAction* spreadsheetAction() const { return spreadsheet_; }
    QAction* tcxAction() const { return tcx_; }
    QAction* runPdfAction() const { return runPdf_; }
    QAction* dayPdfAction() const { return dayPdf_; }
    QAction* printAction() const { return print_; }
    QMenu* menu() const { return menu_; }

  protected:
    // Renames the menu and its items on QEvent::LanguageChange.
    bool event(QEvent* event) override;

  private:
    void applyTexts();
    // Asks for the folder, then writes `files` there; tells the user what happened.
    void writeChosen(const std::vector<ExportFile>& files, const ExportCounts& counts);
    bool confirmOverwrite(const std::vector<ExportFile>& files, const std::string& folder) const;
    void report(const ExportResult& result, const ExportCounts& counts) const;

    CLapdexDlg& window_;
    ViewMenu& views_;
    RunIndex* index_;
    QMenu* menu_ = nullptr;
    QAction* workbook_ = nullptr;
    QAction* spreadsheet_ = nullptr;
    QAction* tcx_ = nullptr;
    QAction* runPdf_ = nullptr;
    QAction* dayPdf_ = nullptr;
    QAction* print_ = nullptr;
};

}  // namespace lapdex::ui
