#include "single_instance.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QWidget>

namespace lapdex::ui {

SingleInstance::SingleInstance(const QString& folder) : folder_(folder) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
    if (lock_) lock_->unlock();
}

QString SingleInstance::defaultFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder;
}

bool SingleInstance::acquire() {
    QDir().mkpath(folder_);
    lock_ = std::make_unique<QLockFile>(QDir(folder_).filePath(QStringLiteral("%1.lock").arg(kName)));
    // A lock left by a copy that died is taken over (QLockFile checks the owner's pid).
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }
    const QString socket = QDir(folder_).filePath(QString::fromLatin1(kName));
    QLocalServer::removeServer(socket);  // a stale socket of a copy that died
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(socket);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    return true;
}

bool SingleInstance::notifyFirst(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(QDir(folder_).filePath(QString::fromLatin1(kName)));
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write("show\n");
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool raiseWindowTitled(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowTitle() != title || !w->isVisible()) continue;
        if (w->isMinimized()) w->showNormal();
        w->raise();
        w->activateWindow();
        return true;
    }
    return false;
}

}  // namespace lapdex::ui
