#include "window_place.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <memory>

namespace lapdex::ui {

namespace {

enum class Store { None, User, File };
Store store = Store::None;
QString storeFile;

const QString kOrganisation = QStringLiteral("Lapdex");
const QString kApplication = QStringLiteral("Lapdex");

std::unique_ptr<QSettings> openSettings() {
    switch (store) {
        case Store::User:
            return std::make_unique<QSettings>(kOrganisation, kApplication);
        case Store::File:
            return std::make_unique<QSettings>(storeFile, QSettings::IniFormat);
        case Store::None:
            break;
    }
    return nullptr;
}

QString settingsKey(const QString& key) {
    return QStringLiteral("windows/") + key;
}

// Restores on the first show, keeps on every hide.
class PlaceKeeper : public QObject {
  public:
    PlaceKeeper(QWidget& window, QString key)
        : QObject(&window), window_(window), key_(std::move(key)) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_) return false;
        if (event->type() == QEvent::Show && !restored_) {
            restored_ = true;
            restore();
            // The frame is known once the window manager has framed the window.
            QTimer::singleShot(0, this, [this] { fitIntoScreen(window_); });
        } else if (event->type() == QEvent::Hide && restored_) {
            keepWindowPlace(window_, key_);
        }
        return false;
    }

  private:
    void restore() {
        const std::unique_ptr<QSettings> settings = openSettings();
        const QByteArray kept =
            settings ? settings->value(settingsKey(key_)).toByteArray() : QByteArray();
        if (kept.isEmpty() || !window_.restoreGeometry(kept)) {
            const QRect area = availableArea(window_);
            QRect place(QPoint(0, 0), window_.size());
            place.moveCenter(area.center());
            window_.move(place.topLeft());
        }
        fitIntoScreen(window_);
    }

    QWidget& window_;
    QString key_;
    bool restored_ = false;
};

}  // namespace

void keepWindowPlacesInUserSettings() {
    store = Store::User;
}

void keepWindowPlacesInFile(const QString& iniPath) {
    store = Store::File;
    storeFile = iniPath;
}

void keepNoWindowPlaces() {
    store = Store::None;
}

void rememberWindowPlace(QWidget& window, const QString& key) {
    new PlaceKeeper(window, key);
}

void makeOrdinaryWindow(QWidget& window, const QString& key) {
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    rememberWindowPlace(window, key);
}

QRect availableArea(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void fitIntoScreen(QWidget& window) {
    const QRect area = availableArea(window);
    const QSize frame = window.frameGeometry().size() - window.size();
    QSize size = window.size().boundedTo(area.size() - frame);
    size = size.expandedTo(window.minimumSize());
    if (size != window.size()) window.resize(size);
    const QSize outer = size + frame;
    QPoint at = window.frameGeometry().topLeft();
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - outer.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - outer.height())));
    if (at != window.frameGeometry().topLeft()) window.move(at);
}

void keepWindowPlace(const QWidget& window, const QString& key) {
    const std::unique_ptr<QSettings> settings = openSettings();
    if (settings) settings->setValue(settingsKey(key), window.saveGeometry());
}

}  // namespace lapdex::ui
