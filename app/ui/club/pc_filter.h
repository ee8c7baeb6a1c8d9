// The "PC" column's visibility and the PC filter of the windows that list several data folders'
// stopwatches side by side (team day, stopwatch list, progress).
#pragma once

#include <QComboBox>
#include <optional>
#include <string>
#include <vector>

#include "run_source.h"

namespace lapdex::ui {

// True once a club folder is configured in the program's settings: only then do the windows show
// the "PC" column and filter, so a single PC's windows look as they always did.
bool pcColumnShown();

// The PCs of `stopwatches` in the order they first appear ("" is this PC's).
std::vector<std::string> pcsOf(const std::vector<RunStopwatch>& stopwatches);

// "Every PC" first, then each PC found among the stopwatches, named as the "PC" column names it.
// Hidden while no club folder is configured. Changing the choice emits currentIndexChanged;
// fill() does not.
class PcFilter : public QComboBox {
    Q_OBJECT
  public:
    explicit PcFilter(QWidget* parent);

    // Offers the PCs of `stopwatches`, keeping the choice while that PC is still among them, and
    // shows the filter when pcColumnShown().
    void fill(const std::vector<RunStopwatch>& stopwatches);
    // The PC chosen; nullopt for every PC.
    std::optional<std::string> chosen() const;
    // Whether rows of `pc` are shown under the choice.
    bool passes(const std::string& pc) const;
    // The first choice and this PC's name in the language shown now.
    void retranslate();

  private:
    std::vector<std::string> pcs_;
};

}  // namespace lapdex::ui
