// Keeps the windows' query worker reading the club folders the user chose and tells the open
// windows when another PC's runs arrived in one of them.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "club_run_source.h"
#include "club_watch.h"
#include "data_folder.h"
#include "run_query_worker.h"

class QSettings;

namespace lapdex::ui {

class ClubLink : public QObject {
    Q_OBJECT
  public:
    // Reads the club folders from the settings and starts reading and watching them. `queries`
    // must outlive the link. `settingsFile` "" keeps the user's settings; a test gives an INI file
    // of its own. `environment` names the cache folder of the club folders' indexes.
    ClubLink(RunQueryWorker& queries, std::string ownDataFolder, EnvironmentLookup environment,
             QString settingsFile = {}, QObject* parent = nullptr);
    // Stops the watch: no change is told after it returns.
    ~ClubLink() override;

    const std::vector<ClubFolder>& folders() const { return folders_; }
    // The label the user gave this PC, or "" (the windows then show "このPC" / "This PC" in the
    // language shown).
    QString ownLabel() const;
    const std::string& ownDataFolder() const { return ownDataFolder_; }

    // Keeps these folders and this PC's label in the settings and reads them from now on: the
    // open windows ask again at once.
    void save(const std::vector<ClubFolder>& folders, const QString& ownLabel);
    // The settings the link keeps its folders in.
    std::unique_ptr<QSettings> settings() const;

  signals:
    // A club folder changed and its index has been compared, or the club folders were changed:
    // what the windows show may be out of date.
    void runsArrived();

  protected:
    void customEvent(QEvent* event) override;

  private:
    void apply(std::vector<ClubFolder> folders);
    void folderChanged(const std::string& label);

    RunQueryWorker& queries_;
    std::string ownDataFolder_;
    EnvironmentLookup environment_;
    QString settingsFile_;
    std::vector<ClubFolder> folders_;
    struct Relay;
    // Shared with the watch and the folders' keepers, which live on other threads and may
    // outlast the link.
    std::shared_ptr<Relay> relay_;
    std::unique_ptr<ClubWatch> watch_;
};

}  // namespace lapdex::ui
