// The page's content as the run file reader fills it: run list lines, the six texts of the
// selected run and its lap rows, stored by the ordinal rule.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "run_file_reader.h"

namespace lapdex::ui {

// The six information texts, in the order of the run file's summary columns 1 to 6.
enum PageText : int { kTotalTime, kLapCount, kBestLapNumber, kBestLapTime, kAverageLapTime, kMemo };
inline constexpr int kPageTextCount = 6;

inline constexpr int kRunMemoShown = 200;  // characters of a run memo the page shows
inline constexpr int kLapMemoShown = 20;   // characters of a lap memo the page shows

struct LapRow {
    QString number;
    QString lap;    // display form (displayTime)
    QString split;  // display form
    QString memo;
    std::int64_t lapCs = -1;  // the lap time in hundredths of a second; -1 when unreadable
};

struct PageContent {
    QStringList runLines;  // one start date and time per listed run, in listing order
    std::array<QString, kPageTextCount> texts;
    std::vector<LapRow> laps;
    bool runLoaded = false;  // a run's memo cell was stored: memo editing is allowed
};

// Stores the reader's cells into a PageContent. Cells of a day listing (ordinal >= 1) add the
// run's line to the run list, and only the run at ordinal selectedRun + 1 fills the texts and
// laps; a single run read for display (ordinal -1) fills them always.
class PageCellStore : public RunCellStore {
public:
    // Both must outlive the store; `selectedRun` is read at every cell.
    PageCellStore(PageContent& content, const int& selectedRun) : content_(content), selectedRun_(selectedRun) {}

    void storeCell(int row, int column, const std::string& text, int ordinal) override;

private:
    void storeSummary(int column, const QString& text);
    void storeLap(int row, int column, const QString& text);

    PageContent& content_;
    const int& selectedRun_;
};

}  // namespace lapdex::ui
