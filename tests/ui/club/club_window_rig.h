// The real main window with its View and Settings menus over this PC's data folder and one club
// folder ("PC-B", another PC's data folder as a sync engine leaves it), for the club tests.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "c_user_dialog.h"
#include "club_link.h"
#include "club_menu.h"
#include "club_settings.h"
#include "data_folder_fixture.h"
#include "fake_port.h"
#include "folder_run_source.h"
#include "lapdex_dlg.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "run_index_keeper.h"
#include "run_query_worker.h"
#include "view_menu.h"

namespace lapdex::ui::test {

// Answers the file chooser and the message boxes that open while it lives: the chooser with
// `folder`, each box with OK after noting its text.
class ModalAnswers {
  public:
    QString folder;
    QStringList boxes;
    ModalAnswers() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { act(); });
        timer_.start();
    }

  private:
    void act() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* chooser = qobject_cast<QFileDialog*>(modal); chooser && chooser != answered_) {
            answered_ = chooser;  // accepted once: the accept is queued
            chooser->setDirectory(folder);
            if (auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->clear();
            QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->isVisible()) {
            boxes << box->text();
            box->button(QMessageBox::Ok)->click();
        }
    }
    QTimer timer_;
    QPointer<QFileDialog> answered_;
};

// Every file under `folder` with its bytes: what "nothing was written there" is checked against.
inline std::map<QString, QByteArray> filesUnder(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString path = dir.filePath(name);
        if (QFileInfo(path).isDir()) {
            files[path + u'/'] = {};
            for (auto& [sub, bytes] : filesUnder(path)) files[sub] = bytes;
        } else {
            QFile file(path);
            files[path] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
        }
    }
    return files;
}

class ClubRig {
  public:
    // This PC: 山田 (QTM-01) and 佐藤 (QTM-02). PC-B: 鈴木 (QTM-01) and 山田's stopwatch
    // (QTM-02) with a copy of one of this PC's runs, as a Reload there would write it again.
    ClubRig() {
        const std::string root = dir_.path().toStdString();
        own = root + "/own/";
        club = root + "/PC-B/";
        cache_ = std::make_shared<std::string>(root + "/cache");
        settingsFile = dir_.path() + QStringLiteral("/settings.ini");
        FileSystem& fs = systemFileSystem();
        const Configuration config =
            testing::makeDataFolder(fs, own, {{"0123456789ab", "山田"}, {"00000000beef", "佐藤"}})
                .value_or(Configuration{});
        (void)testing::makeDataFolder(fs, club,
                                      {{"0000000000c1", "鈴木"}, {"0123456789ab", "山田"}});
        write(own, 0, "0123456789ab",
              testing::steadyRun({2024, 5, 10, 9, 0, 0}, 4, 7000, "向かい風"));
        write(own, 1, "00000000beef", testing::steadyRun({2024, 5, 11, 7, 45, 30}, 4, 6800, "雨"));
        write(club, 0, "0000000000c1", testing::steadyRun({2024, 5, 10, 9, 5, 0}, 4, 7200, "坂道"));
        write(club, 1, "0123456789ab",
              testing::steadyRun({2024, 5, 10, 9, 0, 0}, 4, 7000, "向かい風"));
        write(club, 1, "0123456789ab",
              testing::steadyRun({2024, 5, 12, 8, 0, 0}, 5, 7100, "坂道ダッシュ"));
        {
            QSettings settings(settingsFile, QSettings::IniFormat);
            saveClubFolders(settings, {{club, "PC-B"}});
        }
        index = std::make_unique<RunIndex>(fs, own, *cache_ + "/own.sqlite");
        (void)index->open();
        (void)index->refreshAll(indexedStopwatches(config.registry));
        queries = std::make_unique<RunQueryWorker>(index.get(), FallbackFactory{}, own);
        port = std::make_unique<FolderPort>(own, std::vector<std::string>{"山田", "佐藤"});
        window = std::make_unique<CLapdexDlg>(*port, desktop, [](QWidget* p, PageHost& host) {
            return static_cast<StopwatchPage*>(new CUserDialog(p, host));
        });
        static_cast<CUserDialog*>(window->page())->setRunIndex(index.get());
        link = std::make_unique<ClubLink>(*queries, own, environment(), settingsFile);
        views = std::make_unique<ViewMenu>(*window, *queries);
        views->followClub(*link);
        menu = std::make_unique<ClubMenu>(*window, *window->menuBar(), *link);
        window->show();
    }
    ~ClubRig() {
        window->shutdown();
        menu.reset();
        views.reset();
        link.reset();
        window.reset();
        queries.reset();
    }

    static void write(const std::string& data, int slot, const char* serial, const RunRecord& r) {
        (void)writeRunFile(systemFileSystem(), data, slot, serial, r);
    }
    // The cache folder of the club folders' indexes lies in the test's own folder.
    EnvironmentLookup environment() const {
        return [cache = cache_](const char* name) -> const char* {
            return std::string_view(name) == "XDG_CACHE_HOME" ? cache->c_str() : nullptr;
        };
    }
    QString path(const char* relative) const { return dir_.filePath(QString::fromUtf8(relative)); }

    // The runs a plain scan of the folders finds for `query`: this PC's folder and each club
    // folder joined as the club source joins them.
    RunListing scan(const RunQuery& query, const std::vector<ClubFolder>& folders) {
        FolderRunSource ownScan(DataFolder(systemFileSystem(), own));
        std::vector<std::unique_ptr<FolderRunSource>> scans;
        std::vector<ClubRunSource::Member> members;
        for (const ClubFolder& f : folders) {
            scans.push_back(
                std::make_unique<FolderRunSource>(DataFolder(systemFileSystem(), f.path)));
            members.push_back({f.label, scans.back().get()});
        }
        return ClubRunSource(ownScan, std::move(members)).listRuns(query);
    }

    std::string own, club;
    QString settingsFile;
    std::unique_ptr<RunIndex> index;
    std::unique_ptr<RunQueryWorker> queries;
    std::unique_ptr<FolderPort> port;
    FakeDesktop desktop;
    std::unique_ptr<CLapdexDlg> window;
    std::unique_ptr<ClubLink> link;
    std::unique_ptr<ViewMenu> views;
    std::unique_ptr<ClubMenu> menu;

  private:
    QTemporaryDir dir_;
    std::shared_ptr<std::string> cache_;
};

// A run as both the window and the scan name it.
using RunKey = std::tuple<std::string, std::string, std::string>;  // pc, folder, file

inline std::set<RunKey> keysOf(const std::vector<RunRow>& rows) {
    std::set<RunKey> keys;
    for (const RunRow& r : rows) keys.insert({r.pc, r.folderName, r.fileName});
    return keys;
}

}  // namespace lapdex::ui::test
