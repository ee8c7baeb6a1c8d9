// What the stopwatch page needs of the main window: the worker's pause and lock, the
// current stopwatch, and the window's message boxes and battery refresh.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lapdex::ui {

// Implemented by the main window. Every call comes from the user interface thread. The
// names and signatures of pauseWorker, resumeWorker, askYesNo, showError and
// registeredCount match the window's own, so one member serves both interfaces.
class PageHost {
  public:
    virtual ~PageHost() = default;

    // CMD_PAUSE to the worker (it takes effect at its next tick).
    virtual void pauseWorker() = 0;
    // CMD_DOWNLOAD_NEW to the worker: polling for new runs again.
    virtual void resumeWorker() = 0;
    // Runs `work` while holding the worker lock, so page file work never interleaves with a
    // download writing files. Called only between pauseWorker and resumeWorker.
    virtual void withWorkerLock(const std::function<void()>& work) = 0;

    // Data folder + "QTM-%02d" of findByName(text of tab currentTab) + 1, no trailing '/';
    // QTM-00 when no slot carries the tab's text (see selectedStopwatchFolder()).
    virtual std::string currentStopwatchFolder() = 0;
    // Number of registry slots in use.
    virtual int registeredCount() const = 0;

    // Message boxes titled "K7X Stopwatch"; texts are UTF-8.
    virtual bool askYesNo(std::string_view text) = 0;   // Yes and No, information icon
    virtual void showError(std::string_view text) = 0;  // OK, error icon

    // NTF_BATTERY sent to the window and handled before this returns.
    virtual void refreshBatteryNow() = 0;

    // Asks the desktop to open a folder or document; when nothing can, tells the user where it is.
    virtual void openWithDesktop(const std::string& path) = 0;

    // A run file has been deleted and the run index told: the other windows show it gone.
    virtual void runDeleted() = 0;
    // What a deletion offers the file to first (see PathDiscard): the desktop's trash.
    virtual bool discard(const std::string& path) = 0;
};

}  // namespace lapdex::ui
