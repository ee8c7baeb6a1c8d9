// Keeps a PNG picture of a window up to date, for demos on machines without a screen.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>

class QWidget;

namespace lapdex::ui {

class WindowSnapshot : public QObject {
    Q_OBJECT
public:
    // Renews `path` from `window` every `intervalMs` while the window lives; the file is
    // replaced whole, so a reader never sees half a picture.
    WindowSnapshot(QWidget& window, QString path, int intervalMs = 500);

    // The picture's path after "--screenshot" among the program's arguments, if any.
    static std::optional<QString> requestedPath(const QStringList& arguments);
    // Writes the picture now; false when it could not be written.
    bool save();

private:
    QWidget& window_;
    QString path_;
    QTimer timer_;
};

}  // namespace lapdex::ui
