// The main window's output and print menu (Alt+O): the runs chosen in the All runs window, or else
// the team's runs of the day the page shows, written as a workbook, as CSV or TCX files or as run
// and day sheets into a folder the user picks outside the data folder. Runs are read and files
// written on the query worker; the user is told which runs could not be written and why.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "export_files.h"
#include "export_plan.h"
#include "run_gathering.h"

class QAction;
class QMenu;

namespace lapdex::ui {

class CLapdexDlg;
class ViewMenu;

class ExportMenu : public QObject {
    Q_OBJECT
  public:
    // Adds the menu to `window`'s menu bar; runs come through `views`' query worker. `window` and
    // `views` must outlive the menu.
    ExportMenu(CLapdexDlg& window, ViewMenu& views);

    // The runs every export and sheet takes now: the rows selected in the All runs window while
    // it is shown, otherwise every run of the page's day across all stopwatches (`day`).
    struct Chosen {
        std::vector<RunRow> rows;
        std::optional<RunQuery> day;
    };
    Chosen chosenRuns() const;

    // Reads the chosen runs, asks for the folder (and, for TCX, one file or one per run), then
    // writes. What happened is told in a message box.
    void exportRuns(ExportFormat format);
    // Saves the chosen runs' run sheets (a PDF each) or their day sheet (one PDF) as PDF.
    void saveRunSheet();
    void saveDaySheet();
    // The print preview of the shown run's sheet (Ctrl+P), once the run has been read.
    void printRunSheet();
    // True while runs are read or files written for a command; the commands wait for it.
    bool busy() const { return busy_; }

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
    void setBusy(bool busy);
    // Reads `chosen` on the worker, then hands the runs to `then` on the window thread.
    void gather(const Chosen& chosen, std::function<void(GatheredRuns)> then);
    // Reads the run the page shows; nothing is asked when none is shown.
    void gatherShownRun(std::function<void(GatheredRuns)> then);
    void exportGathered(ExportFormat format, GatheredRuns gathered, const Chosen& chosen);
    // Which runs an export of `chosen` covers and how many, for the folder chooser.
    static QString coverText(const Chosen& chosen, std::size_t runs);
    // Asks for the folder (its title starting with `cover`), then writes the plan's files there
    // on the worker; tells the user.
    void writePlan(ExportPlan plan, const QString& cover);
    bool confirmOverwrite(const std::vector<ExportFile>& files, const std::string& folder) const;
    void report(const ExportResult& result, const ExportPlan& plan,
                const std::string& folder) const;
    // Tells the user that nothing can be written; false when there is something.
    bool refusedEmpty(const GatheredRuns& gathered) const;

    CLapdexDlg& window_;
    ViewMenu& views_;
    QMenu* menu_ = nullptr;
    QAction* workbook_ = nullptr;
    QAction* spreadsheet_ = nullptr;
    QAction* tcx_ = nullptr;
    QAction* runPdf_ = nullptr;
    QAction* dayPdf_ = nullptr;
    QAction* print_ = nullptr;
    bool busy_ = false;
};

}  // namespace lapdex::ui
