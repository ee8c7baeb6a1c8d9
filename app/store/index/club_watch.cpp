// The club watch's thread: one inotify descriptor for every club folder, a wake-up descriptor for
// watch() and the destructor, settling of bursts and the periodic re-checks (Linux).
#include "club_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "club_folder_watch.h"
#include "folder_watch.h"

namespace lapdex {
namespace {

using Clock = std::chrono::steady_clock;

// A label with changes not yet told.
struct Pending {
    Clock::time_point first;
    Clock::time_point last;
};

}  // namespace

struct ClubWatch::State {
    Changed changed;
    std::chrono::milliseconds settle;
    std::chrono::milliseconds recheck;
    ClubNotices notices;

    std::mutex mutex;
    std::condition_variable appliedChanged;
    std::vector<ClubFolder> wanted;  // guarded by mutex
    std::uint64_t asked = 0;         // guarded by mutex: watch() calls
    std::uint64_t applied = 0;       // guarded by mutex: watch() calls the thread has set up
    bool stopping = false;           // guarded by mutex

    int wakeFd = -1;
    int inotifyFd = -1;
    std::thread thread;

    // The thread's own.
    std::vector<std::unique_ptr<ClubFolderWatch>> folders;
    std::map<std::string, Pending> pending;
    Clock::time_point nextRecheck;

    void run();
    bool takeWakeUp();
    void apply(const std::vector<ClubFolder>& folders);
    void readNotices();
    void note(const std::string& label, Clock::time_point now);
    void tellDue(Clock::time_point now);
    Clock::time_point dueAt(const Pending& pending) const;
    int pollTimeoutMs(Clock::time_point now) const;
};

ClubWatch::ClubWatch(Changed changed, std::chrono::milliseconds settle,
                     std::chrono::milliseconds recheck, ClubNotices notices)
    : state_(std::make_unique<State>()) {
    state_->changed = std::move(changed);
    state_->settle = std::max(settle, std::chrono::milliseconds(0));
    state_->recheck = std::max(recheck, std::chrono::milliseconds(1));
    state_->notices = notices;
    state_->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (notices == ClubNotices::WhereCovered) {
        state_->inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    }
    state_->nextRecheck = Clock::now() + state_->recheck;
    state_->thread = std::thread([state = state_.get()] { state->run(); });
}

ClubWatch::~ClubWatch() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->stopping = true;
    }
    state_->appliedChanged.notify_all();
    const std::uint64_t one = 1;
    (void)!::write(state_->wakeFd, &one, sizeof one);
    state_->thread.join();
    state_->folders.clear();  // removes the watches before their descriptor closes
    if (state_->inotifyFd >= 0) ::close(state_->inotifyFd);
    if (state_->wakeFd >= 0) ::close(state_->wakeFd);
}

void ClubWatch::watch(const std::vector<ClubFolder>& folders) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->wanted = folders;
    const std::uint64_t ask = ++state_->asked;
    const std::uint64_t one = 1;
    (void)!::write(state_->wakeFd, &one, sizeof one);
    // Called from `changed` on the thread itself, the folders are taken at the next round.
    if (std::this_thread::get_id() == state_->thread.get_id()) return;
    // So that a file arriving after watch() returns is seen.
    state_->appliedChanged.wait(lock, [&] { return state_->applied >= ask || state_->stopping; });
}

void ClubWatch::State::run() {
    for (;;) {
        pollfd fds[2] = {{wakeFd, POLLIN, 0}, {inotifyFd, POLLIN, 0}};
        const int count = inotifyFd >= 0 ? 2 : 1;
        // Without a wake-up descriptor, watch() and the destructor are seen at the next poll.
        const int timeout =
            wakeFd >= 0 ? pollTimeoutMs(Clock::now()) : std::min(pollTimeoutMs(Clock::now()), 50);
        (void)::poll(fds, static_cast<nfds_t>(count), timeout);
        if (!takeWakeUp()) return;
        if (count == 2 && (fds[1].revents & POLLIN) != 0) readNotices();
        Clock::time_point now = Clock::now();
        if (now >= nextRecheck) {
            for (const auto& folder : folders) {
                if (folder->recheck()) note(folder->folder().label, now);
            }
            now = Clock::now();
            nextRecheck = now + recheck;
        }
        tellDue(now);
    }
}

// False when the watch is stopping.
bool ClubWatch::State::takeWakeUp() {
    std::uint64_t count = 0;
    if (wakeFd >= 0) (void)!::read(wakeFd, &count, sizeof count);
    std::vector<ClubFolder> next;
    std::uint64_t ask = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (stopping) return false;
        if (applied == asked) return true;
        next = wanted;
        ask = asked;
    }
    apply(next);
    {
        std::lock_guard<std::mutex> lock(mutex);
        applied = ask;
    }
    appliedChanged.notify_all();
    return true;
}

// Keeps the watches of folders that stay; a folder newly watched is not a change.
void ClubWatch::State::apply(const std::vector<ClubFolder>& next) {
    std::vector<std::unique_ptr<ClubFolderWatch>> kept;
    for (const ClubFolder& folder : next) {
        const auto same = std::find_if(folders.begin(), folders.end(), [&](const auto& watched) {
            return watched && watched->folder() == folder;
        });
        if (same != folders.end()) {
            kept.push_back(std::move(*same));
            continue;
        }
        kept.push_back(std::make_unique<ClubFolderWatch>(folder, inotifyFd, notices));
        kept.back()->resync();
    }
    folders = std::move(kept);
    for (auto it = pending.begin(); it != pending.end();) {
        const bool stays = std::any_of(next.begin(), next.end(), [&](const ClubFolder& folder) {
            return folder.label == it->first;
        });
        it = stays ? std::next(it) : pending.erase(it);
    }
}

void ClubWatch::State::readNotices() {
    const Clock::time_point now = Clock::now();
    bool lost = false;
    const bool read =
        readNotifications(inotifyFd, [&](int wd, std::uint32_t mask, const std::string& name) {
            if ((mask & IN_Q_OVERFLOW) != 0) lost = true;
            for (const auto& folder : folders) {
                const auto notice = folder->handle(wd, mask, name);
                if (notice == ClubFolderWatch::Notice::Changed) note(folder->folder().label, now);
                if (notice != ClubFolderWatch::Notice::NotMine) break;
            }
        });
    if (read && !lost) return;
    // Notifications were lost: anything may have changed, and stopwatch folders may have
    // appeared unwatched.
    for (const auto& folder : folders) {
        folder->resync();
        note(folder->folder().label, now);
    }
}

void ClubWatch::State::note(const std::string& label, Clock::time_point now) {
    const auto [it, added] = pending.try_emplace(label, Pending{now, now});
    if (!added) it->second.last = now;
}

// Settled once nothing happened for `settle`; a folder that never rests is still told every few
// settle times, so a long transfer shows as it goes.
Clock::time_point ClubWatch::State::dueAt(const Pending& noted) const {
    return std::min(noted.last + settle, noted.first + 3 * settle);
}

void ClubWatch::State::tellDue(Clock::time_point now) {
    std::vector<std::string> due;
    for (auto it = pending.begin(); it != pending.end();) {
        if (dueAt(it->second) > now) {
            ++it;
            continue;
        }
        due.push_back(it->first);
        it = pending.erase(it);
    }
    for (const std::string& label : due) changed(label);
}

int ClubWatch::State::pollTimeoutMs(Clock::time_point now) const {
    Clock::time_point wake = nextRecheck;
    for (const auto& [label, noted] : pending) wake = std::min(wake, dueAt(noted));
    if (wake <= now) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
    return static_cast<int>(std::min<long long>(ms, 60'000));
}

}  // namespace lapdex
