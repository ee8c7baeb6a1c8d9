#include "window_snapshot.h"

#include <QFile>
#include <QPixmap>
#include <QWidget>

namespace lapdex::ui {

WindowSnapshot::WindowSnapshot(QWidget& window, QString path, int intervalMs)
    : window_(window), path_(std::move(path)) {
    connect(&timer_, &QTimer::timeout, this, [this] { save(); });
    timer_.start(intervalMs);
}

std::optional<QString> WindowSnapshot::requestedPath(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--screenshot"));
    if (at < 0 || at + 1 >= arguments.size()) return std::nullopt;
    return arguments[at + 1];
}

bool WindowSnapshot::save() {
    if (!window_.isVisible()) return false;
    const QString partial = path_ + QStringLiteral(".part");
    if (!window_.grab().save(partial, "PNG")) return false;
    QFile::remove(path_);
    return QFile::rename(partial, path_);
}

}  // namespace lapdex::ui
