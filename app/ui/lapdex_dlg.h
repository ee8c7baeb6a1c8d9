// The main window: one tab per registered stopwatch over one page, the battery picture,
// the clock-sync check box, Exit, the menu bar; it reacts to the engine's notifications
// with the status dialogs and runs the commands of its menus.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data_procedures.h"
#include "desktop.h"
#include "dialog_builder.h"
#include "edit_dialogs.h"
#include "engine_bridge.h"
#include "engine_port.h"
#include "page/page_host.h"
#include "status_dialogs.h"
#include "stopwatch_page.h"
#include "stretch_layout.h"
#include "tab_control.h"

class QCheckBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;

namespace lapdex::ui {

// Command ids of the menu bar and the tab context menu.
enum MenuCommand : int {
    kCmdReload = 32786,
    kCmdClear = 32785,
    kCmdHelp = 57670,
    kCmdVersion = 32789,
    kCmdExport = 32787,
    kCmdImport = 32788,
    kCmdRename = 32775,
    kCmdDelete = 32790,
};

// A status dialog and its shown flag, which the window owns.
struct StatusSlot {
    TemplateDialog* dialog = nullptr;
    bool shown = false;
};

class CLapdexDlg : public QDialog, public ProcedureUi, public PageHost {
    Q_OBJECT
  public:
    using PageFactory = std::function<StopwatchPage*(QWidget* parent, PageHost& host)>;

    // `port` and `desktop` must outlive the window. `makePage` creates the page (the empty
    // page when not given).
    CLapdexDlg(EnginePort& port, Desktop& desktop, PageFactory makePage = {});
    ~CLapdexDlg() override;

    // ProcedureUi and PageHost (the page uses the same pause, resume and boxes).
    void pauseWorker() override;
    void resumeWorker() override;
    std::optional<std::string> browseFolder(std::string_view title,
                                            NewFolderButton button) override;
    bool askYesNo(std::string_view text) override;
    bool askOkCancel(std::string_view text) override;
    void showNotice(std::string_view text) override;
    void showError(std::string_view text) override;
    void closeMainWindow() override;
    void stopwatchRemoved(int slotIndex) override;
    void withWorkerLock(const std::function<void()>& work) override;
    std::string currentStopwatchFolder() override;
    void refreshBatteryNow() override { refreshBattery(); }
    void openWithDesktop(const std::string& path) override;
    void runDeleted() override { emit runsChanged(); }
    // The desktop's trash, for the page's run deletion and the removal of a stopwatch.
    bool discard(const std::string& path) override;

    // Runs a menu or context-menu command.
    void runCommand(int id);

    // State the page and the tests read.
    int currentTab() const { return currentTab_; }
    int contextTab() const { return contextTab_; }
    int registeredCount() const override { return registeredCount_; }
    int progressPosition() const { return progressPosition_; }
    QString currentTabName() const;
    QString dataFolder() const;
    TabControl* tabControl() const { return tabs_; }
    StopwatchPage* page() const { return page_; }
    Desktop& desktop() const { return desktop_; }
    QMenu* contextMenu() const { return contextMenu_; }
    QMenuBar* menuBar() const { return menuBar_; }
    QWidget* control(int id) const { return controls_.control(id); }
    // Below the menu bar, everything scrolls inside this area when the window is smaller than the
    // template's layout (a small screen or a large scale factor).
    QScrollArea* scrollArea() const { return scroll_; }
    // The template's layout with the page's strip: the window's smallest comfortable size below
    // the menu bar; whatever the window has beyond it goes to the tabs, the page and the strip.
    QSize layoutMinimum() const { return contentMinimum_; }
    int batteryPictureShown() const { return batteryResource_; }
    bool closeEnabled() const { return closeEnabled_; }
    const StatusSlot& touchPrompt() const { return touch_; }
    const StatusSlot& readEnd() const { return readEnd_; }
    const StatusSlot& clearEnd() const { return clearEnd_; }
    const StatusSlot& noData() const { return noData_; }
    const StatusSlot& transErr() const { return transErr_; }
    const StatusSlot& userFull() const { return userFull_; }
    CDownloadDlg* progressDialog() const { return progress_; }
    bool progressShown() const { return progressShown_; }
    CUserIdEdit* renameDialog() const { return rename_; }
    CAboutBox* aboutBox() const { return about_; }
    // The shutdown order: threads, configuration (unless imported), page. Idempotent.
    void shutdown();

  signals:
    // A download's runs are in the run files and the run index, and a stopwatch laid on for the
    // first time is registered: told as the completion is shown, while the stopwatch still lies
    // on the reader (the page hears of it only once the completion is closed).
    void runsDownloaded();
    // The window itself changed runs or stopwatches: a run deleted, a stopwatch renamed or
    // removed. Told once the run index has been told of the change.
    void runsChanged();

  public slots:
    void accept() override {}  // Enter never closes the window
    void reject() override {}  // nor does Escape

  protected:
    void customEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A change of language gives the window, its menus and the page the other set's texts.
    void changeEvent(QEvent* event) override;

  private:
    void initialiseWindow();
    void buildMenus();
    void buildContent();
    void finishContent();
    void placePage();
    // Places the page's strip (its lap chart) below the tab control and grows the window for it.
    void placeStrip();
    // Gives the tabs, the page and the strip the room the content has beyond its minimum.
    void layoutContent();
    // The window may shrink to the screen, never below what it needs elsewhere.
    void fitMinimumToScreen();
    void paintLogo();
    void chainFocus();
    void buildTabs();
    void syncTabsFromModel();
    void mirrorTabs();
    std::vector<std::string> tabTexts() const;
    void selectTabSilently(int index);
    void tabSelectionChanged(int index);
    void tabContextRequested(const QPoint& position, const QPoint& globalPosition);
    void refreshBattery();
    void postToPage(MessageId id);

    void handleNotification(MessageId id);
    void showStatus(StatusSlot& slot, std::function<void(int)> ended);
    void closeStatusAsOk(StatusSlot& slot);
    enum class Exchange { Download, Clear, Other };
    void finishExchange(Exchange exchange = Exchange::Other);
    void openProgress();
    void closeProgress();
    void advanceProgress();
    void dismissStatusDialogs();
    void selectNotifiedTab();

    void reload();
    void clearStopwatch();
    void promptForTouch();
    void help();
    void version();
    void rename();
    void removeStopwatch();
    void exportData();
    void importData();
    void exitClicked();

    EnginePort& port_;
    Desktop& desktop_;
    EngineBridge bridge_{this};
    PageFactory makePage_;
    DialogTemplate template_;
    QScrollArea* scroll_ = nullptr;
    QWidget* content_ = nullptr;  // inside the scroll area: the client and the strip
    QWidget* client_ = nullptr;   // the template's controls
    QWidget* strip_ = nullptr;
    StretchLayout stretch_;
    QSize clientMinimum_, pageMinimum_, contentMinimum_;
    int stripHeight_ = 0;
    ControlSet controls_;
    QMenuBar* menuBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    std::vector<QAction*> menuBarActions_;  // in template order
    std::vector<QAction*> contextActions_;
    TabControl* tabs_ = nullptr;
    StopwatchPage* page_ = nullptr;
    QLabel* battery_ = nullptr;
    QCheckBox* clockSync_ = nullptr;
    QPushButton* exit_ = nullptr;
    CUserIdEdit* rename_ = nullptr;
    CAboutBox* about_ = nullptr;
    CDownloadDlg* progress_ = nullptr;
    StatusSlot touch_, readEnd_, clearEnd_, noData_, transErr_, userFull_;
    bool progressShown_ = false;
    bool closeEnabled_ = true;
    bool shutDown_ = false;
    int currentTab_ = 0;
    int contextTab_ = 0;
    int progressPosition_ = 0;
    int registeredCount_ = 0;
    int batteryResource_ = 140;
};

}  // namespace lapdex::ui
