#include "lapdex_dlg.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <clocale>

#include "main_window_texts.h"
#include "message_event.h"
#include "pictures.h"

namespace lapdex::ui {

namespace {
constexpr int kTabControl = 1000;
constexpr int kBatteryPicture = 1012;
constexpr int kClockSync = 1023;
constexpr int kExitButton = 1009;

}  // namespace

CLapdexDlg::CLapdexDlg(EnginePort& port, Desktop& desktop, PageFactory makePage)
    : port_(port), desktop_(desktop), makePage_(std::move(makePage)) {
    initialiseWindow();
}

CLapdexDlg::~CLapdexDlg() { shutdown(); }

void CLapdexDlg::initialiseWindow() {
    // Run files and messages are Japanese; the locale is a best effort where it exists. A
    // system locale that is not installed (LANG=ja_JP.UTF-8 without it) still gets UTF-8, or
    // window titles reach the window manager as Latin-1.
    if (!std::setlocale(LC_ALL, "ja_JP.UTF-8") && !std::setlocale(LC_ALL, ""))
        std::setlocale(LC_ALL, "C.UTF-8");
    std::setlocale(LC_NUMERIC, "C");
    template_ = loadTemplate(QStringLiteral("main_window"));
    setFont(dialogFont());
    setWindowTitle(template_.title);
    setWindowIcon(applicationIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    buildMenus();
    client_ = new QWidget(this);
    client_->move(0, menuBar_->sizeHint().height());
    controls_ = buildControls(template_, client_, DialogUnits(font()));
    setFixedSize(client_->width(), client_->y() + client_->height());
    menuBar_->resize(width(), menuBar_->height());
    tabs_ = qobject_cast<TabControl*>(control(kTabControl));
    battery_ = qobject_cast<QLabel*>(control(kBatteryPicture));
    clockSync_ = qobject_cast<QCheckBox*>(control(kClockSync));
    exit_ = qobject_cast<QPushButton*>(control(kExitButton));
    exit_->setAutoDefault(false);
    exit_->installEventFilter(this);
    menuBar_->installEventFilter(this);
    clockSync_->installEventFilter(this);
    connect(exit_, &QPushButton::clicked, this, &CLapdexDlg::exitClicked);
    connect(clockSync_, &QCheckBox::clicked, this, [this](bool on) { port_.setClockSync(on); });
    connect(tabs_->tabBar(), &QTabBar::currentChanged, this, &CLapdexDlg::tabSelectionChanged);
    connect(tabs_, &TabControl::contextRequested, this, &CLapdexDlg::tabContextRequested);

    page_ = makePage_ ? makePage_(client_, *this) : new EmptyPage(client_);
    placePage();
    placeStrip();
    port_.loadConfiguration();
    if (port_.checkDataFolder() != FolderCheck::Writable) {
        // Once the window is up, so that the message stands in front of it.
        QTimer::singleShot(0, this, [this] { desktop_.showErrorLater(this, ui::localized(main_text::kDataFolderUnwritable).arg(dataFolder())); });
    }
    buildTabs();
    clockSync_->setChecked(port_.clockSync());
    port_.start(bridge_);
    rename_ = new CUserIdEdit(this);
    about_ = new CAboutBox(this);
    about_->setDataFolder(dataFolder());
    touch_.dialog = new CTouchDlg(this);
    readEnd_.dialog = new CReadEndDlg(this);
    clearEnd_.dialog = new CClearEndDlg(this);
    noData_.dialog = new CNoDataDlg(this);
    transErr_.dialog = new CTransErrDlg(this);
    userFull_.dialog = new CUserFullDlg(this);
    progress_ = new CDownloadDlg(this);
    progress_->hide();
    page_->initialisePage();
    tabs_->tabBar()->setFocus(Qt::OtherFocusReason);  // the keyboard starts on the tabs
}

void CLapdexDlg::buildMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    for (const MenuItemSpec& item : template_.menuBar) {
        QAction* action = menuBar_->addAction(item.text);
        menuBarActions_.push_back(action);
        action->setData(item.id);
        connect(action, &QAction::triggered, this, [this, id = item.id] { runCommand(id); });
    }
    menuBar_->adjustSize();
    contextMenu_ = new QMenu(this);
    for (const MenuItemSpec& item : template_.contextMenu) {
        QAction* action = contextMenu_->addAction(item.text);
        contextActions_.push_back(action);
        action->setData(item.id);
        connect(action, &QAction::triggered, this, [this, id = item.id] { runCommand(id); });
    }
}

void CLapdexDlg::placePage() {
    // The page keeps its own size: left edge on the display area's left edge, bottom edge
    // on the display area's bottom edge.
    const QRect area = tabs_->displayArea();
    page_->move(area.left(), area.bottom() + 1 - page_->height());
    page_->show();
    page_->raise();
}

void CLapdexDlg::placeStrip() {
    QWidget* strip = page_->stripBelow();
    if (!strip) return;
    // The template's controls keep their places; the strip gets the room the window grows by.
    const DialogUnits units(font());
    const int margin = units.toPixelsX(7);
    const int top = client_->y() + client_->height();
    const int height = units.toPixelsY(80);
    strip->setParent(this);
    strip->setGeometry(margin, top, width() - 2 * margin, height);
    strip->show();
    setFixedSize(width(), top + height + units.toPixelsY(5));
    menuBar_->resize(width(), menuBar_->height());
}

void CLapdexDlg::buildTabs() {
    QSignalBlocker block(tabs_->tabBar());
    while (tabs_->tabBar()->count() > 0) tabs_->tabBar()->removeTab(0);
    for (const std::string& title : port_.tabTitles()) tabs_->tabBar()->addTab(QString::fromStdString(title));
    if (tabs_->tabBar()->count() == 0) tabs_->tabBar()->addTab(QString());
    registeredCount_ = port_.registeredCount();
    tabs_->tabBar()->setCurrentIndex(0);
    currentTab_ = 0;
    contextTab_ = 0;
}

void CLapdexDlg::syncTabsFromModel() {
    // A registration on the worker has extended the model: the placeholder takes the
    // first name, later names are appended.
    const std::vector<std::string> titles = port_.tabTitles();
    QSignalBlocker block(tabs_->tabBar());
    for (size_t i = 0; i < titles.size(); ++i) {
        const QString title = QString::fromStdString(titles[i]);
        if (static_cast<int>(i) < tabs_->tabBar()->count()) tabs_->tabBar()->setTabText(int(i), title);
        else tabs_->tabBar()->addTab(title);
    }
    registeredCount_ = port_.registeredCount();
    refreshBattery();
}

std::vector<std::string> CLapdexDlg::tabTexts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < tabs_->tabBar()->count(); ++i) texts.push_back(tabs_->tabBar()->tabText(i).toStdString());
    return texts;
}

void CLapdexDlg::mirrorTabs() { port_.mirrorTabs(tabTexts()); }

void CLapdexDlg::selectTabSilently(int index) {
    QSignalBlocker block(tabs_->tabBar());
    tabs_->tabBar()->setCurrentIndex(index);
}

void CLapdexDlg::tabSelectionChanged(int index) {
    currentTab_ = index;
    tabs_->tabBar()->setFocus(Qt::OtherFocusReason);
    postToPage(PAGE_STOPWATCH_CHANGED);
    refreshBattery();
}

void CLapdexDlg::tabContextRequested(const QPoint& position, const QPoint& globalPosition) {
    if (registeredCount_ == 0) return;  // the placeholder tab has no menu
    const int hit = tabs_->tabBar()->tabAt(position);
    if (hit >= 0) contextTab_ = hit;
    contextMenu_->popup(globalPosition);
}

QString CLapdexDlg::currentTabName() const { return tabs_->tabBar()->tabText(currentTab_); }

QString CLapdexDlg::dataFolder() const { return QString::fromStdString(port_.dataFolder()); }

void CLapdexDlg::refreshBattery() {
    int resource = kBatteryNone;
    if (registeredCount_ > 0) {
        const int level = port_.batteryLevel(currentTabName().toStdString());
        if (level >= 0) resource = batteryPictureFor(level);
    }
    if (resource == batteryResource_ && !battery_->pixmap().isNull()) return;
    batteryResource_ = resource;
    battery_->setPixmap(batteryPicture(resource));
    battery_->setProperty("pictureResource", resource);
}

void CLapdexDlg::postToPage(MessageId id) { QCoreApplication::postEvent(page_, new MessageEvent(id)); }

void CLapdexDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    QPixmap logo = logoPicture();
    logo.setMask(logo.createMaskFromColor(Qt::white));
    painter.drawPixmap(client_->pos() + QPoint(30, 20), logo);
    refreshBattery();
}

bool CLapdexDlg::eventFilter(QObject* watched, QEvent* event) {
    // Menus added later size the bar to all its titles; it stays as wide as the window, and
    // titles that do not fit go behind the bar's ">>" button instead of past the window's edge.
    if (watched == menuBar_ && event->type() == QEvent::Resize && menuBar_->width() != width())
        menuBar_->resize(width(), menuBar_->height());
    if ((watched == exit_ || watched == clockSync_) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CLapdexDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::LanguageChange || !client_) return;
    DialogTemplate other = loadTemplate(QStringLiteral("main_window"), texts::currentLanguage());
    if (other.name.isEmpty()) return;
    template_ = std::move(other);
    setWindowTitle(template_.title);
    // The tab control, the page and the strip keep their places: only texts move.
    retranslateControls(template_, controls_, client_, DialogUnits(font()), Placement::TextControls);
    for (std::size_t i = 0; i < menuBarActions_.size() && i < template_.menuBar.size(); ++i)
        menuBarActions_[i]->setText(template_.menuBar[i].text);
    for (std::size_t i = 0; i < contextActions_.size() && i < template_.contextMenu.size(); ++i)
        contextActions_[i]->setText(template_.contextMenu[i].text);
    menuBar_->adjustSize();
}

void CLapdexDlg::exitClicked() {
    if (closeEnabled_) done(kResultCancel);
}

void CLapdexDlg::closeEvent(QCloseEvent* event) {
    if (!closeEnabled_) {
        event->ignore();
        return;
    }
    event->accept();
    done(kResultCancel);
}

void CLapdexDlg::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    bridge_.detach();
    port_.stop();
    port_.saveOnExit();
}

}  // namespace lapdex::ui
