// A catalogue page that records what the catalogue hands it, for the catalogue's tests.
#pragma once

#include <string>
#include <vector>

#include "recorded_cells.h"
#include "run_catalogue.h"

namespace lapdex::testing {

class FakePage : public CataloguePage {
  public:
    std::string stopwatchFolder() const override { return folder; }
    int registeredCount() const override { return registered; }
    std::vector<std::string>& runPaths() override { return paths; }
    RunCellStore& cellStore() override { return cells; }
    bool showsMonthView() const override { return monthView; }
    DisplayedRange displayedRange() const override { return range; }
    void setDayStates(const std::vector<std::uint32_t>& masks) override {
        handedMasks = masks;
        ++handedCount;
    }

    std::string folder;
    int registered = 1;
    std::vector<std::string> paths;
    RecordedCells cells;
    bool monthView = true;
    DisplayedRange range{{2015, 2, 22}, {2015, 4, 4}, 3};
    std::vector<std::uint32_t> handedMasks;
    int handedCount = 0;
};

}  // namespace lapdex::testing
