// A data folder of two stopwatches with memos, and its run index, for the index windows' tests.
#pragma once

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <string>

#include "configuration.h"
#include "run_file_writer.h"
#include "run_index_keeper.h"

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
        (void)fs.createFolder(data_);
        const DataFolder folder(fs, data_);
        Configuration config;
        config.registry.entry(0) = {"0123456789ab", "山田", 0};
        config.registry.entry(1) = {"00000000beef", "佐藤", 0};
        (void)saveConfiguration(folder, config);
        createStopwatchFolders(folder, config.registry);
        write(0, run({2024, 5, 10, 9, 0, 0}, 4, 7000, "向かい風で苦戦"));
        write(0, run({2024, 5, 10, 10, 30, 0}, 4, 6900, "追い風"));
        write(0, run({2024, 6, 2, 8, 15, 0}, 6, 7100, ""));
        write(1, run({2024, 5, 11, 7, 45, 30}, 4, 6800, "雨、向かい風"));
        index =
            std::make_unique<RunIndex>(fs, data_, dir_.path().toStdString() + "/cache/runs.sqlite");
        (void)index->open();
        (void)index->refreshAll(indexedStopwatches(config.registry));
    }

    // A Clock run of `laps` equal laps of `lapHundredths`.
    static RunRecord run(RunStart start, int laps, std::uint32_t lapHundredths, const char* memo) {
        RunRecord r;
        r.start = start;
        auto time = [](std::uint32_t h) {
            return RunTime{h / 360000, h / 6000 % 60, h / 100 % 60, h % 100, 0};
        };
        for (int i = 1; i <= laps; ++i)
            r.laps.push_back(
                LapEntry{i, time(lapHundredths), time(lapHundredths * std::uint32_t(i)), {}});
        r.lapCount = laps;
        r.total = r.laps.back().split;
        r.bestLapNumber = 1;
        r.bestLap = r.averageLap = r.laps.front().lap;
        r.memo = memo;
        return r;
    }
    void write(int slot, const RunRecord& r) {
        (void)writeRunFile(systemFileSystem(), data_, slot,
                           slot == 0 ? "0123456789ab" : "00000000beef", r);
    }
    const std::string& dataPath() const { return data_; }

    std::unique_ptr<RunIndex> index;

  private:
    QTemporaryDir dir_;
    std::string data_;
};

}  // namespace lapdex::ui::test
