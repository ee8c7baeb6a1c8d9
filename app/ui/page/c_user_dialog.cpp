#include "c_user_dialog.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "copy_as_text.h"
#include "indexed_catalogue.h"
#include "language_follower.h"
#include "lap_chart.h"
#include "message_event.h"
#include "month_calendar.h"
#include "page_texts.h"
#include "run_catalogue.h"

namespace lapdex::ui {

namespace {

constexpr int kTextControls[kPageTextCount] = {kPageTotalTime,      kPageLapCount,
                                               kPageBestLapNumber,  kPageBestLapTime,
                                               kPageAverageLapTime, kPageMemo};

CalendarDate calendarDate(QDate date) {
    return CalendarDate{date.year(), date.month(), date.day()};
}

}  // namespace

// The page as the catalogue sees it.
class CUserDialog::Catalogue : public CataloguePage {
  public:
    explicit Catalogue(CUserDialog& page) : page_(page) {}
    std::string stopwatchFolder() const override { return page_.host_.currentStopwatchFolder(); }
    int registeredCount() const override { return page_.host_.registeredCount(); }
    std::vector<std::string>& runPaths() override { return page_.runPaths_; }
    RunCellStore& cellStore() override { return page_.cells_; }
    // The calendar has no year or decade view, so it always shows single days.
    bool showsMonthView() const override { return true; }
    DisplayedRange displayedRange() const override {
        const MonthCalendar& c = *page_.calendar_;
        return DisplayedRange{calendarDate(c.firstGridDate()), calendarDate(c.lastGridDate()),
                              c.gridMonthCount()};
    }
    void setDayStates(const std::vector<std::uint32_t>& masks) override {
        page_.calendar_->setDayStates(masks);
    }

  private:
    CUserDialog& page_;
};

CUserDialog::CUserDialog(QWidget* parent, PageHost& host, FileSystem& fs,
                         std::optional<ScreenFacts> screen)
    : StopwatchPage(parent),
      host_(host),
      fs_(fs),
      screen_(screen ? *screen : ScreenFacts::current()),
      selectedDate_(QDate::currentDate()),
      catalogue_(std::make_unique<Catalogue>(*this)) {
    runEditDialog = [](EditDialog& dialog) { return dialog.exec(); };
    hide();
    buildPage();
    connectControls();
    installFilters();
    lapMemo_ = new CLapMemo(this);
    runMemo_ = new CRunMemo(this);
    attachChart();
}

CUserDialog::~CUserDialog() {
    if (chart_ && !chart_->parent()) delete chart_;
}

void CUserDialog::buildPage() {
    setFont(dialogFont());
    const DialogTemplate page = loadTemplate(QStringLiteral("page"));
    const DialogUnits units(font());
    // The builder's stock calendar shows one month; the page puts its own in the same place.
    DialogTemplate rest = page;
    std::erase_if(rest.controls, [](const ControlSpec& c) { return c.id == kPageCalendar; });
    const ControlSet built = buildControls(rest, this, units);
    std::size_t next = 0;
    for (const ControlSpec& control : page.controls) {
        if (control.id != kPageCalendar) {
            controls_.add(control.id, built.all()[next++]);
            continue;
        }
        calendar_ = new MonthCalendar(this);
        calendar_->setGeometry(units.toPixels(control.rect));
        calendar_->setObjectName(QStringLiteral("ctl%1").arg(control.id));
        calendar_->setProperty("controlId", control.id);
        calendar_->setAccessibleName(control.name);
        controls_.add(control.id, calendar_);
    }
    // The template's size is the least; the window may give the page more.
    minimum_ = size();
    setMinimumSize(minimum_);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    stretch_.addTemplate(page, controls_);
    runList_ = controls_.as<QListWidget>(kPageRunList);
    lapList_ = controls_.as<QTreeWidget>(kPageLapList);
    memoBox_ = controls_.as<QPlainTextEdit>(kPageMemo);
    allData_ = controls_.as<QPushButton>(kPageAllData);
    delete_ = controls_.as<QPushButton>(kPageDelete);
    for (QPushButton* button : {allData_, delete_}) button->setAutoDefault(false);
    lapList_->setSelectionMode(QAbstractItemView::SingleSelection);
    lapList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    installCopyAsText(lapList_, CopyRows::All);
    // The memo box is white and has no context menu. Tab reaches it: Enter, F2, Space or a
    // click opens its editor.
    QPalette white = memoBox_->palette();
    white.setColor(QPalette::Base, Qt::white);
    memoBox_->setPalette(white);
    // (The viewport's policy is the box's own: it is the box's focus proxy.)
    memoBox_->setFocusPolicy(Qt::StrongFocus);
    memoBox_->setContextMenuPolicy(Qt::NoContextMenu);
    // The tool tip is the only word on how to edit the memo: a screen reader reads it too.
    followLanguage(memoBox_, [memo = memoBox_, laps = lapList_] {
        memo->setAccessibleDescription(ui::localized(page_text::kMemoToolTip));
        laps->setAccessibleDescription(ui::localized(page_text::kMemoToolTip));
    });
    const std::vector<QWidget*> order = focusOrder();
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

std::vector<QWidget*> CUserDialog::focusOrder() const {
    return {calendar_, runList_, allData_, delete_, lapList_, memoBox_};
}

void CUserDialog::resizeEvent(QResizeEvent* event) {
    StopwatchPage::resizeEvent(event);
    stretch_.apply(size() - minimum_);
}

void CUserDialog::connectControls() {
    connect(calendar_, &MonthCalendar::selectionChanged, this,
            &CUserDialog::calendarSelectionChanged);
    connect(calendar_, &MonthCalendar::dayStatesNeeded, this,
            [this] { postPageMessage(PAGE_MARK_DAYS); });
    connect(runList_, &QListWidget::currentRowChanged, this, [this] { runSelectionChanged(); });
    connect(allData_, &QPushButton::clicked, this, &CUserDialog::openAllData);
    connect(delete_, &QPushButton::clicked, this, &CUserDialog::deleteSelectedRun);
}

void CUserDialog::createLapColumns() {
    lapList_->setColumnCount(4);
    followLanguage(lapList_, [list = lapList_] {
        list->setHeaderLabels(
            {ui::localized(page_text::kLapHeaders[0]), ui::localized(page_text::kLapHeaders[1]),
             ui::localized(page_text::kLapHeaders[2]), ui::localized(page_text::kLapHeaders[3])});
    });
    // The memo column fills whatever the list's viewport leaves, with or without a scroll bar,
    // so a memo is never cut beside empty space.
    lapList_->header()->setStretchLastSection(true);
    lapList_->header()->setSectionsMovable(false);
    lapList_->header()->setMinimumSectionSize(1);
    const int client = lapList_->width() - 2 * lapList_->frameWidth();
    const auto widths = lapColumnWidths(screenScale(screen_.dotsPerInchX), client);
    for (int column = 0; column < 4; ++column) lapList_->setColumnWidth(column, widths[column]);
}

void CUserDialog::initialisePage() {
    createLapColumns();
    calendar_->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
    if (const auto place = calendarPlacement(screen_)) {
        stretch_.removeExtra();
        calendar_->setGeometry(fittedCalendarPlace(*place));
        stretch_.placeAgain();
    }
    // Showing the previous and the current month: select day 1 of the previous month first.
    calendar_->setSelectedDate(monthStart(QDate::currentDate()).addMonths(-1));
    content_.runLoaded = false;
    lapList_->viewport()->setMouseTracking(true);
    showDay();
    // The calendar asks for its first day states once it is up.
    postPageMessage(PAGE_MARK_DAYS);
}

QRect CUserDialog::fittedCalendarPlace(const QRect& place) const {
    // The table's pixels suit the font it was measured with; with a narrower dialog font they
    // would reach over the run list, so the calendar stays inside its group box.
    for (QWidget* w : controls_.all()) {
        auto* group = qobject_cast<QGroupBox*>(w);
        if (!group || !group->geometry().contains(calendar_->geometry())) continue;
        const DialogUnits units(font());
        const QRect inside = group->geometry().adjusted(units.toPixelsX(2), units.toPixelsY(10),
                                                        -units.toPixelsX(2), -units.toPixelsY(2));
        return place.intersected(inside);
    }
    return place;
}

void CUserDialog::clearPage() {
    runPaths_.clear();
    content_.runLines.clear();
    clearRunDetails();
    renderRunList();
}

void CUserDialog::clearRunDetails() {
    for (QString& text : content_.texts) text.clear();
    content_.laps.clear();
    content_.runLoaded = false;
    renderLaps();
}

void CUserDialog::showDay() {
    // A listing always starts from an empty list, so it never shows a run twice.
    runPaths_.clear();
    content_.runLines.clear();
    content_.laps.clear();
    (void)listRunsOfDay(runIndex_, fs_, *catalogue_, calendarDate(selectedDate_));
    renderRunList();
    renderLaps();
    pushValues();
}

void CUserDialog::keepSelection(const std::string& path) {
    const auto found = std::find(runPaths_.begin(), runPaths_.end(), path);
    // A run that is gone leaves the selection where the listing put it.
    if (path.empty() || found == runPaths_.end()) return;
    const int row = static_cast<int>(found - runPaths_.begin());
    if (row == selectedRun_) return;
    selectedRun_ = row;
    clearRunDetails();
    if (!readRunFile(fs_, path, -1, cells_)) clearRunDetails();
    renderLaps();
}

void CUserDialog::computeDayMasks() {
    (void)lapdex::computeDayMasks(runIndex_, fs_, *catalogue_);
}

void CUserDialog::handlePageMessage(MessageId id) {
    if (id == PAGE_MARK_DAYS) {
        markDaysPosted_ = false;
        computeDayMasks();
        pushValues();
        return;
    }
    if (id != PAGE_STOPWATCH_CHANGED && id != PAGE_DATA_CHANGED) return;
    const std::string selected = id == PAGE_DATA_CHANGED && runIndexValid()
                                     ? runPaths_[static_cast<std::size_t>(selectedRun_)]
                                     : std::string();
    forgetBestRuns();
    clearPage();
    computeDayMasks();
    if (id == PAGE_STOPWATCH_CHANGED) selectedRun_ = 0;
    showDay();
    keepSelection(selected);
    if (id == PAGE_DATA_CHANGED) host_.refreshBatteryNow();
    pushValues();
}

void CUserDialog::selectDay(QDate day) {
    if (!day.isValid()) return;
    selectedDate_ = day;
    selectedRun_ = 0;
    calendar_->setSelectedDate(day);
}

void CUserDialog::customEvent(QEvent* event) {
    if (event->type() == MessageEvent::eventType())
        handlePageMessage(static_cast<MessageEvent*>(event)->id());
}

void CUserDialog::postPageMessage(MessageId id) {
    // Scrolling asks for day marks and changes the selection, which asks again: one scan serves
    // both.
    if (id == PAGE_MARK_DAYS) {
        if (markDaysPosted_) return;
        markDaysPosted_ = true;
    }
    QCoreApplication::postEvent(this, new MessageEvent(id));
}

void CUserDialog::pushValues() {
    for (int i = 0; i < kPageTextCount; ++i) {
        if (i == kMemo)
            memoBox_->setPlainText(content_.texts[kMemo]);
        else
            controls_.as<QLabel>(kTextControls[i])->setText(content_.texts[i]);
    }
    {
        const QSignalBlocker block(runList_);
        runList_->setCurrentRow(runIndexValid() ? selectedRun_ : -1);
    }
    calendar_->setSelectedDate(selectedDate_);
}

void CUserDialog::pullValues() {
    selectedRun_ = runList_->currentRow();
    selectedDate_ = calendar_->selectedDate();
}

void CUserDialog::renderRunList() {
    const QSignalBlocker block(runList_);
    runList_->clear();
    runList_->addItems(content_.runLines);
    markBestRuns();
}

void CUserDialog::renderLaps() {
    lapList_->clear();
    QList<QTreeWidgetItem*> rows;
    for (const LapRow& lap : content_.laps)
        rows.append(new QTreeWidgetItem(QStringList{lap.number, lap.lap, lap.split, lap.memo}));
    lapList_->addTopLevelItems(rows);
    renderChart();
}

bool CUserDialog::runIndexValid() const {
    return selectedRun_ >= 0 && selectedRun_ < static_cast<int>(runPaths_.size());
}

}  // namespace lapdex::ui
