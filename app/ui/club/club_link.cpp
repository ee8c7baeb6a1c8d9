// The club folders behind the windows' questions, and the changes the club watch tells.
#include "club_link.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSettings>
#include <mutex>

#include "club_settings.h"

namespace lapdex::ui {
namespace {

// The label of a club folder in which something changed, carried from the watch's thread.
class ClubChangeEvent : public QEvent {
  public:
    explicit ClubChangeEvent(std::string label) : QEvent(type()), label_(std::move(label)) {}
    static QEvent::Type type() {
        static const int registered = QEvent::registerEventType();
        return static_cast<QEvent::Type>(registered);
    }
    const std::string& label() const { return label_; }

  private:
    std::string label_;
};

}  // namespace

// Carries a club folder's change from any thread to the link, while there is one.
struct ClubLink::Relay {
    std::mutex mutex;
    ClubLink* link = nullptr;

    void tell(const std::string& label) {
        std::lock_guard<std::mutex> lock(mutex);
        // Posting never blocks the teller.
        if (link) QCoreApplication::postEvent(link, new ClubChangeEvent(label));
    }
};

ClubLink::ClubLink(RunQueryWorker& queries, std::string ownDataFolder,
                   EnvironmentLookup environment, QString settingsFile, QObject* parent)
    : QObject(parent),
      queries_(queries),
      ownDataFolder_(std::move(ownDataFolder)),
      environment_(std::move(environment)),
      settingsFile_(std::move(settingsFile)) {
    relay_ = std::make_shared<Relay>();
    relay_->link = this;
    watch_ = std::make_unique<ClubWatch>(
        [relay = relay_](const std::string& label) { relay->tell(label); });
    const std::unique_ptr<QSettings> kept = settings();
    apply(loadClubFolders(*kept));
}

ClubLink::~ClubLink() {
    {
        std::lock_guard<std::mutex> lock(relay_->mutex);
        relay_->link = nullptr;
    }
    watch_.reset();
}

std::unique_ptr<QSettings> ClubLink::settings() const {
    if (settingsFile_.isEmpty())
        return std::make_unique<QSettings>(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    return std::make_unique<QSettings>(settingsFile_, QSettings::IniFormat);
}

QString ClubLink::ownLabel() const {
    const std::unique_ptr<QSettings> kept = settings();
    return kept->value(QString::fromLatin1(kClubOwnLabelKey)).toString().trimmed();
}

void ClubLink::save(const std::vector<ClubFolder>& folders, const QString& ownLabel) {
    {
        const std::unique_ptr<QSettings> kept = settings();
        saveClubFolders(*kept, folders);
        saveOwnPcLabel(*kept, ownLabel);
    }
    apply(folders);
    emit runsArrived();
}

void ClubLink::apply(std::vector<ClubFolder> folders) {
    folders_ = std::move(folders);
    // The folders' sources are made and dropped on the worker's thread, in turn with the
    // questions: every question asked from now on sees the new club.
    queries_.tell([folders = folders_, environment = environment_,
                   relay = relay_](WindowRunSource& source) {
        std::vector<std::unique_ptr<ClubFolderSource>> sources;
        for (const ClubFolder& folder : folders) {
            // The index answers from the folder's settled times at first; when its first
            // comparison of every file finds more, the windows ask again.
            sources.push_back(std::make_unique<ClubFolderSource>(
                systemFileSystem(), folder, environment,
                [relay, label = folder.label] { relay->tell(label); }));
        }
        source.setClub(std::move(sources));
    });
    watch_->watch(folders_);
}

void ClubLink::customEvent(QEvent* event) {
    if (event->type() == ClubChangeEvent::type())
        folderChanged(static_cast<ClubChangeEvent*>(event)->label());
}

void ClubLink::folderChanged(const std::string& label) {
    // The folder's index is compared first, on the worker's thread, so the windows' questions that
    // follow are answered from an index that has the new files.
    queries_.ask<bool>(
        this,
        [label](WindowRunSource& source) {
            ClubFolderSource* folder = source.clubFolder(label);
            if (folder) folder->compareNow();
            return folder != nullptr;
        },
        [this](bool known) {
            if (known) emit runsArrived();
        });
}

}  // namespace lapdex::ui
