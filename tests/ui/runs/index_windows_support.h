// A data folder of two stopwatches with memos, and its run index, for the index windows' tests.
#pragma once

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <string>

#include "configuration.h"
#include "data_folder_fixture.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "run_index_keeper.h"
#include "run_query_worker.h"

namespace lapdex::ui::test {

// Types Japanese text into `widget` as an input method does: one committed character at a time.
inline void typeCommitted(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QInputMethodEvent event;
        event.setCommitString(c);
        QCoreApplication::sendEvent(widget, &event);
    }
}

class IndexedFolder {
  public:
    IndexedFolder() {
        data_ = dir_.path().toStdString() + "/data/";
        FileSystem& fs = systemFileSystem();
        const Configuration config =
            testing::makeDataFolder(fs, data_, {{"0123456789ab", "山田"}, {"00000000beef", "佐藤"}})
                .value_or(Configuration{});
        write(0, testing::steadyRun({2024, 5, 10, 9, 0, 0}, 4, 7000, "向かい風で苦戦"));
        write(0, testing::steadyRun({2024, 5, 10, 10, 30, 0}, 4, 6900, "追い風"));
        write(0, testing::steadyRun({2024, 6, 2, 8, 15, 0}, 6, 7100, ""));
        write(1, testing::steadyRun({2024, 5, 11, 7, 45, 30}, 4, 6800, "雨、向かい風"));
        index =
            std::make_unique<RunIndex>(fs, data_, dir_.path().toStdString() + "/cache/runs.sqlite");
        (void)index->open();
        (void)index->refreshAll(indexedStopwatches(config.registry));
        queries = std::make_unique<RunQueryWorker>(index.get(), FallbackFactory{}, data_);
    }

    void write(int slot, const RunRecord& r) {
        (void)writeRunFile(systemFileSystem(), data_, slot,
                           slot == 0 ? "0123456789ab" : "00000000beef", r);
    }
    const std::string& dataPath() const { return data_; }

    std::unique_ptr<RunIndex> index;
    // The windows' query worker over the index (declared after it: it ends first).
    std::unique_ptr<RunQueryWorker> queries;

  private:
    QTemporaryDir dir_;
    std::string data_;
};

}  // namespace lapdex::ui::test
