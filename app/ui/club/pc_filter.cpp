// The PC filter and whether the "PC" column is shown.
#include "pc_filter.h"

#include <QSettings>
#include <QSignalBlocker>
#include <algorithm>

#include "club_settings.h"
#include "pc_filter_texts.h"

namespace lapdex::ui {

bool pcColumnShown() {
    QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    return !loadClubFolders(settings).empty();
}

std::vector<std::string> pcsOf(const std::vector<RunStopwatch>& stopwatches) {
    std::vector<std::string> pcs;
    for (const RunStopwatch& s : stopwatches)
        if (std::find(pcs.begin(), pcs.end(), s.pc) == pcs.end()) pcs.push_back(s.pc);
    return pcs;
}

PcFilter::PcFilter(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    hide();  // until a club folder is configured
    retranslate();
}

void PcFilter::fill(const std::vector<RunStopwatch>& stopwatches) {
    const std::optional<std::string> was = chosen();
    {
        // The window applies the choice itself once the rows are there.
        QSignalBlocker quiet(this);
        pcs_ = pcsOf(stopwatches);
        clear();
        addItem(QString());
        for (std::size_t i = 0; i < pcs_.size(); ++i) addItem(QString());
        retranslate();
        const auto kept = was ? std::find(pcs_.begin(), pcs_.end(), *was) : pcs_.end();
        setCurrentIndex(kept == pcs_.end() ? 0 : static_cast<int>(kept - pcs_.begin()) + 1);
    }
    setVisible(pcColumnShown());
}

std::optional<std::string> PcFilter::chosen() const {
    const int index = currentIndex();
    if (index <= 0 || index > static_cast<int>(pcs_.size())) return std::nullopt;
    return pcs_[static_cast<std::size_t>(index - 1)];
}

bool PcFilter::passes(const std::string& pc) const {
    const std::optional<std::string> only = chosen();
    return !only || *only == pc;
}

void PcFilter::retranslate() {
    setAccessibleName(ui::localized(pc_filter_text::kFilterName));
    if (count() == 0) return;
    setItemText(0, ui::localized(pc_filter_text::kEveryPc));
    QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    const QString own = ownPcLabel(settings);
    for (std::size_t i = 0; i < pcs_.size() && static_cast<int>(i) + 1 < count(); ++i)
        setItemText(static_cast<int>(i) + 1, pcText(pcs_[i], own));
}

}  // namespace lapdex::ui
