// The stopwatch page: the two-month calendar with bold days, the runs of the selected day, the
// laps, statistics and memo of the selected run, memo editing, Delete and All data.
#pragma once

#include <QDate>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "edit_dialogs.h"
#include "engine/message_ids.h"
#include "file_system.h"
#include "lap_chart.h"
#include "page_cells.h"
#include "page_host.h"
#include "page_metrics.h"
#include "stopwatch_page.h"
#include "stretch_layout.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace lapdex {
class RunIndex;
}

namespace lapdex::ui {

class MonthCalendar;
class RunQueryWorker;

// Control ids of template 130.
enum PageControl : int {
    kPageCalendar = 1001,
    kPageLapList = 1003,
    kPageRunList = 1004,
    kPageTotalTime = 1005,
    kPageLapCount = 1006,
    kPageMemo = 1008,
    kPageBestLapTime = 1009,
    kPageAllData = 1010,
    kPageDelete = 1011,
    kPageBestLapNumber = 1012,
    kPageAverageLapTime = 1013,
};

// The run list's item data role that is true on a run that set a personal best.
inline constexpr int kSetBestRole = Qt::UserRole + 1;

class CUserDialog : public StopwatchPage {
    Q_OBJECT
  public:
    // `host` and `fs` must outlive the page. Created hidden; the window places and shows it,
    // then calls initialisePage(). `fs` defaults to the catalogue's file system, which scans a
    // folder of many run files without a stat per file. `screen` defaults to the primary
    // screen and the system locale.
    CUserDialog(QWidget* parent, PageHost& host, FileSystem& fs = systemFileSystem(),
                std::optional<ScreenFacts> screen = std::nullopt);
    ~CUserDialog() override;

    // The run index that answers day marks and listings faster than a folder scan; null (the
    // default) scans. Must outlive the page.
    void setRunIndex(RunIndex* index) { runIndex_ = index; }
    // The worker that finds the runs that set a best, off the window thread; without one no run
    // is marked. Must outlive the page.
    void setRunQueries(RunQueryWorker* queries) { queries_ = queries; }

    void initialisePage() override;
    void clearPage() override;
    void showDay() override;
    void computeDayMasks() override;
    void selectDay(QDate day) override;
    void showRun(QDate day, const std::string& fileName) override;

    // PAGE_MARK_DAYS, PAGE_STOPWATCH_CHANGED or PAGE_DATA_CHANGED (also arrives as a MessageEvent).
    void handlePageMessage(MessageId id);

    // The user's actions, as the controls trigger them.
    void calendarSelectionChanged();
    void runSelectionChanged();
    void openAllData();
    void deleteSelectedRun();
    void editLapMemo(int row);
    void editRunMemo();

    // Shows an edit dialog modally and returns its result; replaceable so tests need no loop.
    std::function<int(EditDialog&)> runEditDialog;

    // State, for the window and the tests.
    int selectedRun() const { return selectedRun_; }
    QDate selectedDate() const { return selectedDate_; }
    bool runLoaded() const { return content_.runLoaded; }
    const std::vector<std::string>& runPaths() const { return runPaths_; }
    const PageContent& content() const { return content_; }
    QWidget* control(int id) const { return controls_.control(id); }
    MonthCalendar* calendar() const { return calendar_; }
    QListWidget* runList() const { return runList_; }
    QTreeWidget* lapList() const { return lapList_; }
    QPlainTextEdit* memoBox() const { return memoBox_; }
    CLapMemo* lapMemoDialog() const { return lapMemo_; }
    CRunMemo* runMemoDialog() const { return runMemo_; }
    // The lap chart of the selected run. The window places it below the page (stripBelow); it
    // follows the lap list's selection and selects laps in it.
    LapChart* lapChart() const { return chart_; }
    QWidget* stripBelow() override;
    std::vector<QWidget*> focusOrder() const override;
    QDate selectedDay() const override { return selectedDate_; }
    // The tool tip the page shows at `position` of the lap list's or memo box's viewport.
    QString toolTipAt(const QWidget* viewport, QPoint position) const;

  protected:
    void customEvent(QEvent* event) override;
    // The window grows the page: the lists, the calendar and the memo box take the extra room.
    void resizeEvent(QResizeEvent* event) override;
    // A change of language: the template's texts of the other set; lists and calendar stay.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class Catalogue;

    void buildPage();
    void connectControls();
    void createLapColumns();
    // The calendar's place from the resolution table, kept within the calendar's group box.
    QRect fittedCalendarPlace(const QRect& place) const;
    void installFilters();
    void pushValues();
    void pullValues();
    void renderRunList();
    void renderLaps();
    void attachChart();
    // Marks the listed runs that set a personal best (needs the run index).
    void markBestRuns();
    // Asks the worker for the runs of `folderName` that set a best; marks them when they come.
    void askBestRuns(const std::string& folderName);
    // The stopwatch or its runs changed: the marks are found again, and an answer under way is
    // dropped.
    void forgetBestRuns();
    // Tells the run index that the page changed or deleted the run file at `path`: on the query
    // worker when there is one, as the index may be busy for a while.
    void runFileChanged(const std::string& path);
    void renderChart();
    void clearRunDetails();
    // After a reload: selects the run at `path` again wherever the new listing put it (the folder
    // is listed in the file system's order, which a rewrite may change) and reads its details.
    void keepSelection(const std::string& path);
    void postPageMessage(MessageId id);
    bool filterKey(QObject* watched, QKeyEvent* event);
    bool filterMouse(QObject* watched, QEvent* event);
    bool runIndexValid() const;
    enum class SaveResult { Saved, NotEncodable, Failed };
    // Writes a memo under the worker lock and reports failures.
    SaveResult saveMemo(const QString& memo, bool lapMemo, int lapIndex);
    // Runs the memo dialog until its text is saved or the user gives up; true when saved.
    bool editAndSave(EditDialog& dialog, bool lapMemo, int lapIndex);

    PageHost& host_;
    FileSystem& fs_;
    ScreenFacts screen_;
    ControlSet controls_;
    StretchLayout stretch_;
    QSize minimum_;  // the template's size
    MonthCalendar* calendar_ = nullptr;
    QListWidget* runList_ = nullptr;
    QTreeWidget* lapList_ = nullptr;
    QPlainTextEdit* memoBox_ = nullptr;
    QPushButton* allData_ = nullptr;
    QPushButton* delete_ = nullptr;
    CLapMemo* lapMemo_ = nullptr;
    CRunMemo* runMemo_ = nullptr;
    PageContent content_;
    int selectedRun_ = 0;
    std::vector<std::string> runPaths_;
    QDate selectedDate_;
    bool markDaysPosted_ = false;  // one PAGE_MARK_DAYS waiting is enough
    PageCellStore cells_{content_, selectedRun_};
    std::unique_ptr<Catalogue> catalogue_;
    RunIndex* runIndex_ = nullptr;
    // Parentless until the window takes it; the page deletes it only then.
    QPointer<LapChart> chart_;
    // The runs of `bestRunsFolder_` that set a best, kept between day listings until the
    // stopwatch or its runs change.
    std::optional<std::set<std::string>> bestRuns_;
    std::string bestRunsFolder_;
    RunQueryWorker* queries_ = nullptr;
    std::string bestRunsAsked_;  // the folder whose answer is under way, "" for none
    quint64 bestRunsGeneration_ = 0;
};

}  // namespace lapdex::ui
